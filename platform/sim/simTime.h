// Test controls of the time services. By default every clock reads the host's
// monotonic clock. A test can switch to a test clock that only moves when it
// is set (also backwards) or advanced, or when a waster sleeps; timed waits of
// sync objects and single-use events then end when the test clock passes them.
#pragma once

#include <cstdint>
#include <vector>

#include "time/tTimerTimeUnit.h"
#include "time/tTimerTimeWaster.h"
#include "time/tTimerTimebase.h"

namespace nQoSim {

// Switches to the test clock, reading the given nanoseconds.
void useTestClock(uint64_t nanoseconds);
// Back to the host clock, the default resolutions, sleeping allowed, no
// failure armed, an empty sleep log.
void resetTime();
void setClock(uint64_t nanoseconds);
void advanceClock(uint64_t nanoseconds);
// The platform clock in nanoseconds (test clock or host clock).
uint64_t clockNanoseconds();

// Defaults: efficient unit 3 value 1, precise unit 1 value 1. A value of 0
// counts as 1.
void setTimebaseResolution(tTimerTimebaseKind kind, tTimerTimeUnit unit, uint32_t value);
// Defaults: spin unit 2, sleep unit 3. A waster sleeps at least one of these.
void setWasterResolution(tTimerTimeWasterKind kind, tTimerTimeUnit unit);
// What canSleepNow answers for both wasters (true by default).
void setCanSleepNow(bool allowed);
// The nth time-service call from now (timebase, waster or convert; 1: the
// next) sets the code and answers 0 (resolution value: 1); 0 disarms.
void failTimeCall(unsigned nth, int code);

struct tSleepRecord {
  tTimerTimeWasterKind waster;
  uint64_t amount;
  tTimerTimeUnit unit;
  uint64_t clockAfter;  // nanoseconds
};
// The most recent sleeps, oldest first (tBoundedLog keeps them).
std::vector<tSleepRecord> sleepLog();

}  // namespace nQoSim
