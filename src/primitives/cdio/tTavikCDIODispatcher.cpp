#include "primitives/cdio/tTavikCDIODispatcher.h"

#include "tavik/tTavikInterruptDispatcherBinders.h"

namespace nQoUdP100 {

using nQoUdRLP100::tTavikInterruptDispatcher;

namespace {
uint32_t boardSource(tCDIOSource slot) { return tTavikInterruptDispatcher::kCDIOSourceBase + slot; }
}  // namespace

void tTavikCDIODispatcher::enable(tCDIOSource slot, nQoMDBG100::tStatus2& status) {
  tTavikInterruptDispatcher::tAtomicStatusRefDispatcher run(_board, kCDIOSources[slot].enable,
                                                            status);
  run.exec();
}

void tTavikCDIODispatcher::enableWhileArmed(tCDIOSource slot, const std::atomic<uint32_t>& armed,
                                            nQoMDBG100::tStatus2& status) {
  tTavikInterruptDispatcher::tAtomicWhileArmedDispatcher run(_board, kCDIOSources[slot].enable,
                                                             armed, status);
  run.exec();
}

void tTavikCDIODispatcher::disable(tCDIOSource slot, nQoMDBG100::tStatus2* status) {
  tTavikInterruptDispatcher::tAtomicStatusPtrDispatcher run(_board, kCDIOSources[slot].disable);
  run.exec(status);
}

void tTavikCDIODispatcher::attach(tCDIOSource slot, iPrimary* primary, iSecondary* secondary,
                                  bool both, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  _board->attachInterrupt(status);
  if (status.isFatal()) return;
  _board->primaryHandlers[boardSource(slot)] = primary;
  if (both) _board->secondaryHandlers[boardSource(slot)] = secondary;
}

void tTavikCDIODispatcher::detach(tCDIOSource slot, bool both, nQoMDBG100::tStatus2* status) {
  if (status != nullptr && status->isFatal()) return;
  _board->primaryHandlers[boardSource(slot)] = nullptr;
  if (both) _board->secondaryHandlers[boardSource(slot)] = nullptr;
  _board->detachInterrupt(status, false);
}

void tTavikCDIODispatcher::removeHandlers(tCDIOSource slot, const iPrimary* primary) {
  if (_board->primaryHandlers[boardSource(slot)] != primary) return;
  disable(slot, nullptr);
  detach(slot, true, nullptr);
}

}  // namespace nQoUdP100
