// The time-out of an on-demand read or write, taken from the request's 32-bit
// time-out: 0 waits not at all, 0xFFFFFFFF without limit, any other value
// that many milliseconds from the start of the request.
//
//   timeout.set(50);
//   timeout.begin(status);                         // at the request's start
//   while (empty()) if (timeout.expired(true, status)) ...;
#pragma once

#include <cstdint>

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "time/tTimerTimeUnit.h"
#include "time/tTimerTimebase.h"
#include "time/tTimerUtility.h"

namespace nQoUdP100 {

class tImmediateTimeout {
 public:
  enum tMode : uint32_t { kZero = 0, kNoLimit = 1, kBounded = 2 };
  static constexpr uint32_t kForever = 0xFFFFFFFF;
  static constexpr tTimerTimeUnit kUnit = kTimerTimeUnitMillisecond;

  void set(uint32_t timeout) {
    _mode = timeout == 0 ? kZero : timeout == kForever ? kNoLimit : kBounded;
    _value = timeout;
  }
  tMode mode() const { return _mode; }

  // A bounded time-out starts counting here.
  void begin(nQoMDBG100::tStatus2& status) {
    if (status.isNotFatal() && _mode == kBounded) _start = now();
  }

  // Whether the request is out of time. A zero time-out runs out only where
  // the caller would otherwise wait; a clock that went back is warning +50202
  // on a clean status.
  bool expired(bool wouldWait, nQoMDBG100::tStatus2& status) {
    if (_mode == kZero) return wouldWait;
    if (_mode == kNoLimit) return false;
    const uint64_t clock = now();
    if (clock < _start) {
      if (status.code == 0)
        nQoUdR100::setCode(status, nQoUdR100::kClockBackwards, {"tImmediateTimeout", 50});
      return false;
    }
    int code = 0;
    const uint64_t elapsed = tTimerUtility::convert(clock - _start, resolution(), kUnit, &code);
    return elapsed >= _value;
  }

 private:
  tTimerTimeUnit resolution() const {
    int code = 0;
    return _timebase.getResolutionTimeUnit(&code);
  }
  // The clock in the timebase's resolution unit.
  uint64_t now() const {
    int code = 0;
    return _timebase.getCounterValue(&code) * _timebase.getResolutionValue(&code);
  }

  tTimerTimebaseEfficient _timebase;
  tMode _mode = kNoLimit;
  uint32_t _value = kForever;
  uint64_t _start = 0;
};

}  // namespace nQoUdP100
