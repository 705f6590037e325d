// The sink slot: a store that replaces a sink waits for a pass calling it on
// another thread; a first store, a store of the same sink and a store from
// inside the pass's own thread do not wait.
#include <gtest/gtest.h>

#include <thread>

#include "frame/tSinkSlot.h"
#include "support/heldCall.h"

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

}  // namespace
