// The pass count: a remover waits for the passes of other threads that were
// under way, and never for a pass of its own thread nor for one that began
// after it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "frame/tPassCount.h"
#include "support/heldCall.h"
#include "support/threadTime.h"

namespace {

using nQoTest::tHeldCall;
using nQoUdR100::tPassCount;
using tClock = std::chrono::steady_clock;

TEST(PassCountTest, ARemoverWaitsForAnotherThreadsPassAndNotForItsOwn) {
  tPassCount passes;
  std::atomic<int> order{0};
  std::atomic<bool> entered{false};
  std::atomic<pid_t> remover{0};
  int written = 0;
  int passLeft = 0;
  std::thread pass([&] {
    {
      tPassCount::tInside inside(passes);
      entered = true;
      while (remover == 0) std::this_thread::yield();
      // A hold of the remover's own time: it has waited, or returned.
      nQoTest::tThreadTime waited(remover);
      while (waited.since() < tHeldCall::kHold) std::this_thread::yield();
      written = 42;  // a plain write inside the pass
      passLeft = ++order;
    }
  });
  while (!entered) std::this_thread::yield();
  remover = nQoTest::thisThread();
  passes.waitForPasses();
  // Before any join: the wait alone orders what the pass did before this read.
  EXPECT_EQ(written, 42);
  const int removerReturned = ++order;
  pass.join();
  EXPECT_EQ(passLeft, 1);
  EXPECT_EQ(removerReturned, 2);

  // Inside its own passes (nested, and inside another count's) a remover
  // returns at once; the other count's pass is not this one's.
  tPassCount other;
  {
    tPassCount::tInside outer(passes);
    tPassCount::tInside inner(other);
    tPassCount::tInside again(passes);
    EXPECT_TRUE(passes.insidePass());
    passes.waitForPasses();
    other.waitForPasses();
  }
  EXPECT_FALSE(passes.insidePass());
  EXPECT_FALSE(other.insidePass());
  passes.waitForPasses();
}

// Two threads whose passes overlap without a break (as a primary and a
// deferred pass of one board do) never leave a moment when no pass is inside;
// a remover still returns once the passes under way at its call have left.
TEST(PassCountTest, ARemoverReturnsWhileOtherThreadsPassesKeepOverlapping) {
  tPassCount passes;
  std::atomic<bool> stop{false};
  std::atomic<int> running{0};
  auto overlapping = [&](int self) {
    // Each pass begins before the other thread's ends: a hand-over.
    std::atomic<int>* turn = &running;
    while (!stop) {
      tPassCount::tInside inside(passes);
      turn->store(self);
      while (!stop && turn->load() == self) std::this_thread::yield();
    }
  };
  std::thread first(overlapping, 1), second(overlapping, 2);
  while (running == 0) std::this_thread::yield();
  const auto guard = tClock::now() + std::chrono::seconds(10);
  std::atomic<bool> returned{false};
  std::thread remover([&] {
    passes.waitForPasses();
    returned = true;
  });
  while (!returned && tClock::now() < guard) std::this_thread::yield();
  const bool returnedWhileOverlapping = returned;
  stop = true;  // the guard: a remover that waits for a quiet moment gets one now
  remover.join();
  first.join();
  second.join();
  EXPECT_TRUE(returnedWhileOverlapping);
}

// A remover inside its own pass, which its first switch left in the phase that
// new passes no longer enter: another thread's pass that then begins (in the
// other phase) is still waited for.
TEST(PassCountTest, ARemoverInsideAPassWaitsForAnotherThreadsPassInTheOtherPhase) {
  tPassCount passes;
  const tPassCount::tInside own(passes);
  passes.waitForPasses();  // switches the phase; its own pass stays where it was
  tHeldCall held;
  std::thread pass([&] {
    const tPassCount::tInside inside(passes);
    held.hold();
  });
  EXPECT_TRUE(held.waitUntilInside());
  passes.waitForPasses();
  held.letGo();
  pass.join();
  EXPECT_TRUE(held.expired()) << "the remover returned while the other thread's pass was inside";
}

// A remover inside a pass (a handler taking itself out) while another thread's
// remover waits for that very pass: both return.
TEST(PassCountTest, ARemoverInsideAPassIsNotKeptWaitingByOneWaitingForItsPass) {
  tPassCount passes;
  std::atomic<bool> entered{false}, outerWaiting{false}, innerDone{false}, outerDone{false};
  std::thread handler([&] {
    tPassCount::tInside inside(passes);
    entered = true;
    while (!outerWaiting) std::this_thread::yield();
    const auto bound = tClock::now() + tHeldCall::kHold;  // let the other remover take its turn
    while (tClock::now() < bound) std::this_thread::yield();
    passes.waitForPasses();
    innerDone = true;
  });
  while (!entered) std::this_thread::yield();
  std::thread remover([&] {
    outerWaiting = true;
    passes.waitForPasses();
    outerDone = true;
  });
  const auto guard = tClock::now() + std::chrono::seconds(10);
  while (!(innerDone && outerDone) && tClock::now() < guard) std::this_thread::yield();
  if (!(innerDone && outerDone)) {
    ADD_FAILURE() << "the removers wait for each other";
    std::abort();  // the threads cannot be let go
  }
  handler.join();
  remover.join();
}

}  // namespace
