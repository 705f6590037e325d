// The lifecycle suite's watch over a call that may wait without end: it moves
// the test clock once the call's thread has had the bound of its own time
// waiting, spinning or blocked in a timed wait, and never for a call that the
// machine keeps off the processor.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <thread>

#include "sim/simTime.h"
#include "supervisors/lifecycleSuite.h"
#include "support/threadTime.h"
#include "sync/iSync.h"

namespace {

using nQoTest::clockMovedDuring;
using nQoTest::tHeldCall;

TEST(ClockMovedDuringTest, TheClockMovesForAWaitAndNeverForAStarvedCall) {
  nQoSim::useTestClock(1'000);
  EXPECT_FALSE(
      clockMovedDuring([] { nQoTest::starve(std::chrono::milliseconds(200)); }, tHeldCall::kHold))
      << "the clock moved for a call kept off the processor";
  const uint64_t start = nQoSim::clockNanoseconds();
  EXPECT_TRUE(clockMovedDuring(
      [start] {
        while (nQoSim::clockNanoseconds() == start) std::this_thread::yield();
      },
      tHeldCall::kHold));
  iSync::tParam param;
  param.kind = 2;
  int status = 0;
  iSync* event = syncOpen(param, &status);
  ASSERT_NE(event, nullptr);
  uint32_t waited = 1;
  EXPECT_TRUE(
      clockMovedDuring([&] { waited = event->waitOrAcquire(10, &status); }, tHeldCall::kHold));
  EXPECT_EQ(waited, 0u);
  EXPECT_EQ(status, iSync::kTimeoutCode);
  syncClose(event);
  nQoSim::resetTime();
}

}  // namespace
