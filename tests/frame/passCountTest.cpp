// The pass count: a remover waits for the passes of other threads that were
// under way, and never for a pass of its own thread.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "frame/tPassCount.h"

namespace {

using nQoUdR100::tPassCount;

TEST(PassCountTest, ARemoverWaitsForAnotherThreadsPassAndNotForItsOwn) {
  tPassCount passes;
  std::atomic<int> order{0};
  std::atomic<bool> entered{false}, waiting{false};
  int passLeft = 0;
  std::thread pass([&] {
    {
      tPassCount::tInside inside(passes);
      entered = true;
      while (!waiting) std::this_thread::yield();
      // Held a bounded while after the remover started waiting.
      for (int k = 0; k < 2000; ++k) std::this_thread::yield();
      passLeft = ++order;
    }
  });
  while (!entered) std::this_thread::yield();
  waiting = true;
  passes.waitForPasses();
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

}  // namespace
