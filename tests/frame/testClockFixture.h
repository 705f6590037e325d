// A leak-checked test that runs on the test clock and restores the time
// services afterwards, and a host-time wait for other threads.
#pragma once

#include <chrono>
#include <thread>

#include "sim/simTime.h"
#include "support/moduleFixture.h"

namespace nQoTest {

class tTestClockTest : public tLeakCheckedTest {
 protected:
  static constexpr uint64_t kStart = 1'000'000'000;  // 1 s on the test clock

  void SetUp() override {
    tLeakCheckedTest::SetUp();
    nQoSim::resetTime();
    nQoSim::useTestClock(kStart);
  }
  void TearDown() override {
    nQoSim::resetTime();
    tLeakCheckedTest::TearDown();
  }
};

// Waits in host time until the condition holds; false after five seconds.
template <class tCondition>
bool eventually(tCondition condition) {
  for (int i = 0; i < 5000; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return condition();
}

}  // namespace nQoTest
