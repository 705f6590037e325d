// A leak-checked test that runs on the test clock and restores the time
// services afterwards.
#pragma once

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

}  // namespace nQoTest
