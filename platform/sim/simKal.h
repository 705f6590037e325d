// Test controls of the kernel abstraction layer: register access, lock
// creation failures, single-use event waits.
#pragma once

#include <cstdint>

namespace nQoSim {

// Where register reads and writes go. An access the bus does not map (or any
// access with no bus installed) halts.
class iRegisterBus {
 public:
  virtual ~iRegisterBus() = default;
  virtual bool read(uintptr_t address, unsigned width, uint32_t& value) = 0;
  virtual bool write(uintptr_t address, unsigned width, uint32_t value) = 0;
};
void setRegisterBus(iRegisterBus* bus);
iRegisterBus* registerBus();

// The next creation of a spin lock or mutex answers null.
void failNextSpinLock();
void failNextMutex();
// Spin locks and mutexes created and not yet destroyed.
int liveSpinLocks();
int liveMutexes();

// Interrupts every interruptible wait now blocked.
void interruptWaiters();
// A timed wait (milliseconds of the platform clock) also expires when the
// test clock passes its deadline; its callback runs on the waiting thread
// before the wait returns.
// Expires every timed wait now blocked (its callback runs before it returns).
void expireTimedWaits();
// While set, every timed wait expires at once unless already released.
void setTimedWaitsExpireAtOnce(bool on);
// Waits now blocked on single-use events.
int blockedWaiters();

// halt records its arguments here before it aborts.
const char* lastHaltMessage();

}  // namespace nQoSim
