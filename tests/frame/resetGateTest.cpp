// The reset gate: a reset skips while a waiter holds the gate and the last
// waiter to leave runs it; a waiter that comes during a reset, a reset's own
// or the last waiter's, begins once that reset has ended.
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
  const auto reset = [&] { ++resets; };
  {
    tResetGate::tHold first(gate, reset);
    {
      tResetGate::tHold second(gate, reset);
      EXPECT_FALSE(gate.resetUnlessHeld(reset));
    }
    EXPECT_EQ(resets, 0) << "a waiter leaves the reset to the last one";
  }
  EXPECT_EQ(resets, 1) << "the last waiter runs the reset as it leaves";
  EXPECT_TRUE(gate.resetUnlessHeld(reset));
  EXPECT_EQ(resets, 2) << "the gate opens once its last waiter leaves";

  // The reset under way, of a reset or of the last waiter as it leaves, is
  // held until the test lets it go; a waiter must begin after it ends.
  for (const bool byWaiter : {false, true}) {
    SCOPED_TRACE(byWaiter ? "the last waiter's reset" : "a reset");
    resets = 0;
    tHeldCall held(tHeldCall::kGuard);
    std::atomic<int> order{0};
    int resetEnded = 0, waiterBegan = 0;
    const auto heldReset = [&] {
      held.hold();
      resetEnded = ++order;
    };
    std::thread resetting([&] {
      if (byWaiter)
        tResetGate::tHold last(gate, heldReset);
      else
        gate.resetUnlessHeld(heldReset);
    });
    ASSERT_TRUE(held.waitUntilInside());
    EXPECT_FALSE(gate.resetUnlessHeld(reset)) << "a reset under way clears it already";
    std::thread waiter([&] {
      tResetGate::tHold hold(gate, [&] {});
      waiterBegan = ++order;
    });
    const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
    while (!gate.isHeld() && std::chrono::steady_clock::now() < guard) std::this_thread::yield();
    EXPECT_TRUE(gate.isHeld()) << "the waiter did not come to the gate";
    held.letGo();
    resetting.join();
    waiter.join();
    EXPECT_FALSE(held.expired());
    EXPECT_EQ(resetEnded, 1);
    EXPECT_EQ(waiterBegan, 2);
    EXPECT_EQ(resets, 0);
  }
}

}  // namespace
