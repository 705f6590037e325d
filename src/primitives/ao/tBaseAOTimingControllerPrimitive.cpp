#include "primitives/ao/tBaseAOTimingControllerPrimitive.h"

#include <iterator>

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "frame/tTimerTimeout.h"
#include "primitives/ao/tBaseAO_FIFOPrimitive.h"
#include "time/tTimerTimeWaster.h"
#include "time/tTimerTimebase.h"

namespace nQoUdP100 {

namespace {

constexpr const char kFile[] = "tBaseAOTimingControllerPrimitive";
constexpr uint32_t kUpdateEventKind = 2;
constexpr uint32_t kUpdateEventOption = 44;

// A polling wait's own timer, on its stack.
using tWaitTimer = nQoUdR100::tTimerTimeout<tTimerTimeWasterSpin, tTimerTimebaseEfficient>;

}  // namespace

tBaseAOTimingControllerPrimitive::tBaseAOTimingControllerPrimitive(
    const tAODescription* description, tBaseAO_FIFOPrimitive* fifo, tStatus2& status)
    : _description(description), _fifo(fifo) {
  if (status.isFatal()) return;
  _state.setUncommitted();
  iSync::tParam param;
  param.kind = kUpdateEventKind;
  param.option = kUpdateEventOption;
  _update.open(param, &status.code);
}

tBaseAOTimingControllerPrimitive::~tBaseAOTimingControllerPrimitive() {
  _update.end(kStopMark);
  _update.close();
}

void* tBaseAOTimingControllerPrimitive::___CPPKRLDynamicCast(void* const* classID) {
  if (classID == &___classID) return this;
  return iOutputTimingControllerPrimitive::___CPPKRLDynamicCast(classID);
}

const void* tBaseAOTimingControllerPrimitive::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tBaseAOTimingControllerPrimitive*>(this)->___CPPKRLDynamicCast(classID);
}

void tBaseAOTimingControllerPrimitive::setTimeout(uint32_t value, tStatus2& status) {
  if (status.isNotFatal()) _updateTimeout = value;
}

void tBaseAOTimingControllerPrimitive::deploySettings(const tAOTimingFields& settings,
                                                      bool selects) {
  tAOTimingFields& deployed = _fields.deploying();
  tAOTimingFields written = settings;
  if (!selects) {
    written.timingSelectB = deployed.timingSelectB;
    written.timingFlagB = deployed.timingFlagB;
    written.timingSelectA = deployed.timingSelectA;
    written.timingFlagA = deployed.timingFlagA;
    written.startTriggerSelect = deployed.startTriggerSelect;
    written.startTriggerFlag = deployed.startTriggerFlag;
  }
  written.outputSelect = deployed.outputSelect;
  written.outputControlBit3 = deployed.outputControlBit3;
  deployed = written;
}

void tBaseAOTimingControllerPrimitive::deployPair(uint32_t pair, uint32_t a, uint32_t b) {
  tAOTimingFields& deployed = _fields.deploying();
  uint32_t* const targets[][2] = {{&deployed.timingSelectB, &deployed.timingFlagB},
                                  {&deployed.timingSelectA, &deployed.timingFlagA},
                                  {&deployed.startTriggerSelect, &deployed.startTriggerFlag},
                                  {&deployed.outputSelect, &deployed.outputControlBit3}};
  if (pair >= std::size(targets)) return;
  *targets[pair][0] = a;
  *targets[pair][1] = b;
}

// The event is set whatever the fields say now: every wait blocked on it
// leaves.
void tBaseAOTimingControllerPrimitive::requestStop() { _update.end(kStopMark); }

void tBaseAOTimingControllerPrimitive::endWaits() { _update.end(kEndMark); }

void tBaseAOTimingControllerPrimitive::judgeMissed(tStatus2& status) {
  if (_allowLateUpdates == 0)
    nQoUdR100::setCode(status, nQoUdR100::kClockMissed, {kFile, 60});
  else if (status.code == 0)
    nQoUdR100::setCode(status, -nQoUdR100::kClockMissed, {kFile, 62});
}

void tBaseAOTimingControllerPrimitive::judge(uint32_t count, tStatus2& status) {
  const uint32_t expected = count == _updateCounterWrap ? 0 : count + 1;
  if (_lastUpdateCount != expected) judgeMissed(status);
  _lastUpdateCount = count;
}

// The time-out, the count and the number of counted waits are read once, as
// the wait begins.
void tBaseAOTimingControllerPrimitive::waitForNextUpdate(tStatus2& status) {
  if (status.isFatal() || !_update.isOpen()) return;
  const nQoUdR100::tEndableEvent::tCall call(_update);
  const nQoUdR100::tEndableEvent::tWaiting waiting(_update);
  const uint32_t timeout = _updateTimeout;
  const uint32_t counted = _countedFirstUpdates;
  const uint32_t calls = _waitCalls;
  if (calls <= counted) {
    if (calls == 0) {
      if (_fifo != nullptr) _fifo->setUpdateWaitStarted();
      enableUpdateInterrupt(status);
    }
    ++_waitCalls;
  }
  _update.reset();
  int waitStatus = 0;
  switch (waiting.wait(timeout, &waitStatus)) {
    case nQoUdR100::tEndableEvent::kWoken:
    case nQoUdR100::tEndableEvent::kReady: break;
    case nQoUdR100::tEndableEvent::kEnded:
    case nQoUdR100::tEndableEvent::kClosed:
      nQoUdR100::setCode(status, nQoUdR100::kStopRequested, {kFile, 90});
      return;
    case nQoUdR100::tEndableEvent::kTimedOut:
    case nQoUdR100::tEndableEvent::kFailed:
      nQoUdR100::setCode(status, nQoUdR100::kWaitTimeout, {kFile, 94});
      return;
  }
  // Past the counted waits the new count is judged; before, only kept.
  const uint32_t count = readUpdateCounter(status);
  if (calls >= counted)
    judge(count, status);
  else
    _lastUpdateCount = count;
}

void tBaseAOTimingControllerPrimitive::pollForNextUpdate(tStatus2& status) {
  if (status.isFatal()) return;
  const nQoUdR100::tEndableEvent::tWaiting waiting(_update);
  const uint32_t timeout = _updateTimeout;
  const uint32_t calls = _waitCalls;
  if (calls < _countedFirstUpdates) {
    if (calls == 0 && _fifo != nullptr) _fifo->setUpdateWaitStarted();
    ++_waitCalls;
  } else if (isUpdateFlagSet(&status)) {
    judgeMissed(status);
    if (status.isFatal()) return;
  }
  const bool timed = timeout != kNoTimeout;
  acknowledgeUpdateFlag(&status);
  int timerStatus = 0;
  tWaitTimer timer(timeout, kTimerTimeUnitMillisecond, 0, &timerStatus);
  if (timed) timer.start(&timerStatus);
  bool timedOut = false;
  while (!isUpdateFlagSet(&status) && !waiting.ended()) {
    if (timed && timer.isTimeout(&timerStatus) != 0) {
      timedOut = true;
      break;
    }
  }
  acknowledgeUpdateFlag(&status);
  if (waiting.ended())
    nQoUdR100::setCode(status, nQoUdR100::kStopRequested, {kFile, 130});
  else if (timedOut)
    nQoUdR100::setCode(status, nQoUdR100::kWaitTimeout, {kFile, 132});
}

}  // namespace nQoUdP100
