// A stopwatch with a deadline and a way of waiting for it, by spinning or by
// sleeping:
//
//   tTimerTimeout<tTimerTimeWasterSleep, tTimerTimebasePrecise> timeout(
//       30, kTimerTimeUnitMillisecond, 1, &status);   // started at once
//   if (timeout.waitForTimeout(&status)) { ... }      // the deadline has passed
//
// The deadline is kept in the timebase's resolution unit and is one resolution
// step longer than asked (two when the asked value came in a finer unit and
// converted to a whole number of steps), so a time-out never ends early.
// kNotInitialized: waiting on a timer that was not started; kMisuse: a deadline set
// while running, or a waster that may not wait here.
#pragma once

#include "frame/statusCodes.h"
#include "frame/tTimer.h"
#include "time/tTimerTimeWaster.h"

namespace nQoUdR100 {

template <class tWaster, class tTimebase>
class tTimerTimeout : public tTimer<tTimebase> {
  using tBase = tTimer<tTimebase>;

 public:
  tTimerTimeout(uint64_t value, tTimerTimeUnit unit, uint32_t autoStart, int* status) {
    int local = 0;
    int* code = status != nullptr ? status : &local;
    _armed = *code >= 0 ? 1 : 0;
    if (autoStart != 0 && *code >= 0) {
      this->_startCount = this->getSystemClock(this->_timebase.getResolutionTimeUnit(code), code);
      this->_running = 1;
    }
    _deadlineUnit = this->_timebase.getResolutionTimeUnit(code);
    _deadline = deadlineFor(value, unit, code);
  }

  void setTimeout(uint64_t value, tTimerTimeUnit unit, int* status) {
    int local = 0;
    int* code = status != nullptr ? status : &local;
    if (*code < 0) return;
    if (this->_running != 0) {
      *code = kMisuse;
      return;
    }
    _deadline = deadlineFor(value, unit, code);
    _deadlineUnit = this->_timebase.getResolutionTimeUnit(code);
    _armed = 1;
  }

  // 1 when the deadline has passed or the status holds an error.
  uint32_t isTimeout(int* status) const {
    int local = 0;
    int* code = status != nullptr ? status : &local;
    if (*code < 0) return 1;
    const uint64_t elapsed = this->getElapsedTime(_deadlineUnit, code);
    if (*code < 0) return 1;
    return _deadline <= elapsed ? 1 : 0;
  }

  // Waits with the waster until the deadline has passed: 1 then, 0 when the
  // wait could not be completed.
  uint32_t waitForTimeout(int* status) {
    int local = 0;
    int* code = status != nullptr ? status : &local;
    if (*code < 0) return 0;
    if (this->_running == 0) {
      *code = kNotInitialized;
      return 0;
    }
    const tTimerTimeUnit wasterUnit = _waster.getResolutionTimeUnit(code);
    if (*code < 0) return 0;
    for (;;) {
      const uint64_t elapsed = this->getElapsedTime(_deadlineUnit, code);
      if (*code < 0) return 0;
      if (elapsed >= _deadline) {
        const uint64_t again = this->getElapsedTime(_deadlineUnit, code);
        return *code < 0 || again >= _deadline ? 1 : 0;
      }
      if (_waster.canSleepNow(code) == 0) {
        if (*code >= 0) *code = kMisuse;
        return 0;
      }
      const uint64_t now = this->getElapsedTime(wasterUnit, code);
      const uint64_t target = tTimerUtility::convert(_deadline, _deadlineUnit, wasterUnit, code);
      _waster.sleep(*code >= 0 && now < target ? target - now : 0, wasterUnit, code);
      if (*code < 0) return 0;
    }
  }

  uint64_t deadline() const { return _deadline; }
  tTimerTimeUnit deadlineUnit() const { return _deadlineUnit; }
  bool isArmed() const { return _armed != 0; }

 private:
  // The value in the resolution unit plus one resolution step, plus another
  // when a finer unit converted to a whole number of steps; the converted
  // value itself when the sum wraps.
  uint64_t deadlineFor(uint64_t value, tTimerTimeUnit unit, int* code) const {
    const uint64_t step = this->_timebase.getResolutionValue(code);
    const tTimerTimeUnit resolution = this->_timebase.getResolutionTimeUnit(code);
    const uint64_t converted = tTimerUtility::convert(value, unit, resolution, code);
    uint64_t deadline = converted + step;
    if (resolution > unit && converted % step == 0) deadline += step;
    return deadline < converted ? converted : deadline;
  }

  uint64_t _deadline = 0;
  tTimerTimeUnit _deadlineUnit = tTimerTimeUnit{};
  tWaster _waster;
  uint32_t _armed = 0;
};

}  // namespace nQoUdR100
