#include "counters/tTavikCtrInterruptDispatcher.h"

#include "counters/tCtrPairTraits.h"
#include "frame/statusCodes.h"
#include "tavik/tTavikInterruptDispatcherBinders.h"

namespace nQoUdR100 {

namespace {
// The board's operations by counter.
using tBoard = nQoUdRLP100::tTavikInterruptDispatcher;
constexpr tBoard::tAtomicStatusRefDispatcher::tMember kEnablePrimary[2] = {
    &tBoard::enableCounter0PrimaryInterrupt, &tBoard::enableCounter1PrimaryInterrupt};
constexpr tBoard::tAtomicStatusRefDispatcher::tMember kEnableSecondary[2] = {
    &tBoard::enableCounter0SecondaryInterrupts, &tBoard::enableCounter1SecondaryInterrupts};
constexpr tBoard::tAtomicStatusPtrDispatcher::tMember kDisablePrimary[2] = {
    &tBoard::disableCounter0PrimaryInterrupt, &tBoard::disableCounter1PrimaryInterrupt};
constexpr tBoard::tAtomicStatusPtrDispatcher::tMember kDisableSecondary[2] = {
    &tBoard::disableCounter0SecondaryInterrupts, &tBoard::disableCounter1SecondaryInterrupts};
}  // namespace

nQoMRTB100::iInterruptHandler::tAnswer
tTavikCtrInterruptDispatcher::tCtrInterruptHandler::handleInterrupt() {
  return _owner->service(_counter) == kWantsSecondPass ? kHandledWantsSecondary : kHandled;
}

tTavikCtrInterruptDispatcher::tTavikCtrInterruptDispatcher(tBoard* board,
                                                           nQoTIO100::iTIOCtrInterruptTap* owner,
                                                           nQoTIO100::tTIOCtrHelper* helper,
                                                           nQoMDBG100::tStatus2& status)
    : tTIOCtrInterruptDispatcher(owner, helper), _board(board), _handlers{{0, this}, {1, this}} {
  hook(status);
}

void tTavikCtrInterruptDispatcher::hook(nQoMDBG100::tStatus2& status) {
  if (_board == nullptr) {
    if (status.isNotFatal())
      setCode(status, kNullPointer, nQoTIO100::ctrPairSite(nQoTIO100::kNoBoardDispatcherLine));
    return;
  }
  for (uint32_t slot = 0; slot < kSlotCount; ++slot) {
    tCtrInterruptHandler& handler = _handlers[slot / 2];
    if (!_board->installHandlers(tBoard::kCounterSourceBase + slot, &handler, &handler, status))
      return;
  }
}

tTavikCtrInterruptDispatcher::~tTavikCtrInterruptDispatcher() {
  if (_board == nullptr) return;
  // The interrupts switched on and not off leave the board first.
  for (uint32_t counter = 0; counter < 2; ++counter) {
    nQoMDBG100::tStatus2 primaryOff;
    nQoMDBG100::tStatus2 secondaryOff;
    if (enabled(primary(counter)) != 0)
      tTavikCtrInterruptDispatcher::disablePrimary(counter, primaryOff);
    if (enabled(secondary(counter)) != 0)
      tTavikCtrInterruptDispatcher::disableSecondary(counter, secondaryOff);
  }
  for (uint32_t slot = 0; slot < kSlotCount; ++slot) {
    const uint32_t source = tBoard::kCounterSourceBase + slot;
    if (_board->primaryHandlers[source] == &_handlers[slot / 2])
      _board->removeHandlers(source, nullptr);
  }
}

void tTavikCtrInterruptDispatcher::enable(tEnableOperation operation,
                                          nQoMDBG100::tStatus2& status) {
  tBoard::tAtomicStatusRefDispatcher run(_board, operation, status);
  run.exec();
}

void tTavikCtrInterruptDispatcher::disable(tDisableOperation operation,
                                           nQoMDBG100::tStatus2& status) {
  tBoard::tAtomicStatusPtrDispatcher run(_board, operation);
  run.exec(&status);
}

void tTavikCtrInterruptDispatcher::enablePrimary(uint32_t counter, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  setEnabled(primary(counter), 1);
  enable(kEnablePrimary[counter % 2], status);
}

void tTavikCtrInterruptDispatcher::enableSecondary(uint32_t counter, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  setEnabled(secondary(counter), 1);
  enable(kEnableSecondary[counter % 2], status);
}

void tTavikCtrInterruptDispatcher::disablePrimary(uint32_t counter, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  disable(kDisablePrimary[counter % 2], status);
  setEnabled(primary(counter), 0);
  clearRequest(primary(counter));
}

void tTavikCtrInterruptDispatcher::disableSecondary(uint32_t counter,
                                                    nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  disable(kDisableSecondary[counter % 2], status);
  setEnabled(secondary(counter), 0);
  clearRequest(secondary(counter));
}

}  // namespace nQoUdR100
