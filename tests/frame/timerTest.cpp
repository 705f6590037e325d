// The stopwatch and the time-out over the test clock.
#include <gtest/gtest.h>

#include <limits>

#include "frame/tTimerTimeout.h"
#include "pal/tPALSysInfo.h"
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
  int status = 0, again = 0;
  timer.start(&status);
  EXPECT_EQ(timer.startCount(), 999'999u);
  nQoSim::advanceClock(30 * kMicrosecond);
  timer.start(&again);
  EXPECT_EQ(again, -50006);
  EXPECT_EQ(timer.startCount(), 999'999u);
  timer.stop(&status);
  EXPECT_EQ(timer.accumulatedTime(), 30u);
  timer.stop(&status);
  EXPECT_EQ(status, -50006);
  EXPECT_EQ(timer.accumulatedTime(), 30u);

  timer.start(nullptr);
  nQoSim::advanceClock(2 * kMillisecond);
  EXPECT_EQ(timer.getElapsedTime(kTimerTimeUnitMicrosecond, nullptr), 2'031u);
  EXPECT_EQ(timer.getElapsedTime(kTimerTimeUnitMillisecond, nullptr), 2u);
  nQoSim::failTimeCall(3, -4444);
  int clean = 0;
  timer.stop(&clean);
  EXPECT_EQ(clean, 0) << "a failed clock read is not measured";
  EXPECT_EQ(timer.accumulatedTime(), 30u);
}

TEST_F(TimerTest, AClockBelowTheStartAddsNothingAndWarnsOnlyOnACleanStatus) {
  tTimer<tTimerTimebaseEfficient> timer;
  int status = 0, warned = 200010;
  timer.start(&status);
  nQoSim::setClock(kStart - kMillisecond);
  EXPECT_EQ(timer.getElapsedTime(kTimerTimeUnitMicrosecond, &status), 0u);
  EXPECT_EQ(status, 50202);
  EXPECT_EQ(timer.getElapsedTime(kTimerTimeUnitMicrosecond, &warned), 0u);
  timer.stop(&warned);
  EXPECT_EQ(warned, 200010);
  EXPECT_EQ(timer.accumulatedTime(), 0u);
}

TEST_F(TimerTest, DeadlineIsOneStepLongerTwoAfterAFinerWholeValueAndNeverWraps) {
  using tTimeout = tTimerTimeout<tTimerTimeWasterSpin, tTimerTimebaseEfficient>;
  const uint64_t kAllOnes = std::numeric_limits<uint64_t>::max();
  const struct {
    uint64_t value;
    tTimerTimeUnit unit;
    uint64_t deadline;
  } cases[] = {
      {0, kTimerTimeUnitMicrosecond, 3},
      {0, kTimerTimeUnitNanosecond, 6},
      {7, kTimerTimeUnitMicrosecond, 10},
      {kAllOnes - 1, kTimerTimeUnitMicrosecond, kAllOnes - 1},
      {3'000, kTimerTimeUnitNanosecond, 9},
      {4'000, kTimerTimeUnitNanosecond, 7},
      {2, kTimerTimeUnitMillisecond, 2'003},
      {kAllOnes - 1, kTimerTimeUnitSecond, kAllOnes},
  };
  for (const auto& c : cases) {
    int status = 0;
    tTimeout timeout(0, kTimerTimeUnitMicrosecond, 0, &status);
    timeout.setTimeout(c.value, c.unit, &status);
    EXPECT_EQ(timeout.deadline(), c.deadline) << c.value << " in unit " << c.unit;
    EXPECT_EQ(timeout.deadlineUnit(), kTimerTimeUnitMicrosecond);
    EXPECT_EQ(status, 0);
  }
  int status = 0, failed = -3;
  tTimeout running(5, kTimerTimeUnitMicrosecond, 1, &status),
      unarmed(5, kTimerTimeUnitMicrosecond, 1, &failed);
  running.setTimeout(100, kTimerTimeUnitMicrosecond, &status);
  EXPECT_EQ(status, -50006);
  EXPECT_EQ(running.deadline(), 8u);
  EXPECT_FALSE(unarmed.isArmed() || unarmed.isRunning());
}

TEST_F(TimerTest, IsTimeoutComparesTheElapsedTimeWithTheDeadline) {
  int status = 0, failing = 0;
  tTimerTimeout<tTimerTimeWasterSpin, tTimerTimebaseEfficient> timeout(6, kTimerTimeUnitMicrosecond,
                                                                       1, &status);
  nQoSim::advanceClock(5 * kMicrosecond);
  EXPECT_EQ(timeout.isTimeout(&status), 0u);
  nQoSim::advanceClock(3 * kMicrosecond);
  EXPECT_EQ(timeout.isTimeout(&status), 1u);
  EXPECT_EQ(status, 0);
  nQoSim::setClock(kStart);
  nQoSim::failTimeCall(2, -4444);
  EXPECT_EQ(timeout.isTimeout(&failing), 1u);
  EXPECT_EQ(failing, -4444);
}

TEST_F(TimerTest, WaitForTimeoutRefusesUnstartedTimersAndWastersThatMayNotWait) {
  int status = 0, running = 0;
  tTimerTimeout<tTimerTimeWasterSleep, tTimerTimebaseEfficient> timeout(
      1, kTimerTimeUnitMillisecond, 0, &status);
  EXPECT_EQ(timeout.waitForTimeout(&status), 0u);
  EXPECT_EQ(status, -50104);
  timeout.start(&running);
  nQoSim::setCanSleepNow(false);
  EXPECT_EQ(timeout.waitForTimeout(&running), 0u);
  EXPECT_EQ(running, -50006);
  EXPECT_TRUE(nQoSim::sleepLog().empty());
}

TEST_F(TimerTest, SleepingWaitReturnsOnceTheClockHasPassedTheDeadlineAndStopsAtAFailingSleep) {
  int status = 0, failing = 0;
  tTimerTimeout<tTimerTimeWasterSleep, tTimerTimebasePrecise> timeout(30, kTimerTimeUnitMillisecond,
                                                                      1, &status);
  const uint64_t start = nQoSim::clockNanoseconds();
  EXPECT_EQ(timeout.waitForTimeout(&status), 1u);
  EXPECT_EQ(status, 0);
  EXPECT_GE(nQoSim::clockNanoseconds() - start, timeout.deadline());
  ASSERT_FALSE(nQoSim::sleepLog().empty());
  EXPECT_EQ(nQoSim::sleepLog().front().waster, tTimerTimeWasterKind::kSleep);
  EXPECT_EQ(nQoSim::sleepLog().front().unit, kTimerTimeUnitMillisecond);
  EXPECT_EQ(nQoSim::sleepLog().front().amount, 30u);

  tTimerTimeout<tTimerTimeWasterSpin, tTimerTimebasePrecise> spin(700, kTimerTimeUnitNanosecond, 1,
                                                                  &failing);
  // The 16th time call of the wait is its sleep.
  nQoSim::failTimeCall(1 + 6 + 1 + 6 + 1 + 1, -6000);
  const std::size_t sleeps = nQoSim::sleepLog().size();
  EXPECT_EQ(spin.waitForTimeout(&failing), 0u);
  EXPECT_EQ(failing, -6000);
  EXPECT_EQ(nQoSim::sleepLog().size(), sleeps);
}

TEST_F(TimerTest, SystemTimeReadsTheTestClockInSecondsWithTheFractionRoundedDown) {
  const struct {
    uint64_t clock;
    tPALTime128 seconds;
  } cases[] = {
      {1000 * 1'000'000'000ull, {0, 1000}},
      {1'500'000'000, {1ull << 63, 1}},
      {1, {18'446'744'073, 0}},  // 2^64 / 10^9, rounded down
      {999'999'999, {18'446'744'055'262'807'542ull, 0}},
  };
  for (const auto& c : cases) {
    nQoSim::setClock(c.clock);
    tPALTime128 seconds{7, 7};
    tPALSysInfo::getTime(seconds);
    EXPECT_EQ(seconds, c.seconds) << c.clock;
    EXPECT_EQ(tPALSysInfo::getTime(), c.clock);
  }
}

}  // namespace
