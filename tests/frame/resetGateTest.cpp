// The reset gate: a reset runs only while no waiter holds the gate, and a
// waiter that comes during a reset begins once that reset has ended.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "frame/tResetGate.h"
#include "support/heldCall.h"

namespace {

using nQoTest::tHeldCall;
using nQoUdR100::tResetGate;

TEST(ResetGateTest, AResetSkipsWhileHeldAndAWaiterBeginsAfterTheResetUnderWay) {
  tResetGate gate;
  int resets = 0;
  {
    tResetGate::tHold first(gate);
    tResetGate::tHold second(gate);
    EXPECT_FALSE(gate.resetUnlessHeld([&] { ++resets; }));
  }
  EXPECT_TRUE(gate.resetUnlessHeld([&] { ++resets; }));
  EXPECT_EQ(resets, 1) << "the gate opens once its last waiter leaves";

  // The reset is held until the test lets it go; the waiter must begin
  // after it ends.
  tHeldCall held(tHeldCall::kGuard);
  std::atomic<int> order{0};
  int resetEnded = 0, waiterBegan = 0;
  std::thread reset([&] {
    gate.resetUnlessHeld([&] {
      held.hold();
      resetEnded = ++order;
    });
  });
  ASSERT_TRUE(held.waitUntilInside());
  EXPECT_FALSE(gate.resetUnlessHeld([&] { ++resets; })) << "a reset under way clears it already";
  std::thread waiter([&] {
    tResetGate::tHold hold(gate);
    waiterBegan = ++order;
  });
  const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
  while (!gate.isHeld() && std::chrono::steady_clock::now() < guard) std::this_thread::yield();
  EXPECT_TRUE(gate.isHeld()) << "the waiter did not come to the gate";
  held.letGo();
  reset.join();
  waiter.join();
  EXPECT_FALSE(held.expired());
  EXPECT_EQ(resetEnded, 1);
  EXPECT_EQ(waiterBegan, 2);
  EXPECT_EQ(resets, 1);
}

}  // namespace
