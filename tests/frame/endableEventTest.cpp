// The endable event: an end reaches every wait, before it blocks or while it
// is blocked, whatever resets come in between, and a close ends every wait
// on the event it takes out; each mark is lifted on its own.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>
#include <vector>

#include "frame/tEndableEvent.h"
#include "sim/simSync.h"
#include "support/heldCall.h"
#include "testClockFixture.h"

namespace nQoTest {
namespace {

using nQoUdR100::tEndableEvent;
using tOp = nQoSim::tSyncRecord::tOperation;

constexpr uint32_t kStop = 1;
constexpr uint32_t kEnd = 2;

class tEndableEventTest : public tTestClockTest {
 protected:
  void open(uint32_t kind) {
    int code = 0;
    ASSERT_TRUE(event.open(iSync::tParam{1, kind, 44}, &code));
    nQoSim::clearSyncLog();
  }
  std::vector<tOp> operations() const {
    std::vector<tOp> seen;
    for (const nQoSim::tSyncRecord& record : nQoSim::syncLog()) seen.push_back(record.operation);
    return seen;
  }
  // Blocks `count` waits without a limit on the event, one after the other,
  // runs `end`, and answers whether every wait left within a guard time and
  // how; waits that did not are let go by sets of the raw event. The end is
  // held just after its set of the event until the waits have left: a wait
  // that the set woke looks at the marks while the end is still inside, so an
  // end that set the event before its mark (or a close before it took the
  // event out) lets the wait leave as woken.
  template <class tEnd>
  bool everyWaitLeaves(unsigned count, tEnd end, tEndableEvent::tLeft expected) {
    const iSync* const raw = event.event();
    std::atomic<unsigned> left{0};
    std::vector<std::thread> waits;
    std::vector<tEndableEvent::tLeft> answers(count, tEndableEvent::kWoken);
    for (unsigned k = 0; k < count; ++k) {
      waits.emplace_back([&, k] {
        int code = 0;
        answers[k] = event.wait(iSync::kWaitForever, &code);
        ++left;
      });
      if (!eventually([&] { return nQoSim::syncBlocked(raw) == k + 1; })) break;
    }
    std::atomic<std::thread::id> ending{};
    nQoSim::onSyncSet([&](const iSync* object, bool set) {
      if (set && object == raw && std::this_thread::get_id() == ending.load())
        eventually([&] { return left == waits.size(); });
    });
    // A close waits for the waits, so the end runs on a thread of its own:
    // one that does not reach them all fails here instead of hanging.
    std::thread ender([&] {
      ending = std::this_thread::get_id();
      end();
    });
    const bool allLeft = eventually([&] { return left == waits.size(); });
    while (left < waits.size()) {
      int code = 0;
      const_cast<iSync*>(raw)->releaseOrSet(&code);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ender.join();
    nQoSim::onSyncSet(nullptr);
    for (std::thread& wait : waits) wait.join();
    for (const tEndableEvent::tLeft answer : answers) EXPECT_EQ(answer, expected);
    return allLeft && waits.size() == count;
  }

  tEndableEvent event;
};

// Before a wait, an end answers it at once; a reset after the end sets the
// event again; a lift of one mark leaves the other, and once both are lifted
// a wait blocks again and hears its time-out on the test clock.
TEST_F(tEndableEventTest, AnEndBeforeAWaitAndAResetAfterItEndTheWaitUntilLifted) {
  open(2);
  event.end(kStop);
  event.end(kEnd);
  event.reset();
  int code = 0;
  EXPECT_EQ(event.wait(iSync::kWaitForever, &code), tEndableEvent::kEnded);
  EXPECT_EQ(operations(), (std::vector{tOp::kSet, tOp::kSet, tOp::kReset, tOp::kSet}));
  event.lift(kStop);
  EXPECT_TRUE(event.ended()) << "the lift of the stop lifted the end";
  EXPECT_EQ(event.wait(iSync::kWaitForever, &code), tEndableEvent::kEnded);
  event.lift(kEnd);
  event.reset();
  EXPECT_EQ(event.wait(0, &code, [] { return true; }), tEndableEvent::kReady);
  std::atomic<bool> done{false};
  std::thread late([&] {
    while (!done) {
      nQoSim::advanceClock(20'000'000);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  EXPECT_EQ(event.wait(10, &code), tEndableEvent::kTimedOut);
  EXPECT_EQ(code, iSync::kTimeoutCode);
  done = true;
  late.join();
}

// Three waits blocked: an end with one set wakes them all, also on an event
// that hands each set over to one waiter (each passes its wake on), and a
// close ends them all before it closes the event.
TEST_F(tEndableEventTest, AnEndOrACloseReachesEveryWaitBlockedOnTheEvent) {
  for (const uint32_t kind : {2u, 5u}) {
    SCOPED_TRACE(kind);
    open(kind);
    EXPECT_TRUE(everyWaitLeaves(
        3, [&] { event.end(kEnd); }, tEndableEvent::kEnded));
    event.lift(kEnd);
    event.reset();
    EXPECT_TRUE(everyWaitLeaves(
        3, [&] { event.close(); }, tEndableEvent::kClosed));
    EXPECT_EQ(operations().back(), tOp::kClose);
    int code = 0;
    EXPECT_EQ(event.wait(iSync::kWaitForever, &code), tEndableEvent::kClosed);
    event.reset();
    event.end(kEnd);
    event.lift(kEnd);
    EXPECT_EQ(operations().back(), tOp::kClose) << "a call after the close used the event";
  }
}

// A wait that has looked at the marks and is about to block when an end
// comes, then a lift and a reset before the wait's thread runs: the lift
// waits for the wait, which leaves as ended on the set the end gave it. With
// the reset left to the lift, too. The next wait, of the new run, finds no
// set of the run before and blocks until its time-out on the test clock.
TEST_F(tEndableEventTest, AWaitThatAnEndReachedLeavesAsEndedWhateverLiftAndResetFollow) {
  for (const uint32_t kind : {2u, 5u}) {
    for (const bool resetToo : {true, false}) {
      SCOPED_TRACE(testing::Message() << "kind " << kind << (resetToo ? ", reset" : ""));
      open(kind);
      const iSync* const raw = event.event();
      const std::thread::id test = std::this_thread::get_id();
      tHeldCall held;
      nQoSim::onSyncWait([&](const iSync*) {
        if (std::this_thread::get_id() != test) held.hold();
      });
      std::atomic<tEndableEvent::tLeft> answer{tEndableEvent::kWoken};
      std::atomic<bool> left{false};
      std::thread waiter([&] {
        int code = 0;
        answer = event.wait(iSync::kWaitForever, &code);
        left = true;
      });
      ASSERT_TRUE(held.waitUntilInside());
      event.end(kStop);
      event.lift(kStop);
      if (resetToo) event.reset();
      held.letGo();
      nQoSim::onSyncWait(nullptr);
      const bool leftInTime = eventually([&] { return left.load(); });
      while (!left) {
        int code = 0;
        const_cast<iSync*>(raw)->releaseOrSet(&code);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      waiter.join();
      EXPECT_TRUE(leftInTime) << "the wait slept on into the new run";
      EXPECT_EQ(answer, tEndableEvent::kEnded);
      EXPECT_TRUE(held.expired()) << "the lift did not wait for the wait";

      std::atomic<bool> timedOut{false};
      int code = 0;
      std::thread next([&] {
        answer = event.wait(10, &code);
        timedOut = true;
      });
      EXPECT_TRUE(eventually([&] { return nQoSim::syncBlocked(raw) == 1 || timedOut; }));
      EXPECT_FALSE(timedOut) << "the new run's wait found a set of the run before";
      // The clock moves until the wait has passed its deadline.
      EXPECT_TRUE(eventually([&] {
        nQoSim::advanceClock(10'000'000);
        return timedOut.load();
      }));
      next.join();
      EXPECT_EQ(answer, tEndableEvent::kTimedOut);
      EXPECT_EQ(code, iSync::kTimeoutCode);
    }
  }
}

// A wait of its own that polls the marks: an end that comes before it looks
// again reaches it, whatever lift follows; the lift waits for it to look,
// and a wait that begins after the lift finds no end.
TEST_F(tEndableEventTest, APollingWaitSeesAnEndThatALiftFollowedBeforeItLooked) {
  tHeldCall held;
  std::atomic<bool> began{false}, sawEnd{false};
  std::thread poller([&] {
    const tEndableEvent::tWaiting waiting(event);
    began = true;
    // The hold's bound runs from the end on, so it cannot pass before the end.
    EXPECT_TRUE(eventually([&] { return event.ended(kStop); }));
    held.hold();
    sawEnd = waiting.ended();
  });
  ASSERT_TRUE(eventually([&] { return began.load(); }));
  event.end(kStop);
  ASSERT_TRUE(held.waitUntilInside());
  event.lift(kStop);
  held.letGo();
  poller.join();
  EXPECT_TRUE(sawEnd);
  EXPECT_TRUE(held.expired()) << "the lift did not wait for the wait";
  EXPECT_FALSE(event.ended());
  const tEndableEvent::tWaiting after(event);
  EXPECT_FALSE(after.ended());
}

// A wait that began after the last end is owed no wake: held open, it does
// not hold the lift, after one end or after two with no lift between, and it
// stays ended once the lift took the mark off. A wait that began before the
// ends still holds the lift until it leaves.
TEST_F(tEndableEventTest, ALiftWaitsOnlyForTheWaitsThatBeganBeforeAnEnd) {
  for (const int ends : {1, 2}) {
    SCOPED_TRACE(ends);
    std::optional<tEndableEvent::tWaiting> before(std::in_place, event);
    for (int k = 0; k < ends; ++k) event.end(kStop);
    std::optional<tEndableEvent::tWaiting> late(std::in_place, event);
    EXPECT_TRUE(late->ended());
    std::atomic<bool> lifted{false};
    std::thread lifter([&] {
      event.lift(kStop);
      lifted = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(lifted) << "the lift left a wait it owed behind";
    before.reset();
    EXPECT_TRUE(eventually([&] { return lifted.load(); })) << "the late wait held the lift";
    const bool lateEnded = late->ended();
    late.reset();
    lifter.join();
    EXPECT_FALSE(event.ended());
    EXPECT_TRUE(lateEnded) << "the lift handed the late wait to the new run";
    const tEndableEvent::tWaiting next(event);
    EXPECT_FALSE(next.ended());
  }
}

// A failed open keeps the event open before it.
TEST_F(tEndableEventTest, AFailedOpenKeepsTheEventBefore) {
  open(2);
  const iSync* const before = event.event();
  nQoSim::failSyncOpen(1);
  int code = 0;
  EXPECT_FALSE(event.open(iSync::tParam{1, 2, 46}, &code));
  nQoSim::failSyncOpen(0);
  EXPECT_EQ(code, -50352);
  EXPECT_EQ(event.event(), before);
  event.set();
  EXPECT_EQ(event.wait(0, &code), tEndableEvent::kWoken);
}

}  // namespace
}  // namespace nQoTest
