// A disarm held at its switch-off's write while a pass that turns the source
// back on runs beside it. The disarm runs on a thread of its own and holds as
// it writes the register with the source's bit clear, inside its atomic run,
// so the bus lock stays taken; the pass then runs on another thread until an
// atomic run of its own waits for that lock, and only then is the disarm let
// go. The disarm's next write outside an atomic run (the rest of its steps)
// then waits until the pass has returned, so the pass looks at whatever the
// disarm left up to its switch-off's run, never at what it does after. What the pass does once it
// has the lock decides whether the source outlives the disarm. False when a thread did not reach
// its point within the guard.
//
//   EXPECT_TRUE(passBesideHeldDisarm(windows, bus, 0x192, 0x0020,
//                                    [&] { converter->disarm(status); },
//                                    [&] { slot->handleSecondaryInterrupt(); }));
//   EXPECT_EQ(map->Interrupt_A_Enable.getRegister() & 0x0020, 0);
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "sim/tSimBus.h"
#include "sim/tSimRegisterWindows.h"
#include "support/heldCall.h"

namespace nQoTest {

template <class tDisarm, class tPass>
bool passBesideHeldDisarm(nQoSim::tSimRegisterWindows& windows, nQoSim::tSimBus& bus,
                          uint32_t offset, uint32_t bit, tDisarm disarm, tPass pass) {
  // Only the disarm's own writes hold it; the pass's go through.
  static thread_local bool onDisarmThread = false;
  tHeldCall held(tHeldCall::kGuard);
  tHeldCall rest(tHeldCall::kGuard);
  std::atomic<bool> switchedOff{false};
  windows.onWritten([&](unsigned, uint32_t written, uint32_t value) {
    if (!onDisarmThread) return;
    if (switchedOff.load()) {
      // Not inside the atomic run the pass waits for.
      if (!bus.inAtomicRunHere()) rest.hold();
    } else if (written == offset && (value & bit) == 0) {
      switchedOff = true;
      held.hold();
    }
  });
  std::thread disarming([&] {
    onDisarmThread = true;
    disarm();
  });
  bool reached = held.waitUntilInside();
  std::thread passing(pass);
  const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
  while (reached && bus.atomicRunsWaiting() == 0) {
    reached = std::chrono::steady_clock::now() < guard;
    std::this_thread::yield();
  }
  held.letGo();
  passing.join();
  rest.letGo();
  disarming.join();
  windows.onWritten(nullptr);
  return reached && !held.expired() && !rest.expired();
}

}  // namespace nQoTest
