#include "counters/tTavikCtrInterruptDispatcher.h"

#include "bus/iBusAtomicOperation.h"
#include "counters/tCtrPairTraits.h"
#include "frame/statusCodes.h"

namespace nQoUdR100 {

namespace {
// The board's operations by counter.
using tBoard = nQoUdRLP100::tTavikInterruptDispatcher;
using tOn = void (tBoard::*)(nQoMDBG100::tStatus2&);
using tOff = void (tBoard::*)(nQoMDBG100::tStatus2*);
constexpr tOn kEnablePrimary[2] = {&tBoard::enableCounter0PrimaryInterrupt,
                                   &tBoard::enableCounter1PrimaryInterrupt};
constexpr tOn kEnableSecondary[2] = {&tBoard::enableCounter0SecondaryInterrupts,
                                     &tBoard::enableCounter1SecondaryInterrupts};
constexpr tOff kDisablePrimary[2] = {&tBoard::disableCounter0PrimaryInterrupt,
                                     &tBoard::disableCounter1PrimaryInterrupt};
constexpr tOff kDisableSecondary[2] = {&tBoard::disableCounter0SecondaryInterrupts,
                                       &tBoard::disableCounter1SecondaryInterrupts};
}  // namespace

// One switch of a counter's interrupt with its enabled flag, excluded from
// the board's interrupt routine, which reads both, and from every other
// switch: one of the two operations is given.
class tTavikCtrInterruptDispatcher::tAtomicSwitch final : public iBusAtomicOperation {
 public:
  tAtomicSwitch(tTavikCtrInterruptDispatcher& owner, tKind kind, tEnableOperation on,
                tDisableOperation off, nQoMDBG100::tStatus2& status)
      : _owner(owner), _kind(kind), _on(on), _off(off), _status(status) {}

  void exec() { _owner.helper()->pair()->space().bus()->runAtomically(this, &_status.code); }
  int32_t operateAtomically() override {
    if (_on != nullptr) {
      _owner.setEnabled(_kind, 1);
      (_owner._board->*_on)(_status);
    } else {
      _owner.setEnabled(_kind, 0);
      _owner.clearRequest(_kind);
      (_owner._board->*_off)(&_status);
    }
    return _status.code;
  }

 private:
  tTavikCtrInterruptDispatcher& _owner;
  const tKind _kind;
  const tEnableOperation _on;
  const tDisableOperation _off;
  nQoMDBG100::tStatus2& _status;
};

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

void tTavikCtrInterruptDispatcher::enable(tKind kind, tEnableOperation operation,
                                          nQoMDBG100::tStatus2& status) {
  tAtomicSwitch run(*this, kind, operation, nullptr, status);
  run.exec();
}

// A second pass that took its request before the switch-off may still be
// calling the receiver: the disable returns once it has left, so that the
// receiver may go.
void tTavikCtrInterruptDispatcher::disable(tKind kind, tDisableOperation operation,
                                           nQoMDBG100::tStatus2& status) {
  tAtomicSwitch run(*this, kind, nullptr, operation, status);
  run.exec();
  _board->waitForPasses();
}

void tTavikCtrInterruptDispatcher::enablePrimary(uint32_t counter, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  enable(primary(counter), kEnablePrimary[counter % 2], status);
}

void tTavikCtrInterruptDispatcher::enableSecondary(uint32_t counter, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  enable(secondary(counter), kEnableSecondary[counter % 2], status);
}

void tTavikCtrInterruptDispatcher::disablePrimary(uint32_t counter, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  disable(primary(counter), kDisablePrimary[counter % 2], status);
}

void tTavikCtrInterruptDispatcher::disableSecondary(uint32_t counter,
                                                    nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  disable(secondary(counter), kDisableSecondary[counter % 2], status);
}

}  // namespace nQoUdR100
