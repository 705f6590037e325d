// The timebases that timers read: a counter, the unit of its resolution and
// the number of resolution units per counter tick (at least 1).
//
//   tTimerTimebasePrecise timebase;
//   uint64_t ticks = timebase.getCounterValue(&status);
//
// Every operation writes a failure into the status by the merge rule; the
// status may be null.
#pragma once

#include <cstdint>

#include "time/tTimerTimeUnit.h"

enum class tTimerTimebaseKind : uint32_t { kEfficient, kPrecise };

// Out of line, the platform's.
tTimerTimeUnit timebaseResolutionTimeUnit(tTimerTimebaseKind kind, int* status);
uint32_t timebaseResolutionValue(tTimerTimebaseKind kind, int* status);
uint64_t timebaseCounterValue(tTimerTimebaseKind kind, int* status);

template <tTimerTimebaseKind kKind>
class tTimerTimebase {
 public:
  tTimerTimeUnit getResolutionTimeUnit(int* status) const {
    return timebaseResolutionTimeUnit(kKind, status);
  }
  uint32_t getResolutionValue(int* status) const { return timebaseResolutionValue(kKind, status); }
  uint64_t getCounterValue(int* status) const { return timebaseCounterValue(kKind, status); }
};

// Coarse and cheap to read.
using tTimerTimebaseEfficient = tTimerTimebase<tTimerTimebaseKind::kEfficient>;
// Fine.
using tTimerTimebasePrecise = tTimerTimebase<tTimerTimebaseKind::kPrecise>;
