// The sink slot: a store that replaces a sink waits for a pass calling it on
// another thread; a first store, a store of the same sink and a store from
// inside the pass's own thread do not wait; a sink cleared while passes run
// may be freed.
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

// A pass on another thread that calls the slot and is held inside the call.
class tPass {
 public:
  explicit tPass(tSinkSlot<int>& slot)
      : _thread([&] {
          slot.call([&](int& sink) {
            seen = sink;
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
  {
    tPass pass(slot);
    ASSERT_TRUE(pass.inside);
    slot.set(&first);
    pass.held.letGo();
    EXPECT_FALSE(pass.held.expired()) << "a store of the same sink waited";
  }
  {
    tPass pass(slot);
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
}

// One thread calls through the slot in a loop while the test's thread sets a
// fresh sink, clears it and frees it (a call that read the sink before it was
// counted reaches a freed one). Bounded by rounds and elapsed time, and run at
// least until the calls have reached some sinks.
TEST(SinkSlotTest, ASinkClearedWhileCallsRunMayBeFreed) {
  struct tSink {
    uint32_t value = 7;
    uint32_t calls = 0;
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
        ++calls;
      });
    }
  });
  const int rounds = nQoTest::runStressRounds(calls, [&](int) {
    auto* sink = new tSink;
    slot.set(sink);
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
