#include "primitives/ai/tBaseAI_WFNSCPrimitive.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "frame/tTimerTimeout.h"
#include "time/tTimerTimeWaster.h"
#include "time/tTimerTimebase.h"

namespace nQoUdP100 {

using nQoMDBG100::tStatus2;
using nQoUdR100::setCode;
using nQoUdR100::tEndableEvent;
using tInside = nQoUdR100::tPassCount::tInside;

namespace {
constexpr const char kFile[] = "source/qomiop/ai/tBaseAI_WFNSCPrimitive";
constexpr unsigned kStartLine = 121;
constexpr unsigned kStopLine = 130;
constexpr unsigned kSecondPassLine = 412;
constexpr unsigned kEventTimeoutLine = 250;
constexpr unsigned kPollTimeoutLine = 330;
constexpr unsigned kMissedLine = 280;
constexpr unsigned kEventLine = 190;

// A polling wait's own timer, on its stack.
using tWaitTimer = nQoUdR100::tTimerTimeout<tTimerTimeWasterSpin, tTimerTimebaseEfficient>;

// Version 1, kind 2, option 44.
iSync::tParam eventParam() {
  iSync::tParam param;
  param.kind = 2;
  param.option = 44;
  return param;
}
}  // namespace

tBaseAI_WFNSCPrimitive::tBaseAI_WFNSCPrimitive(tBaseAITimingControllerPrimitive* timing,
                                               tBaseAI_ADCPrimitive* converter)
    : _timing(timing), _converter(converter) {}

tBaseAI_WFNSCPrimitive::~tBaseAI_WFNSCPrimitive() {
  tStatus2 local;
  if (_eventCommitted) tBaseAI_WFNSCPrimitive::uncommit(local);
  _event.close();
  // A polling wait under way stops at its next poll.
  stopWaits();
}

uint32_t tBaseAI_WFNSCPrimitive::sampleStarted(tBaseAITimingControllerPrimitive*, tStatus2&) {
  _runs.access(_runs.live(), [this] {
    ++_clocks;
    _event.set();
  });
  return 0;
}

void tBaseAI_WFNSCPrimitive::sampleStartedSecondary(tBaseAITimingControllerPrimitive*,
                                                    tStatus2& status) {
  setCode(status, nQoUdR100::kNotSupported, {kFile, kSecondPassLine});
}

void tBaseAI_WFNSCPrimitive::commit(tStatus2& status) {
  if (status.isFatal()) return;
  const tAIWaitOptions& options = _options.program();
  // An event-mode commit before, when polling was set since, gives its
  // record and its event back by its own record: polling waits use neither.
  if (options.polling != 0) leaveEventMode(status);
  // A commit before kept its record and its event: one uncommit undoes both.
  if (options.polling == 0 && !_eventCommitted) {
    _eventCommitted = true;
    _timing->addSampleStartObserver(this, false, status);
    if (status.isNotFatal()) {
      int code = 0;
      _event.open(eventParam(), &code);
      setCode(status, code, {kFile, kEventLine});
    }
  }
  if (status.isFatal()) {
    tStatus2 undo;
    uncommit(undo);
    return;
  }
  // The waits from here on go by what this commit set up, a polling wait
  // or the event, whatever a deploy since says.
  _runPolling = options.polling;
  takeWaitOptions(options);
  _mode = kCommitted;
}

void tBaseAI_WFNSCPrimitive::takeWaitOptions(const tAIWaitOptions& options) {
  _runAllowMissed = options.allowMissed;
  _runLeadIn = options.leadIn;
  _runWaitAlways = options.waitAlways;
}

void tBaseAI_WFNSCPrimitive::arm(tStatus2& status) {
  if (status.isFatal()) return;
  if (_runs.live() != 0) disarm(status);
  takeWaitOptions(_options.take());
  _waits = 0;
  _clocks.set(0);
  _clocksSeen = 0;
  _dataLeft = 0;
  _event.lift(kStopMark);
  _runs.begin();
  _mode = kArmed;
}

void tBaseAI_WFNSCPrimitive::start(tStatus2& status) {
  setCode(status, nQoUdR100::kNotSupported, {kFile, kStartLine});
}

void tBaseAI_WFNSCPrimitive::stop(tStatus2& status) {
  setCode(status, nQoUdR100::kNotSupported, {kFile, kStopLine});
}

void tBaseAI_WFNSCPrimitive::disarm(tStatus2& status) {
  if (status.isFatal()) return;
  endRun();
  stopWaits();
  _mode = kCommitted;
}

// The event first: a wait on it is refused as it closes. A polling wait
// then ends as a stop ends it.
void tBaseAI_WFNSCPrimitive::uncommit(tStatus2& status) {
  if (status.isFatal()) return;
  endRun();
  leaveEventMode(status);
  stopWaits();
  _options.forget();
  _mode = kBuilt;
}

void tBaseAI_WFNSCPrimitive::endRun() {
  _runs.end();
  _runs.waitForAccesses();
}

void tBaseAI_WFNSCPrimitive::stopWaits() {
  _event.end(kStopMark);
  _waitPasses.waitForPasses();
}

void tBaseAI_WFNSCPrimitive::leaveEventMode(tStatus2& status) {
  if (!_eventCommitted) return;
  // The record first: no sample-start notification reaches the event after.
  _timing->removeSampleStartObserver(this, status);
  _event.close();
  _eventCommitted = false;
}

void tBaseAI_WFNSCPrimitive::setTimeout(uint32_t milliseconds, tStatus2& status) {
  if (status.isNotFatal()) _timeout = milliseconds;
}

void tBaseAI_WFNSCPrimitive::requestStop() { stopWaits(); }

void tBaseAI_WFNSCPrimitive::endWaits() { _event.end(kEndMark); }

void tBaseAI_WFNSCPrimitive::openWaits() { _event.lift(kEndMark); }

void tBaseAI_WFNSCPrimitive::clearStop() { _event.lift(kStopMark); }

void tBaseAI_WFNSCPrimitive::waitForNextSampleClock(tStatus2& status) {
  if (status.isFatal()) return;
  const tInside inside(_waitPasses);
  if (_runPolling != 0)
    pollingWait(status);
  else
    eventWait(status);
}

void tBaseAI_WFNSCPrimitive::reportMissed(tStatus2& status) {
  setCode(status, _runAllowMissed != 0 ? -nQoUdR100::kClockMissed : nQoUdR100::kClockMissed,
          {kFile, kMissedLine});
}

bool tBaseAI_WFNSCPrimitive::waitForClock(const tEndableEvent::tWaiting& waiting, uint32_t from,
                                          uint32_t timeout, tStatus2& status) {
  // The event is cleared before the count is looked at, so a clock that
  // comes in between sets it again.
  for (;;) {
    _event.reset();
    int code = 0;
    switch (waiting.wait(timeout, &code, [&] { return _clocks.get() != from; })) {
      case tEndableEvent::kReady: return true;
      case tEndableEvent::kEnded: return false;
      case tEndableEvent::kClosed:
        setCode(status, nQoUdR100::kNullPointer, {kFile, kEventLine});
        return false;
      case tEndableEvent::kTimedOut:
        setCode(status, nQoUdR100::kWaitTimeout, {kFile, kEventTimeoutLine});
        return false;
      case tEndableEvent::kWoken:
      case tEndableEvent::kFailed: break;
    }
    setCode(status, code, {kFile, kEventLine});
    if (status.isFatal()) return false;
  }
}

void tBaseAI_WFNSCPrimitive::eventWait(tStatus2& status) {
  const tEndableEvent::tCall call(_event);
  const tEndableEvent::tWaiting waiting(_event);
  if (!_event.isOpen()) {
    setCode(status, nQoUdR100::kNullPointer, {kFile, kEventLine});
    return;
  }
  const uint32_t timeout = _timeout;
  if (inLeadIn()) {
    if (_waits == 0) _timing->enableSampleStartInterrupt(status);
    ++_waits;
    waitForClock(waiting, _clocks.get(), timeout, status);
    _clocksSeen = _clocks.get();
    return;
  }
  ++_waits;
  const uint32_t now = _clocks.get();
  const bool missed = now != _clocksSeen;
  if (missed) {
    reportMissed(status);
    _clocksSeen = now;
  }
  if (_runWaitAlways == 0 && (missed || _dataLeft != 0)) return;
  // A wait that a stop ended saw no clock: counting one would make the
  // next wait report a clock missed that never came.
  if (waitForClock(waiting, now, timeout, status)) ++_clocksSeen;
}

bool tBaseAI_WFNSCPrimitive::pollForClock(const tEndableEvent::tWaiting& waiting, uint32_t timeout,
                                          tStatus2& status) {
  const bool limited = timeout != 0 && timeout != kNoLimit;
  tWaitTimer timer(timeout, kTimerTimeUnitMillisecond, 0, &status.code);
  for (uint32_t polls = 1;; ++polls) {
    if (_converter->readStatusBit5(&status) != 0 || waiting.ended() || status.isFatal())
      return true;
    if (!limited || polls <= kFreePolls) continue;
    if (polls == kFreePolls + 1) timer.start(&status.code);
    if (timer.isTimeout(&status.code) != 0) return false;
  }
}

void tBaseAI_WFNSCPrimitive::pollingWait(tStatus2& status) {
  const tEndableEvent::tWaiting waiting(_event);
  const uint32_t timeout = _timeout;
  if (inLeadIn()) {
    _converter->acknowledgeBit11(&status);
    const bool clocked = pollForClock(waiting, timeout, status);
    ++_waits;
    _converter->acknowledgeBit11(&status);
    if (!clocked) setCode(status, nQoUdR100::kWaitTimeout, {kFile, kPollTimeoutLine});
    return;
  }
  ++_waits;
  const bool missed = _converter->readStatusBit5(&status) != 0;
  if (missed) {
    _converter->acknowledgeBit11(&status);
    if (timeout == 0) {
      reportMissed(status);
      return;
    }
  }
  if (_runWaitAlways == 0 && (missed || _dataLeft != 0)) {
    if (missed) reportMissed(status);
    return;
  }
  // An expired time-out only ends the polling here: no code.
  if (timeout != 0) pollForClock(waiting, timeout, status);
  _converter->acknowledgeBit11(&status);
  if (missed) reportMissed(status);
}

}  // namespace nQoUdP100
