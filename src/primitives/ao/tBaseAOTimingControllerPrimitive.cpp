#include "primitives/ao/tBaseAOTimingControllerPrimitive.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "primitives/ao/tBaseAO_FIFOPrimitive.h"

namespace nQoUdP100 {

namespace {

constexpr const char kFile[] = "tBaseAOTimingControllerPrimitive";
constexpr uint32_t kUpdateEventKind = 2;
constexpr uint32_t kUpdateEventOption = 44;

}  // namespace

tBaseAOTimingControllerPrimitive::tBaseAOTimingControllerPrimitive(
    const tAODescription* description, tBaseAO_FIFOPrimitive* fifo, tStatus2& status)
    : _description(description), _fifo(fifo) {
  if (status.isFatal()) return;
  _state.setUncommitted();
  iSync::tParam param;
  param.kind = kUpdateEventKind;
  param.option = kUpdateEventOption;
  _updateEvent = syncOpen(param, &status.code);
}

tBaseAOTimingControllerPrimitive::~tBaseAOTimingControllerPrimitive() {
  if (_updateEvent == nullptr) return;
  // A wait that looked before the stop finds the event set and leaves.
  _stopRequested.set(1);
  _updateEvent->releaseOrSet(nullptr);
  _eventPasses.waitForPasses();
  syncClose(_updateEvent);
}

void* tBaseAOTimingControllerPrimitive::___CPPKRLDynamicCast(void* const* classID) {
  if (classID == &___classID) return this;
  return iOutputTimingControllerPrimitive::___CPPKRLDynamicCast(classID);
}

const void* tBaseAOTimingControllerPrimitive::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tBaseAOTimingControllerPrimitive*>(this)->___CPPKRLDynamicCast(classID);
}

void tBaseAOTimingControllerPrimitive::setTimeout(uint32_t value, tStatus2& status) {
  if (status.isFatal()) return;
  _updateTimeout = value;
  _timeout.stop(nullptr);
  _timeout.setTimeout(value, kTimerTimeUnitMillisecond, &status.code);
}

void tBaseAOTimingControllerPrimitive::requestStop() {
  const nQoUdR100::tPassCount::tInside inside(_eventPasses);
  _stopRequested.set(1);
  if (fields.pollUpdates == 0 && _updateEvent != nullptr) _updateEvent->releaseOrSet(nullptr);
}

// The event is set whatever the fields say now: every wait blocked on it
// leaves.
void tBaseAOTimingControllerPrimitive::endWaits() {
  const nQoUdR100::tPassCount::tInside inside(_eventPasses);
  _waitsEnded.set(1);
  if (_updateEvent != nullptr) _updateEvent->releaseOrSet(nullptr);
}

void tBaseAOTimingControllerPrimitive::judgeMissed(tStatus2& status) {
  if (fields.allowLateUpdates == 0)
    nQoUdR100::setCode(status, nQoUdR100::kClockMissed, {kFile, 60});
  else if (status.code == 0)
    nQoUdR100::setCode(status, -nQoUdR100::kClockMissed, {kFile, 62});
}

void tBaseAOTimingControllerPrimitive::judge(uint32_t count, tStatus2& status) {
  const uint32_t expected = count == _updateCounterWrap ? 0 : count + 1;
  if (_lastUpdateCount != expected) judgeMissed(status);
  _lastUpdateCount = count;
}

void tBaseAOTimingControllerPrimitive::waitForNextUpdate(tStatus2& status) {
  if (status.isFatal() || _updateEvent == nullptr) return;
  const nQoUdR100::tPassCount::tInside inside(_eventPasses);
  if (_waitCalls <= fields.countedFirstUpdates) {
    if (_waitCalls == 0) {
      if (_fifo != nullptr) _fifo->setUpdateWaitStarted();
      enableUpdateInterrupt(status);
    }
    ++_waitCalls;
  }
  int waitStatus = 0;
  _updateEvent->reset(&waitStatus);
  // A stop requested before the reset set the event that the reset cleared:
  // it ends the wait without waiting.
  const uint32_t signalled =
      stopped() ? 0 : _updateEvent->waitOrAcquire(_updateTimeout, &waitStatus);
  if (stopped()) {
    // Its reset may have taken the set that was to wake another wait on the
    // event: it sets it again.
    _updateEvent->releaseOrSet(nullptr);
    nQoUdR100::setCode(status, nQoUdR100::kStopRequested, {kFile, 90});
    return;
  }
  if (signalled == 0) {
    nQoUdR100::setCode(status, nQoUdR100::kWaitTimeout, {kFile, 94});
    return;
  }
  const uint32_t count = readUpdateCounter(status);
  if (_waitCalls > fields.countedFirstUpdates)
    judge(count, status);
  else
    _lastUpdateCount = count;
}

void tBaseAOTimingControllerPrimitive::pollForNextUpdate(tStatus2& status) {
  if (status.isFatal()) return;
  if (_waitCalls < fields.countedFirstUpdates) {
    if (_waitCalls == 0 && _fifo != nullptr) _fifo->setUpdateWaitStarted();
    ++_waitCalls;
  } else if (isUpdateFlagSet(&status)) {
    judgeMissed(status);
    if (status.isFatal()) return;
  }
  const bool timed = _updateTimeout != kNoTimeout;
  acknowledgeUpdateFlag(&status);
  int timerStatus = 0;
  if (timed) {
    _timeout.stop(nullptr);
    _timeout.clear();
    _timeout.start(&timerStatus);
  }
  bool timedOut = false;
  while (!isUpdateFlagSet(&status) && !stopped()) {
    if (timed && _timeout.isTimeout(&timerStatus) != 0) {
      timedOut = true;
      break;
    }
  }
  acknowledgeUpdateFlag(&status);
  if (stopped())
    nQoUdR100::setCode(status, nQoUdR100::kStopRequested, {kFile, 130});
  else if (timedOut)
    nQoUdR100::setCode(status, nQoUdR100::kWaitTimeout, {kFile, 132});
}

}  // namespace nQoUdP100
