// The runs frame: a pass acts only on the run it was taken in, a run's own
// end is claimed once, and a stop waits for the accesses under way.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "frame/tRuns.h"
#include "support/heldCall.h"

namespace {

using nQoTest::tHeldCall;
using nQoUdR100::tRuns;

TEST(RunsTest, APassActsOnlyOnTheRunItWasTakenIn) {
  tRuns runs;
  std::mutex lock;
  const auto underLock = [&](auto step) {
    const std::lock_guard<std::mutex> held(lock);
    step();
  };
  int acted = 0;
  const auto act = [&] { ++acted; };

  // Before any run, a pass takes no run and acts on nothing.
  EXPECT_EQ(runs.live(), 0u);
  EXPECT_FALSE(runs.actOn(runs.live(), underLock, act));
  // A read given now belongs to the first run.
  EXPECT_EQ(runs.liveOrNext(), 1u);

  const uint32_t first = runs.begin();
  EXPECT_EQ(first, 1u);
  EXPECT_EQ(runs.live(), first);
  EXPECT_EQ(runs.liveOrNext(), first);
  EXPECT_TRUE(runs.actOn(first, underLock, act));
  EXPECT_EQ(acted, 1);

  // Overtaken by the next run, or ended: the pass of the first acts no more.
  const uint32_t second = runs.begin();
  EXPECT_NE(second, first);
  EXPECT_NE(second, 0u);
  EXPECT_FALSE(runs.actOn(first, underLock, act));
  EXPECT_FALSE(runs.access(first, act));
  runs.end();
  EXPECT_EQ(runs.live(), 0u);
  EXPECT_FALSE(runs.isLive(second));
  EXPECT_FALSE(runs.actOn(second, underLock, act));
  EXPECT_FALSE(runs.access(second, act));
  EXPECT_EQ(acted, 1);

  // A read given with no live run belongs to the run the next begin numbers,
  // and waits for it.
  const uint32_t next = runs.liveOrNext();
  EXPECT_NE(next, second);
  EXPECT_FALSE(runs.access(next, act));

  // A run's own end is claimed once, and only while it is live.
  const uint32_t third = runs.begin();
  EXPECT_EQ(third, next);
  EXPECT_FALSE(runs.endIfLive(second));
  EXPECT_TRUE(runs.isLive(third));
  EXPECT_TRUE(runs.endIfLive(third));
  EXPECT_FALSE(runs.endIfLive(third));
  EXPECT_FALSE(runs.endIfLive(0));
  EXPECT_TRUE(runs.access(runs.begin(), act));
  EXPECT_EQ(acted, 2);

  // A stop whose reads wait for the next run ends the live one, or, with
  // none live, the one they wait for: no run begun after it is theirs.
  runs.endLiveOrNext();
  EXPECT_EQ(runs.live(), 0u);
  const uint32_t awaited = runs.liveOrNext();
  runs.endLiveOrNext();
  EXPECT_EQ(runs.live(), 0u);
  EXPECT_NE(runs.liveOrNext(), awaited);
  const uint32_t after = runs.begin();
  EXPECT_NE(after, awaited);
  EXPECT_FALSE(runs.isLive(awaited));
  EXPECT_TRUE(runs.isLive(after));
}

// A stop ends the run, then waits for the access that looked before the end
// and is still at its port (held there for a bounded time); an access that
// comes after the end does not reach the port at all.
TEST(RunsTest, AStopWaitsForTheAccessUnderWayAndNoLaterAccessReachesThePort) {
  tRuns runs;
  const uint32_t run = runs.begin();
  tHeldCall held;
  std::atomic<int> portAccesses{0};
  std::thread reader([&] {
    EXPECT_TRUE(runs.access(run, [&] {
      held.hold();
      ++portAccesses;
    }));
  });
  ASSERT_TRUE(held.waitUntilInside());
  runs.end();
  runs.waitForAccesses();
  EXPECT_EQ(portAccesses, 1) << "the stop returned while an access was at its port";
  reader.join();
  EXPECT_TRUE(held.expired());
  EXPECT_FALSE(runs.access(run, [&] { ++portAccesses; }));
  EXPECT_EQ(portAccesses, 1);
}

// A stop that ends the run right after an access looked at it and found it
// live returns only once that access has left: the access is counted before
// its look. The access is held right after its look until the stop returns,
// or for a bound of the stop's own time; it never reaches its port after the
// stop returned.
TEST(RunsTest, AStopRightAfterAnAccessLookedWaitsForItsPortAccess) {
  tRuns runs;
  const uint32_t run = runs.begin();
  tHeldCall held;
  std::atomic<bool> stopped{false};
  std::thread stop([&] {
    EXPECT_TRUE(held.waitUntilInside());
    runs.end();
    runs.waitForAccesses();
    stopped = true;
    held.letGo();
  });
  bool stoppedAtThePort = false;
  EXPECT_TRUE(runs.access(
      run, [&] { stoppedAtThePort = stopped; }, [&] { held.hold(); }));
  stop.join();
  EXPECT_TRUE(held.expired())
      << "a stop returned while an access that looked at its run was inside";
  EXPECT_FALSE(stoppedAtThePort) << "an access reached its port after the stop returned";
}

}  // namespace
