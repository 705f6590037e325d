#include <gtest/gtest.h>

#include <limits>

#include "frame/tTimerTimeout.h"
#include "testClockFixture.h"

namespace {

using nQoUdR100::tTimer;
using nQoUdR100::tTimerTimeout;

constexpr uint64_t kMicrosecond = 1'000;
constexpr uint64_t kMillisecond = 1'000'000;

// The efficient timebase counts in microseconds, three per tick.
class TimerTest : public nQoTest::tTestClockTest {
 protected:
  void SetUp() override {
    tTestClockTest::SetUp();
    nQoSim::setTimebaseResolution(tTimerTimebaseKind::kEfficient, kTimerTimeUnitMicrosecond, 3);
  }
};

TEST_F(TimerTest, StartAndStopTwiceReportMisuseAndKeepTheirValues) {
  tTimer<tTimerTimebaseEfficient> timer;
  int status = 0;
  timer.start(&status);
  EXPECT_EQ(timer.startCount(), 999'999u);  // 1 000 000 us read in ticks of 3
  nQoSim::advanceClock(30 * kMicrosecond);
  timer.start(&status);
  EXPECT_EQ(status, -50006);
  EXPECT_EQ(timer.startCount(), 999'999u);

  status = 0;
  timer.stop(&status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(timer.accumulatedTime(), 30u);
  EXPECT_FALSE(timer.isRunning());
  timer.stop(&status);
  EXPECT_EQ(status, -50006);
  EXPECT_EQ(timer.accumulatedTime(), 30u);
  // An error already held stays.
  status = -7;
  timer.stop(&status);
  EXPECT_EQ(status, -7);
  // A null status is allowed.
  timer.stop(nullptr);
  EXPECT_EQ(timer.getElapsedTime(kTimerTimeUnitNanosecond, nullptr), 30'000u);
}

TEST_F(TimerTest, ElapsedTimeAddsTheRunningIntervalAndConverts) {
  tTimer<tTimerTimebaseEfficient> timer;
  int status = 0;
  timer.start(&status);
  nQoSim::advanceClock(6 * kMicrosecond);
  timer.stop(&status);
  timer.start(&status);
  nQoSim::advanceClock(2 * kMillisecond);
  EXPECT_EQ(timer.getElapsedTime(kTimerTimeUnitMicrosecond, &status), 2'007u);  // 6 + 2001
  EXPECT_EQ(timer.getElapsedTime(kTimerTimeUnitMillisecond, &status), 2u);
  EXPECT_EQ(status, 0);
  status = -1;
  EXPECT_EQ(timer.getElapsedTime(kTimerTimeUnitMicrosecond, &status), 0u);
  timer.clear();
  EXPECT_EQ(timer.getElapsedTime(kTimerTimeUnitMicrosecond, nullptr), 0u);
}

TEST_F(TimerTest, AClockBelowTheStartAddsNothingAndWarnsOnlyOnACleanStatus) {
  tTimer<tTimerTimebaseEfficient> timer;
  int status = 0;
  timer.start(&status);
  nQoSim::setClock(kStart - kMillisecond);
  EXPECT_EQ(timer.getElapsedTime(kTimerTimeUnitMicrosecond, &status), 0u);
  EXPECT_EQ(status, 50202);

  status = 200010;
  EXPECT_EQ(timer.getElapsedTime(kTimerTimeUnitMicrosecond, &status), 0u);
  EXPECT_EQ(status, 200010);
  timer.stop(&status);
  EXPECT_EQ(status, 200010);
  EXPECT_EQ(timer.accumulatedTime(), 0u);

  timer.start(&status);
  nQoSim::setClock(0);
  status = 0;
  timer.stop(&status);
  EXPECT_EQ(status, 50202);
  EXPECT_EQ(timer.accumulatedTime(), 0u);
}

TEST_F(TimerTest, DeadlineIsOneStepLongerTwoAfterAFinerWholeValueAndNeverWraps) {
  using tTimeout = tTimerTimeout<tTimerTimeWasterSpin, tTimerTimebaseEfficient>;
  const uint64_t kAllOnes = std::numeric_limits<uint64_t>::max();
  const uint64_t kNearTop = kAllOnes - 1;
  struct {
    uint64_t value;
    tTimerTimeUnit unit;
    uint64_t deadline;
  } const cases[] = {
      {0, kTimerTimeUnitMicrosecond, 3},      {0, kTimerTimeUnitNanosecond, 6},
      {7, kTimerTimeUnitMicrosecond, 10},     {kNearTop, kTimerTimeUnitMicrosecond, kNearTop},
      {3'000, kTimerTimeUnitNanosecond, 9},   {4'000, kTimerTimeUnitNanosecond, 7},
      {2, kTimerTimeUnitMillisecond, 2'003},  {kNearTop, kTimerTimeUnitSecond, kAllOnes},
  };
  for (const auto& c : cases) {
    int status = 0;
    tTimeout timeout(0, kTimerTimeUnitMicrosecond, 0, &status);
    timeout.setTimeout(c.value, c.unit, &status);
    EXPECT_EQ(timeout.deadline(), c.deadline) << c.value << " in unit " << c.unit;
    EXPECT_EQ(timeout.deadlineUnit(), kTimerTimeUnitMicrosecond);
    EXPECT_TRUE(timeout.isArmed());
    EXPECT_EQ(status, 0);
    tTimeout constructed(c.value, c.unit, 1, &status);
    EXPECT_EQ(constructed.deadline(), c.deadline);
    EXPECT_TRUE(constructed.isRunning());
  }
}

TEST_F(TimerTest, SetTimeoutWhileRunningIsRefusedAndAFailedConstructionIsNotArmed) {
  int status = 0;
  tTimerTimeout<tTimerTimeWasterSpin, tTimerTimebaseEfficient> timeout(5, kTimerTimeUnitMicrosecond,
                                                                      1, &status);
  timeout.setTimeout(100, kTimerTimeUnitMicrosecond, &status);
  EXPECT_EQ(status, -50006);
  EXPECT_EQ(timeout.deadline(), 8u);

  status = -3;
  tTimerTimeout<tTimerTimeWasterSpin, tTimerTimebaseEfficient> failed(5, kTimerTimeUnitMicrosecond,
                                                                     1, &status);
  EXPECT_FALSE(failed.isArmed());
  EXPECT_FALSE(failed.isRunning());
  EXPECT_EQ(status, -3);
}

TEST_F(TimerTest, IsTimeoutComparesTheElapsedTimeWithTheDeadline) {
  int status = 0;
  tTimerTimeout<tTimerTimeWasterSpin, tTimerTimebaseEfficient> timeout(6, kTimerTimeUnitMicrosecond,
                                                                      1, &status);
  ASSERT_EQ(timeout.deadline(), 9u);
  nQoSim::advanceClock(5 * kMicrosecond);  // two ticks: 6 us
  EXPECT_EQ(timeout.isTimeout(&status), 0u);
  nQoSim::advanceClock(3 * kMicrosecond);
  EXPECT_EQ(timeout.isTimeout(&status), 1u);
  EXPECT_EQ(status, 0);
  status = -9;
  nQoSim::setClock(kStart);
  EXPECT_EQ(timeout.isTimeout(&status), 1u);
  // A failing clock read answers "timed out".
  status = 0;
  nQoSim::failTimeCall(2, -4444);
  EXPECT_EQ(timeout.isTimeout(&status), 1u);
  EXPECT_EQ(status, -4444);
}

TEST_F(TimerTest, WaitForTimeoutRefusesUnstartedTimersAndWastersThatMayNotWait) {
  int status = 0;
  tTimerTimeout<tTimerTimeWasterSleep, tTimerTimebaseEfficient> timeout(
      1, kTimerTimeUnitMillisecond, 0, &status);
  EXPECT_EQ(timeout.waitForTimeout(&status), 0u);
  EXPECT_EQ(status, -50104);

  status = 50202;
  EXPECT_EQ(timeout.waitForTimeout(&status), 0u);
  EXPECT_EQ(status, -50104);

  status = 0;
  timeout.start(&status);
  nQoSim::setCanSleepNow(false);
  EXPECT_EQ(timeout.waitForTimeout(&status), 0u);
  EXPECT_EQ(status, -50006);
  EXPECT_TRUE(nQoSim::sleepLog().empty());
}

TEST_F(TimerTest, SleepingWaitReturnsOnceTheClockHasPassedTheDeadline) {
  int status = 0;
  tTimerTimeout<tTimerTimeWasterSleep, tTimerTimebasePrecise> timeout(
      30, kTimerTimeUnitMillisecond, 1, &status);
  const uint64_t start = nQoSim::clockNanoseconds();
  EXPECT_EQ(timeout.waitForTimeout(&status), 1u);
  EXPECT_EQ(status, 0);
  EXPECT_GE(nQoSim::clockNanoseconds() - start, timeout.deadline());
  const auto sleeps = nQoSim::sleepLog();
  ASSERT_FALSE(sleeps.empty());
  EXPECT_EQ(sleeps.front().waster, tTimerTimeWasterKind::kSleep);
  EXPECT_EQ(sleeps.front().unit, kTimerTimeUnitMillisecond);
  EXPECT_EQ(sleeps.front().amount, 30u);  // 30 ms + 1 ns, in whole milliseconds
}

TEST_F(TimerTest, SpinningWaitStopsAtAFailingSleep) {
  int status = 0;
  tTimerTimeout<tTimerTimeWasterSpin, tTimerTimebasePrecise> timeout(700, kTimerTimeUnitNanosecond,
                                                                    1, &status);
  // Calls: the waster's unit; the elapsed time (six calls); canSleepNow; the
  // elapsed time in the waster's unit (six); the deadline's conversion; sleep.
  nQoSim::failTimeCall(1 + 6 + 1 + 6 + 1 + 1, -6000);
  EXPECT_EQ(timeout.waitForTimeout(&status), 0u);
  EXPECT_EQ(status, -6000);
  EXPECT_TRUE(nQoSim::sleepLog().empty());

  status = 0;
  tTimerTimeout<tTimerTimeWasterSpin, tTimerTimebasePrecise> again(700, kTimerTimeUnitNanosecond,
                                                                  1, &status);
  const uint64_t start = nQoSim::clockNanoseconds();
  EXPECT_EQ(again.waitForTimeout(&status), 1u);
  // 701 ns are 0 whole microseconds; the sleep of 0 still moves the clock one.
  ASSERT_EQ(nQoSim::sleepLog().size(), 1u);
  EXPECT_EQ(nQoSim::sleepLog()[0].amount, 0u);
  EXPECT_EQ(nQoSim::sleepLog()[0].clockAfter, start + kMicrosecond);
}

}  // namespace
