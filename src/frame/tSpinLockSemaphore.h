// A counting semaphore on an interrupt-safe spin lock; waiters block on
// single-use events in records on their own stacks, queued in arrival order.
// Give may run at interrupt level.
//
//   tSpinLockSemaphore semaphore;
//   semaphoreInit(&semaphore, 0, status);          // kPalOutOfMemory without a spin lock
//   semaphoreGive(&semaphore);
//   if (semaphoreTakeTimed(&semaphore, 100, 0, status)) { ... }   // kPalTimeout on time-out
//   semaphoreDestroy(&semaphore);
//
// Time-outs are in the kernel layer's unit (milliseconds); 0xFFFFFFFF waits
// without limit. An interrupted interruptible wait reports kPalInterrupted.
#pragma once

#include <cstdint>

#include "frame/tStatus.h"
#include "kal/nQoKAL.h"

namespace nQoUdR100 {

struct tSemaphoreLinks {
  tSemaphoreLinks* next;
  tSemaphoreLinks* previous;
};

struct tSpinLockSemaphore {
  uint32_t counting;  // 1: a take decrements the count; 0: takes leave it
  uint32_t count;
  uint64_t savedInterruptState;  // valid while the spin lock is held
  void* spinLock;                // null when it could not be created
  tSemaphoreLinks waiters;       // empty when it points to itself
};

inline constexpr uint32_t kSemaphoreWaitForever = 0xFFFFFFFF;

void semaphoreInit(tSpinLockSemaphore* semaphore, uint32_t initialCount,
                   nQoAPALS100::tStatus& status);
void semaphoreGive(tSpinLockSemaphore* semaphore);
void semaphoreTake(tSpinLockSemaphore* semaphore);
bool semaphoreTakeTimed(tSpinLockSemaphore* semaphore, uint32_t timeout, uint32_t interruptible,
                        nQoAPALS100::tStatus& status);
void semaphoreDestroy(tSpinLockSemaphore* semaphore);
// Sets kPalNotSupported: the operation is not supported.
void semaphoreUnsupported(tSpinLockSemaphore* semaphore, nQoAPALS100::tStatus& status);

}  // namespace nQoUdR100
