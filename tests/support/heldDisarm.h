// A disarm held at its switch-off's write while a pass that turns the source
// back on runs beside it. The disarm runs on a thread of its own and holds as
// it writes the register with the source's bit clear, inside its atomic run,
// so the bus lock stays taken; the pass then runs on another thread until an
// atomic run of its own waits for that lock, and only then is the disarm let
// go. What the pass does once it has the lock decides whether the source
// outlives the disarm. False when a thread did not reach its point within
// the guard.
//
//   EXPECT_TRUE(passBesideHeldDisarm(windows, bus, 0x192, 0x0020,
//                                    [&] { converter->disarm(status); },
//                                    [&] { slot->handleSecondaryInterrupt(); }));
//   EXPECT_EQ(map->Interrupt_A_Enable.getRegister() & 0x0020, 0);
#pragma once

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
  tHeldCall held(tHeldCall::kGuard);
  windows.onWritten([&](unsigned, uint32_t written, uint32_t value) {
    if (written == offset && (value & bit) == 0) held.hold();
  });
  std::thread disarming(disarm);
  bool reached = held.waitUntilInside();
  std::thread passing(pass);
  const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
  while (reached && bus.atomicRunsWaiting() == 0) {
    reached = std::chrono::steady_clock::now() < guard;
    std::this_thread::yield();
  }
  held.letGo();
  disarming.join();
  passing.join();
  windows.onWritten(nullptr);
  return reached && !held.expired();
}

}  // namespace nQoTest
