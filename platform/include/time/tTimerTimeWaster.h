// The wasters that timers wait with: one spins, one sleeps.
//
//   tTimerTimeWasterSleep waster;
//   if (waster.canSleepNow(&status)) waster.sleep(10, kTimerTimeUnitMillisecond, &status);
//
// Every operation writes a failure into the status by the merge rule; the
// status may be null.
#pragma once

#include <cstdint>

#include "time/tTimerTimeUnit.h"

enum class tTimerTimeWasterKind : uint32_t { kSpin, kSleep };

// Out of line, the platform's.
tTimerTimeUnit wasterResolutionTimeUnit(tTimerTimeWasterKind kind, int* status);
uint32_t wasterCanSleepNow(tTimerTimeWasterKind kind, int* status);
void wasterSleep(tTimerTimeWasterKind kind, uint64_t amount, tTimerTimeUnit unit, int* status);

template <tTimerTimeWasterKind kKind>
class tTimerTimeWaster {
 public:
  tTimerTimeUnit getResolutionTimeUnit(int* status) const {
    return wasterResolutionTimeUnit(kKind, status);
  }
  // Non-zero when the caller may wait here.
  uint32_t canSleepNow(int* status) const { return wasterCanSleepNow(kKind, status); }
  // Returns after about the given amount.
  void sleep(uint64_t amount, tTimerTimeUnit unit, int* status) const {
    wasterSleep(kKind, amount, unit, status);
  }
};

// Busy waits.
using tTimerTimeWasterSpin = tTimerTimeWaster<tTimerTimeWasterKind::kSpin>;
// Gives the processor away while it waits.
using tTimerTimeWasterSleep = tTimerTimeWaster<tTimerTimeWasterKind::kSleep>;
