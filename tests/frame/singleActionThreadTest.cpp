// The single-action thread: its sync objects, one run per reset, the signal,
// and stopping a worker wherever it waits.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "frame/tSingleActionOnceSignallableThread.h"
#include "sim/simStatusLog.h"
#include "sim/simSync.h"
#include "sim/simThread.h"
#include "testClockFixture.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoSim::tSyncRecord;

class tCountingThread : public nQoUdP100::tSingleActionOnceSignallableThread {
 public:
  explicit tCountingThread(tStatus2& status, uint32_t result = 1)
      : tSingleActionOnceSignallableThread(status, 0), result(result) {}
  uint32_t action(tStatus2&) override {
    sawSignalled = isSignalled();
    ++runs;
    return result;
  }
  std::atomic<int> runs{0};
  std::atomic<uint32_t> sawSignalled{0};
  const uint32_t result;
};

std::vector<tSyncRecord> records(tSyncRecord::tOperation operation) {
  std::vector<tSyncRecord> out;
  for (const auto& record : nQoSim::syncLog())
    if (record.operation == operation) out.push_back(record);
  return out;
}

// The go event, the done event and the lock, in opening order.
const iSync* opened(unsigned index) { return records(tSyncRecord::kOpen).at(index).object; }

class SingleActionThreadTest : public nQoTest::tTestClockTest {
 protected:
  void SetUp() override {
    tTestClockTest::SetUp();
    nQoSim::clearSyncLog();
    _liveSyncs = nQoSim::liveSyncObjects();
  }
  void TearDown() override {
    nQoSim::failSyncOpen(0);
    nQoSim::failThreadCreate(0);
    EXPECT_EQ(nQoSim::liveSyncObjects(), _liveSyncs);
    EXPECT_EQ(nQoSim::liveThreads(), 0);
    tTestClockTest::TearDown();
  }

 private:
  int _liveSyncs = 0;
};

TEST_F(SingleActionThreadTest, OpensGoDoneAndLockAndRunsTheActionOncePerReset) {
  tStatus2 status, again;
  tCountingThread thread(status);
  const auto opens = records(tSyncRecord::kOpen);
  ASSERT_EQ(opens.size(), 3u);
  const uint32_t expected[3][3] = {{1, 2, 108}, {1, 3, 76}, {1, 4, 0}};
  for (unsigned i = 0; i < 3; ++i) {
    EXPECT_EQ(opens[i].param.version, expected[i][0]);
    EXPECT_EQ(opens[i].param.kind, expected[i][1]);
    EXPECT_EQ(opens[i].param.option, expected[i][2]);
  }
  thread.destroyThread(status);
  EXPECT_EQ(status.code, -50004);
  status.clear();
  thread.startThread(status);
  thread.wake(status);
  EXPECT_EQ(thread.waitForDone(5000, status), 1u);
  EXPECT_EQ(thread.runs, 1);
  thread.startThread(again);
  EXPECT_EQ(again.code, -50006);
  EXPECT_EQ(nQoSim::liveThreads(), 1);

  const iSync* go = opened(0);
  const unsigned goWaits = nQoSim::syncWaits(go);
  thread.wake(status);
  ASSERT_TRUE(nQoTest::eventually(
      [&] { return nQoSim::syncBlocked(go) == 1 && nQoSim::syncWaits(go) > goWaits; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_LE(nQoSim::syncWaits(go), goWaits + 2) << "the worker spins on go";
  EXPECT_EQ(thread.runs, 1);
  thread.reset(status);
  thread.wake(status);
  EXPECT_EQ(thread.waitForDone(5000, status), 1u);
  EXPECT_EQ(thread.runs, 2);
  EXPECT_EQ(thread.sawSignalled, 0u);
  thread.stop(status);
  thread.destroyThread(status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(SingleActionThreadTest, ASignalBeforeTheWakeRunsTheActionOnceWithTheFlagSet) {
  for (uint32_t result : {0u, 1u}) {
    tStatus2 status;
    tCountingThread thread(status, result);
    thread.startThread(status);
    thread.signal(status);
    EXPECT_EQ(thread.waitForDone(5000, status), result);
    thread.signal(status);
    EXPECT_EQ(thread.waitForDone(5000, status), result);
    EXPECT_EQ(thread.runs, 1);
    EXPECT_EQ(thread.sawSignalled, 1u);
    EXPECT_EQ(status.code, 0);
  }
}

TEST_F(SingleActionThreadTest, WaitForDoneWithNothingRunEndsPastItsTimeOutAsMinus224606) {
  tStatus2 status;
  tCountingThread thread(status);
  thread.startThread(status);
  const uint64_t start = nQoSim::clockNanoseconds();
  auto waiter = std::async(std::launch::async, [&] { return thread.waitForDone(5000, status); });
  ASSERT_TRUE(nQoTest::eventually([&] { return nQoSim::syncBlocked(opened(1)) == 1; }));
  nQoSim::advanceClock(4'999'000'000);
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(waiter.wait_for(std::chrono::seconds(0)), std::future_status::timeout);
  nQoSim::advanceClock(2'000'000);
  EXPECT_EQ(waiter.get(), 0u);
  EXPECT_GT(nQoSim::clockNanoseconds() - start, 5'000'000'000u);
  EXPECT_EQ(status.code, -224606);
  for (const auto& record : nQoSim::statusLog()) EXPECT_NE(record.code, -50550);
}

TEST_F(SingleActionThreadTest, DestroyWithoutStopEndsAThreadBlockedOnGo) {
  tStatus2 status;
  tCountingThread thread(status);
  thread.startThread(status);
  ASSERT_TRUE(nQoTest::eventually([&] { return nQoSim::syncBlocked(opened(0)) == 1; }));
  auto destroyed = std::async(std::launch::async, [&] { thread.destroyThread(status); });
  ASSERT_EQ(destroyed.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(thread.runs, 0);
}

TEST_F(SingleActionThreadTest, AFailedOpenOrCreateIsReportedAndClosesWhatOpened) {
  tStatus2 status, created;
  nQoSim::failSyncOpen(2);
  {
    tCountingThread thread(status);
    EXPECT_EQ(status.code, -50150);
    EXPECT_EQ(records(tSyncRecord::kOpen).size(), 1u);
    thread.startThread(status);
    EXPECT_EQ(nQoSim::liveThreads(), 0);
  }
  EXPECT_EQ(records(tSyncRecord::kClose).size(), 1u);
  EXPECT_EQ(nQoSim::statusLog().back().file, "tSingleActionOnceSignallableThread");
  tCountingThread thread(created);
  nQoSim::failThreadCreate(1);
  thread.startThread(created);
  EXPECT_EQ(created.code, -50352);
}

}  // namespace
