// The sink slot: a store that replaces a sink waits for a pass calling it on
// another thread; a first store, a store of the same sink, a store from
// inside the pass's own thread and a store into a slot that a sink emptied
// from inside its call do not wait; a sink cleared while passes run may be
// freed.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "frame/tSinkSlot.h"
#include "support/heldCall.h"
#include "support/stressRounds.h"

namespace {

using nQoTest::tHeldCall;
using nQoUdR100::tSinkSlot;

// A pass on another thread that calls the slot and is held inside the call
// (after its sink took itself out, when asked) for at most bound.
class tPass {
 public:
  tPass(tSinkSlot<int>& slot, std::chrono::milliseconds bound, bool takesItselfOut = false)
      : held(bound), _thread([&slot, this, takesItselfOut] {
          slot.call([&](int& sink) {
            seen = sink;
            if (takesItselfOut) slot.set(nullptr);
            held.hold();
          });
        }) {
    inside = held.waitUntilInside();
  }
  ~tPass() { _thread.join(); }
  tHeldCall held;
  bool inside = false;
  int seen = 0;

 private:
  std::thread _thread;
};

TEST(SinkSlotTest, OnlyAStoreReplacingASinkWaitsForAPassOfAnotherThread) {
  tSinkSlot<int> slot;
  int first = 1, second = 2;
  EXPECT_FALSE(slot.call([](int&) { ADD_FAILURE() << "no sink is set"; }));
  slot.set(&first);
  // A store that is not to wait is held up to the long guard, so a starved
  // test thread that lets the pass go late does not look like a wait.
  {
    tPass pass(slot, tHeldCall::kGuard);
    ASSERT_TRUE(pass.inside);
    slot.set(&first);
    pass.held.letGo();
    EXPECT_FALSE(pass.held.expired()) << "a store of the same sink waited";
  }
  {
    tPass pass(slot, tHeldCall::kHold);
    ASSERT_TRUE(pass.inside);
    slot.set(&second);
    pass.held.letGo();
    EXPECT_TRUE(pass.held.expired()) << "the replacing store returned while the pass was inside";
    EXPECT_EQ(pass.seen, 1);
  }
  EXPECT_EQ(slot.get(), &second);
  // A sink clears the slot from inside its own call.
  EXPECT_TRUE(slot.call([&](int& sink) {
    EXPECT_EQ(&sink, &second);
    slot.set(nullptr);
  }));
  EXPECT_EQ(slot.get(), nullptr);
  EXPECT_FALSE(slot.call([](int&) { ADD_FAILURE() << "the sink was cleared"; }));
  // A pass whose sink took itself out is still inside: a store into the now
  // empty slot does not wait for it.
  slot.set(&first);
  {
    tPass pass(slot, tHeldCall::kGuard, true);
    ASSERT_TRUE(pass.inside);
    EXPECT_EQ(slot.get(), nullptr);
    slot.set(&second);
    pass.held.letGo();
    EXPECT_FALSE(pass.held.expired()) << "the store into the emptied slot waited";
    EXPECT_EQ(pass.seen, 1);
  }
  EXPECT_EQ(slot.get(), &second);
}

// One thread calls through the slot in a loop while the test's thread sets a
// fresh sink, clears it and frees it (a call that read the sink before it was
// counted reaches a freed one). Every other round keeps the sink until a call
// has reached it, for at most a few scheduler periods, so that a starved
// calling thread still meets sinks; the others clear it at any point. Bounded
// by rounds and elapsed time, and run at least until the calls have reached
// some sinks.
TEST(SinkSlotTest, ASinkClearedWhileCallsRunMayBeFreed) {
  struct tSink {
    uint32_t value = 7;
    uint32_t calls = 0;
    std::atomic<bool> reached{false};
  };
  tSinkSlot<tSink> slot;
  std::atomic<bool> stop{false};
  std::atomic<uint32_t> calls{0};
  std::atomic<uint32_t> wrongValues{0};
  std::thread passes([&] {
    while (!stop) {
      slot.call([&](tSink& sink) {
        if (sink.value != 7) ++wrongValues;
        ++sink.calls;
        sink.reached = true;
        ++calls;
      });
    }
  });
  const int rounds = nQoTest::runStressRounds(calls, [&](int round) {
    auto* sink = new tSink;
    slot.set(sink);
    const auto reached = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
    if (round % 2 == 0)
      while (!sink->reached && std::chrono::steady_clock::now() < reached)
        std::this_thread::yield();
    slot.set(nullptr);
    delete sink;
  });
  stop = true;
  passes.join();
  EXPECT_EQ(wrongValues, 0u);
  EXPECT_GE(calls, nQoTest::kEnoughStressCalls)
      << "the calls reached too few sinks in " << rounds << " rounds";
  EXPECT_EQ(slot.get(), nullptr);
}

}  // namespace
