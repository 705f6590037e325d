// The platform clock that timebases read and timed waits measure against:
// the host's monotonic clock, or the test clock while a test drives it.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace nQoPlatform {

uint64_t clockNanoseconds();
bool testClockInUse();
// The clock reading the given milliseconds from now (saturating).
uint64_t deadlineAfterMilliseconds(uint32_t milliseconds);

// Waits on the condition until ready() answers true or the platform clock
// reaches the deadline; answers ready(). The test clock is watched in short
// slices of host time, since it moves without notifying anyone.
template <class tReady>
bool waitUntilClock(std::condition_variable& signal, std::unique_lock<std::mutex>& lock,
                    uint64_t deadline, tReady ready) {
  constexpr uint64_t kTestSlice = 200'000;
  constexpr uint64_t kHostSlice = 10'000'000;
  while (!ready()) {
    const uint64_t now = clockNanoseconds();
    if (now >= deadline) return false;
    const uint64_t slice = testClockInUse() ? kTestSlice : std::min(deadline - now, kHostSlice);
    signal.wait_for(lock, std::chrono::nanoseconds(slice));
  }
  return true;
}

}  // namespace nQoPlatform
