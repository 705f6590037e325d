// A stopwatch over a platform timebase: sums the time between start and stop.
//
//   tTimer<tTimerTimebaseEfficient> timer;
//   timer.start(&status);
//   ...
//   timer.stop(&status);
//   uint64_t us = timer.getElapsedTime(kTimerTimeUnitMicrosecond, &status);
//
// Statuses are plain codes passed by pointer; null is allowed everywhere and
// then a local code is used and dropped. kMisuse: start while running or stop
// while stopped; kClockBackwards: the clock read below the start count.
#pragma once

#include <cstdint>

#include "frame/statusCodes.h"
#include "time/tTimerTimebase.h"
#include "time/tTimerUtility.h"

namespace nQoUdR100 {

template <class tTimebase>
class tTimer {
 public:
  // The timebase's clock in the given unit.
  uint64_t getSystemClock(tTimerTimeUnit unit, int* status) const {
    int local = 0;
    int* code = status != nullptr ? status : &local;
    const tTimerTimeUnit resolution = _timebase.getResolutionTimeUnit(code);
    const uint64_t counter = _timebase.getCounterValue(code);
    const uint64_t value = _timebase.getResolutionValue(code);
    return tTimerUtility::convert(counter * value, resolution, unit, code);
  }

  void start(int* status) {
    int local = 0;
    int* code = status != nullptr ? status : &local;
    if (*code < 0) return;
    if (_running != 0) {
      *code = kMisuse;
      return;
    }
    _startCount = getSystemClock(_timebase.getResolutionTimeUnit(code), code);
    _running = 1;
  }

  // Runs whatever the status holds.
  void stop(int* status) {
    int local = 0;
    int* code = status != nullptr ? status : &local;
    if (_running != 0) {
      int clockStatus = 0;
      const uint64_t now =
          getSystemClock(_timebase.getResolutionTimeUnit(&clockStatus), &clockStatus);
      // A failed read gives no clock to measure with; its failure is not reported.
      if (clockStatus >= 0) _accumulatedTime += sinceStart(now, code);
    } else if (*code >= 0) {
      *code = kMisuse;
    }
    _startCount = 0;
    _running = 0;
  }

  uint64_t getElapsedTime(tTimerTimeUnit unit, int* status) const {
    int local = 0;
    int* code = status != nullptr ? status : &local;
    if (*code < 0) return 0;
    const tTimerTimeUnit resolution = _timebase.getResolutionTimeUnit(code);
    uint64_t elapsed = _accumulatedTime;
    if (_running != 0) elapsed += sinceStart(getSystemClock(resolution, code), code);
    if (*code < 0) return 0;
    return tTimerUtility::convert(elapsed, resolution, unit, code);
  }

  // Ready for a new measurement.
  void clear() {
    _startCount = 0;
    _accumulatedTime = 0;
    _running = 0;
  }

  uint64_t startCount() const { return _startCount; }
  uint64_t accumulatedTime() const { return _accumulatedTime; }
  bool isRunning() const { return _running != 0; }

 protected:
  // The clock minus the start count; 0, and kClockBackwards on a clean status,
  // when the clock reads below the start count.
  uint64_t sinceStart(uint64_t now, int* code) const {
    if (now >= _startCount) return now - _startCount;
    if (*code == 0) *code = kClockBackwards;
    return 0;
  }

  tTimebase _timebase;
  uint64_t _startCount = 0;
  uint64_t _accumulatedTime = 0;
  uint32_t _running = 0;
};

}  // namespace nQoUdR100
