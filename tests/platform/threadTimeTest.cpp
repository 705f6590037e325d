// A thread's own time, and the held calls and passes that judge a remover by
// it: a remover that the machine keeps off the processor before its step
// still finds the call held, and one that waits for the call, spinning or
// blocked, lets it go.
#include "support/threadTime.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "sim/simThread.h"
#include "support/heldCall.h"
#include "support/heldPass.h"
#include "thread/tThreadControllerFactory.h"

namespace {

using nQoTest::tHeldCall;
using nQoTest::tHeldPass;
using nQoTest::tThreadTime;
using std::chrono::nanoseconds;
using tClock = std::chrono::steady_clock;

// Four holds of the machine keeping a thread off the processor.
constexpr std::chrono::milliseconds kStarved{200};

// Looks until the thread has had the time (true), or a guard of elapsed time
// passed.
bool hasHad(tThreadTime& thread, nanoseconds time) {
  const auto guard = tClock::now() + tHeldCall::kGuard;
  while (thread.since() < time)
    if (tClock::now() > guard) return false;
  return true;
}

// Kept off the processor, then asleep: no time of its own. Blocked on a
// lock, then running: its time. Ended: all the time there is.
TEST(ThreadTimeTest, AThreadHasTheTimeItRanOrLayBlockedOnly) {
  std::mutex lock;
  std::unique_lock<std::mutex> taken(lock);
  std::atomic<pid_t> id{0};
  std::atomic<int> phase{0};
  std::thread thread([&] {
    id = nQoTest::thisThread();
    nQoTest::starve(kStarved);
    phase = 1;
    std::this_thread::sleep_for(kStarved);
    phase = 2;
    { const std::lock_guard<std::mutex> blocked(lock); }
    phase = 3;
    while (phase != 4) std::this_thread::yield();
  });
  while (id == 0) std::this_thread::yield();
  tThreadTime had(id);
  while (phase != 1) std::this_thread::yield();
  EXPECT_LT(had.since(), tHeldCall::kHold) << "the time kept off the processor counted";
  while (phase != 2) std::this_thread::yield();
  EXPECT_LT(had.since(), tHeldCall::kHold) << "the sleep counted";
  EXPECT_TRUE(hasHad(had, had.since() + tHeldCall::kHold)) << "the time blocked did not count";
  taken.unlock();
  while (phase != 3) std::this_thread::yield();
  EXPECT_TRUE(hasHad(had, had.since() + tHeldCall::kHold)) << "the time run did not count";
  phase = 4;
  thread.join();
  EXPECT_EQ(had.since(), nanoseconds::max());
}

// A wait for the board's threads goes on for one kept off the processor until
// it is done, and ends for one that lies blocked once it had the time. The
// board's threads are the platform's threads inside their run.
TEST(ThreadTimeTest, AWaitForThreadsEndsWhenTheyAreDoneOrHadTheirTime) {
  struct tWorker : iThread {
    int32_t run() override {
      id = nQoTest::thisThread();
      nQoTest::starve(kStarved);
      done = true;
      const std::lock_guard<std::mutex> blocked(lock);
      return 0;
    }
    std::atomic<pid_t> id{0};
    std::atomic<bool> done{false};
    std::mutex lock;
  } worker;
  std::unique_lock<std::mutex> taken(worker.lock);
  tThreadControllerFactory::tParam param;
  param.thread = &worker;
  int status = 0;
  iThreadController* controller = tThreadControllerFactory::create(param, &status);
  ASSERT_NE(controller, nullptr);
  while (worker.id == 0) std::this_thread::yield();
  EXPECT_EQ(nQoSim::platformThreads(), std::vector<int>{worker.id});
  EXPECT_TRUE(nQoTest::untilDoneOrHad([&] { return worker.done.load(); }, nQoSim::platformThreads,
                                      tHeldCall::kHold));
  int looks = 0;
  EXPECT_FALSE(nQoTest::untilDoneOrHad([] { return false; }, nQoSim::platformThreads,
                                       tHeldCall::kHold, [&] { ++looks; }));
  EXPECT_GT(looks, 0);
  taken.unlock();
  tThreadControllerFactory::destroy(controller, &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(nQoSim::platformThreads(), std::vector<int>{});
}

// A remover that does not wait, kept off the processor once it saw the call
// come, finds it still held; removers that wait for it to leave, spinning or
// blocked on a lock it holds, let it go by the bound.
TEST(HeldCallTest, TheBoundCountsOnlyTheRemoversOwnTime) {
  {
    tHeldCall held;
    std::atomic<bool> removed{false};
    bool leftAfterTheRemoval = false;
    std::thread call([&] {
      held.hold();
      leftAfterTheRemoval = removed;
    });
    ASSERT_TRUE(held.waitUntilInside());
    nQoTest::starve(kStarved);
    removed = true;
    held.letGo();
    call.join();
    EXPECT_FALSE(held.expired()) << "let go while the remover was kept off the processor";
    EXPECT_TRUE(leftAfterTheRemoval);
  }
  for (const bool blocked : {false, true}) {
    SCOPED_TRACE(blocked ? "blocked" : "spinning");
    tHeldCall held;
    std::mutex lock;
    std::atomic<bool> left{false};
    std::thread call([&] {
      const std::lock_guard<std::mutex> inside(lock);
      held.hold();
      left = true;
    });
    ASSERT_TRUE(held.waitUntilInside());
    if (blocked) {
      const std::lock_guard<std::mutex> waits(lock);
    } else {
      while (!left) std::this_thread::yield();
    }
    held.letGo();
    call.join();
    EXPECT_TRUE(held.expired());
  }
}

// A teardown kept off the processor before its step finds the pass still
// held: one that then waits for the pass is told apart from one that returns.
TEST(HeldPassTest, ATeardownKeptOffTheProcessorBeforeItsStepFindsThePassHeld) {
  for (const bool waits : {true, false}) {
    SCOPED_TRACE(waits ? "waits" : "returns");
    tHeldPass held;
    std::atomic<bool> stepped{false}, left{false};
    bool steppedBeforeItLeft = false;
    held.run([&] {
      held.hold();
      steppedBeforeItLeft = stepped;
      left = true;
    });
    held.tearDown([&] {
      nQoTest::starve(kStarved);
      stepped = true;
      if (waits)
        while (!left) std::this_thread::yield();
    });
    EXPECT_EQ(held.teardownWaited(), waits);
    EXPECT_TRUE(steppedBeforeItLeft) << "the pass went on before the teardown's step";
  }
}

}  // namespace
