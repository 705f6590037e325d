// The single-action thread (its sync objects, one run per reset, the signal,
// stopping a worker wherever it waits) and the transfer lock.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "frame/tSingleActionOnceSignallableThread.h"
#include "frame/transferLock.h"
#include "sim/simStatusLog.h"
#include "sim/simSync.h"
#include "sim/simThread.h"
#include "support/silentRefusals.h"
#include "testClockFixture.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoSim::tSyncRecord;
using tParams = std::array<uint32_t, 3>;

tParams paramsOf(const tSyncRecord& record) {
  return {record.param.version, record.param.kind, record.param.option};
}

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
  EXPECT_EQ(paramsOf(opens[0]), (tParams{1, 2, 108}));
  EXPECT_EQ(paramsOf(opens[1]), (tParams{1, 3, 76}));
  EXPECT_EQ(paramsOf(opens[2]), (tParams{1, 4, 0}));
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

// An action of the run before that ends after the reset reports nothing into
// the new run: its waitForDone runs into its own time-out, and a wake of the
// new run, before or after that end, runs the action again.
TEST_F(SingleActionThreadTest, AnActionThatOutlivesItsRunLeavesTheNextRunUndone) {
  class tHeldThread : public tCountingThread {
   public:
    using tCountingThread::tCountingThread;
    uint32_t action(tStatus2& status) override {
      if (runs == 0) {
        entered = true;
        while (!released && isStopRequested() == 0)
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      return tCountingThread::action(status);
    }
    std::atomic<bool> entered{false}, released{false};
  };
  for (bool wakeFirst : {false, true}) {
    SCOPED_TRACE(wakeFirst ? "woken before the old action ends" : "woken after");
    nQoSim::clearSyncLog();
    tStatus2 status;
    tHeldThread thread(status);
    const iSync* go = opened(0);
    const iSync* done = opened(1);
    // Each wait ends on the test clock: a time-out is waited into, a wait
    // that should pass gets the clock advanced only when it hangs.
    const auto wait = [&](tStatus2& waited, bool timesOut) {
      auto waiter =
          std::async(std::launch::async, [&] { return thread.waitForDone(5000, waited); });
      const auto ready = [&] {
        return waiter.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
      };
      if (timesOut) {
        EXPECT_TRUE(nQoTest::eventually([&] { return nQoSim::syncBlocked(done) == 1 || ready(); }));
      }
      if (timesOut || !nQoTest::eventually(ready)) nQoSim::advanceClock(5'001'000'000);
      return waiter.get();
    };
    thread.startThread(status);
    thread.reset(status);
    thread.wake(status);
    ASSERT_TRUE(nQoTest::eventually([&] { return thread.entered.load(); }));
    tStatus2 first, second, third;
    EXPECT_EQ(wait(first, true), 0u);
    EXPECT_EQ(first.code, -224606);

    thread.reset(status);
    if (wakeFirst) thread.wake(status);
    thread.released = true;
    ASSERT_TRUE(nQoTest::eventually(
        [&] { return thread.runs == (wakeFirst ? 2 : 1) && nQoSim::syncBlocked(go) == 1; }));
    if (!wakeFirst) {
      EXPECT_EQ(wait(second, true), 0u) << "passed on the action of the run before";
      EXPECT_EQ(second.code, -224606);
      thread.wake(status);
    }
    EXPECT_EQ(wait(third, false), 1u);
    EXPECT_EQ(third.code, 0);
    EXPECT_EQ(thread.runs, 2);
    EXPECT_EQ(status.code, 0);
  }
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

// The stop at destruction cannot take the thread's lock; the thread is still
// woken, joined and destroyed.
TEST_F(SingleActionThreadTest, DestroyAfterAFailedStopStillJoinsTheThread) {
  tStatus2 status;
  auto* thread = new tCountingThread(status);
  thread->startThread(status);
  ASSERT_TRUE(nQoTest::eventually([&] { return nQoSim::syncBlocked(opened(0)) == 1; }));
  nQoSim::failNextAcquire(-50001);
  auto destroyed = std::async(std::launch::async, [&] { delete thread; });
  ASSERT_EQ(destroyed.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_EQ(nQoSim::liveThreads(), 0);
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

TEST_F(SingleActionThreadTest, TransferLockKindFollowsTheSimulatedFlagThenTheProductKind) {
  nQoUdR100::tProductKind kind{4};
  nQoUdR100::tProductDescriptor descriptor{};
  descriptor.busDescriptor = &kind;
  nQoUdP100::tDeviceInfo info{};
  info.descriptor = &descriptor;
  const auto opened = [&] {
    nQoSim::clearSyncLog();
    tStatus2 status;
    iSync* lock = nQoUdP100::openTransferLock(info, status);
    const auto log = nQoSim::syncLog();
    nQoUdP100::closeTransferLock(lock, status);
    EXPECT_EQ(lock, nullptr);
    EXPECT_EQ(status.code, 0);
    return log.size() != 1 ? tParams{} : paramsOf(log[0]);
  };
  info.simulated = 1;
  EXPECT_EQ(opened(), (tParams{1, 4, 0}));
  info.simulated = 0;
  for (auto [code, expected] :
       {std::pair{4u, 0u}, {6u, 0u}, {9u, 0u}, {5u, 4u}, {0xFFFFFFFFu, 4u}}) {
    kind.kind = code;
    EXPECT_EQ(opened(), (tParams{1, expected, 0})) << code;
  }
  descriptor.busDescriptor = nullptr;
  EXPECT_EQ(opened(), (tParams{1, 4, 0}));
  info.descriptor = nullptr;
  EXPECT_EQ(opened(), (tParams{1, 4, 0}));

  tStatus2 failed(-3), unopened;
  nQoSim::clearSyncLog();
  EXPECT_EQ(nQoUdP100::openTransferLock(info, failed), nullptr);
  EXPECT_TRUE(nQoSim::syncLog().empty());
  nQoSim::failSyncOpen(1);
  EXPECT_EQ(nQoUdP100::openTransferLock(info, unopened), nullptr);
  EXPECT_EQ(unopened.code, -50352);
}

// A step under the transfer lock runs also when the lock refuses; the lock's
// code is reported at the caller's site and a lock not taken is not given
// back.
TEST_F(SingleActionThreadTest, AStepUnderARefusingLockRunsAndGivesNothingBack) {
  nQoUdP100::tDeviceInfo info{};
  info.simulated = 1;
  tStatus2 status;
  iSync* lock = nQoUdP100::openTransferLock(info, status);
  ASSERT_NE(lock, nullptr);
  using tOp = nQoSim::tSyncRecord::tOperation;
  const auto operations = [] {
    std::vector<tOp> seen;
    for (const auto& record : nQoSim::syncLog()) seen.push_back(record.operation);
    return seen;
  };
  int steps = 0;
  nQoSim::clearSyncLog();
  nQoSim::failNextAcquire(-50001);
  nQoUdP100::underLock(lock, [&] { ++steps; }, status, {"tSomeTransfer", 210});
  EXPECT_EQ(steps, 1);
  EXPECT_EQ(status.code, -50001);
  EXPECT_EQ(nQoSim::statusLog().back().file, "tSomeTransfer");
  EXPECT_EQ(nQoSim::statusLog().back().line, 210u);
  EXPECT_TRUE(operations().empty()) << "nothing taken, nothing given back";

  tStatus2 held;
  nQoSim::clearSyncLog();
  nQoUdP100::underLock(lock, [&] { ++steps; }, held, {"tSomeTransfer", 210});
  EXPECT_EQ(steps, 2);
  EXPECT_EQ(held.code, 0);
  EXPECT_EQ(operations(),
            (std::vector<tOp>{nQoSim::tSyncRecord::kAcquire, nQoSim::tSyncRecord::kRelease}));
  nQoUdP100::closeTransferLock(lock, held);
}

// A lock that refuses with no error of its own (a warning, or no code at all)
// is a refusal all the same: kRefused, and nothing is given back.
TEST_F(SingleActionThreadTest, ALockThatRefusesWithoutAnErrorIsReportedAsRefused) {
  nQoUdP100::tDeviceInfo info{};
  info.simulated = 1;
  tStatus2 status;
  iSync* lock = nQoUdP100::openTransferLock(info, status);
  ASSERT_NE(lock, nullptr);
  tCountingThread thread(status);
  ASSERT_EQ(status.code, 0);
  for (const nQoTest::tSilentRefusal& refusal : nQoTest::kSilentRefusals) {
    SCOPED_TRACE(refusal.name);
    int steps = 0;
    nQoSim::clearSyncLog();
    refusal.arm();
    tStatus2 refused;
    nQoUdP100::underLock(lock, [&] { ++steps; }, refused, {"tSomeTransfer", 210});
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(refused.code, -50150);
    EXPECT_TRUE(nQoSim::syncLog().empty());

    nQoSim::clearSyncLog();
    refusal.arm();
    tStatus2 woken;
    thread.wake(woken);
    EXPECT_EQ(woken.code, -50150);
    EXPECT_TRUE(nQoSim::syncLog().empty()) << "go not set, the lock not given back";
  }
  nQoUdP100::closeTransferLock(lock, status);
}

}  // namespace
