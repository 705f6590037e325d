#include "frame/tSpinLockSemaphore.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdR100 {

namespace {

constexpr const char kSynchronization[] = "qoapal/quarks/synchronization";

// On the waiting thread's stack. The status is extended so that a code set
// here keeps its site when it is merged into the caller's status.
struct tWaiter : tSemaphoreLinks {
  nQoKAL100_tSingleUseEvent event;
  nQoAPALS100::tStatusExtended status;
};

struct tTimedWait {
  tSpinLockSemaphore* semaphore;
  tWaiter* waiter;
};

void lock(tSpinLockSemaphore* semaphore) {
  semaphore->savedInterruptState = nQoKAL110_acquireSpinLockInterrupt(semaphore->spinLock);
}

void unlock(tSpinLockSemaphore* semaphore) {
  nQoKAL110_releaseSpinLockInterrupt(semaphore->spinLock, semaphore->savedInterruptState);
}

void setCode(nQoAPALS100::tStatus& status, int64_t code, unsigned line) {
  nQoAPALS100::setStatusWithLocation(status, code, kComponent, kSynchronization, line);
}

bool isQueued(const tWaiter& waiter) { return waiter.next != &waiter; }

void enqueue(tSpinLockSemaphore* semaphore, tWaiter& waiter) {
  tSemaphoreLinks& head = semaphore->waiters;
  waiter.next = &head;
  waiter.previous = head.previous;
  head.previous->next = &waiter;
  head.previous = &waiter;
}

void unlink(tSemaphoreLinks* links) {
  links->previous->next = links->next;
  links->next->previous = links->previous;
  links->next = links;
  links->previous = links;
}

// Unlinks the first waiter and wakes it.
void wakeFirst(tSpinLockSemaphore* semaphore) {
  tWaiter* waiter = static_cast<tWaiter*>(semaphore->waiters.next);
  unlink(waiter);
  nQoKAL100_releaseSingleUseEvent(&waiter->event);
}

bool hasWaiters(const tSpinLockSemaphore* semaphore) {
  return semaphore->waiters.next != &semaphore->waiters;
}

// With the lock held and the count above 0.
void takeUnit(tSpinLockSemaphore* semaphore) {
  if (semaphore->counting == 1) --semaphore->count;
}

// Called by the kernel layer on the waiting thread when the time-out expires.
void cancelTimedWait(void* argument) {
  const tTimedWait* wait = static_cast<tTimedWait*>(argument);
  lock(wait->semaphore);
  if (isQueued(*wait->waiter)) {
    unlink(wait->waiter);
    setCode(wait->waiter->status, kPalTimeout, 221);
    nQoKAL100_releaseSingleUseEvent(&wait->waiter->event);
  }
  unlock(wait->semaphore);
}

// A give that unlinked the waiter is done with it once the lock is free.
void awaitGiver(tSpinLockSemaphore* semaphore) {
  lock(semaphore);
  unlock(semaphore);
}

void prepare(tWaiter& waiter) {
  waiter.next = &waiter;
  waiter.previous = &waiter;
  nQoKAL100_initializeSingleUseEvent(&waiter.event);
}

}  // namespace

void semaphoreInit(tSpinLockSemaphore* semaphore, uint32_t initialCount,
                   nQoAPALS100::tStatus& status) {
  semaphore->counting = 1;
  semaphore->count = initialCount;
  semaphore->savedInterruptState = 0;
  semaphore->waiters.next = &semaphore->waiters;
  semaphore->waiters.previous = &semaphore->waiters;
  semaphore->spinLock = nQoKAL100_createSpinLock();
  if (semaphore->spinLock == nullptr) setCode(status, kPalOutOfMemory, 2159);
}

void semaphoreGive(tSpinLockSemaphore* semaphore) {
  if (semaphore->spinLock == nullptr) return;
  lock(semaphore);
  if (semaphore->count > 0) {
    ++semaphore->count;
    while (hasWaiters(semaphore)) wakeFirst(semaphore);
  } else if (hasWaiters(semaphore)) {
    wakeFirst(semaphore);  // the unit passes to it; the count stays 0
  } else {
    semaphore->count = 1;
  }
  unlock(semaphore);
}

void semaphoreTake(tSpinLockSemaphore* semaphore) {
  if (semaphore->spinLock == nullptr) return;
  lock(semaphore);
  if (semaphore->count == 0) {
    tWaiter waiter;
    prepare(waiter);
    enqueue(semaphore, waiter);
    unlock(semaphore);
    nQoKAL100_waitForSingleUseEvent(&waiter.event);
    lock(semaphore);
  } else {
    takeUnit(semaphore);
  }
  unlock(semaphore);
}

bool semaphoreTakeTimed(tSpinLockSemaphore* semaphore, uint32_t timeout, uint32_t interruptible,
                        nQoAPALS100::tStatus& status) {
  if (status.isFatal() || semaphore->spinLock == nullptr) return false;
  lock(semaphore);
  if (semaphore->count > 0) {
    takeUnit(semaphore);
    unlock(semaphore);
    return true;
  }
  if (timeout == 0) {
    unlock(semaphore);
    setCode(status, kPalTimeout, 2314);
    return false;
  }
  tWaiter waiter;
  prepare(waiter);
  enqueue(semaphore, waiter);
  unlock(semaphore);

  if (timeout == kSemaphoreWaitForever) {
    int result = 0;
    if (interruptible != 0)
      result = nQoKAL100_waitForSingleUseEventInterruptible(&waiter.event);
    else
      nQoKAL100_waitForSingleUseEvent(&waiter.event);
    if (result < 0) {
      lock(semaphore);
      const bool stillQueued = isQueued(waiter);
      if (stillQueued) unlink(&waiter);
      unlock(semaphore);
      if (stillQueued) {
        setCode(status, kPalInterrupted, 2347);
        if (status.isFatal()) return false;
      }
    }
    awaitGiver(semaphore);
    return true;
  }

  tTimedWait wait{semaphore, &waiter};
  nQoKAL100_tTimeoutRecord record{cancelTimedWait, &wait};
  const int result =
      interruptible != 0
          ? nQoKAL100_waitForSingleUseEventTimeoutInterruptible(&waiter.event, timeout, &record)
          : nQoKAL100_waitForSingleUseEventTimeout(&waiter.event, timeout, &record);
  if (result < 0) {
    lock(semaphore);
    if (isQueued(waiter)) {
      setCode(waiter.status, kPalInterrupted, 2410);
      unlink(&waiter);
    }
    unlock(semaphore);
  }
  awaitGiver(semaphore);
  if (!waiter.status.isFatal()) return true;
  nQoAPALS100::mergeStatusWithLocation(status, waiter.status);
  return false;
}

void semaphoreDestroy(tSpinLockSemaphore* semaphore) {
  if (semaphore == nullptr || semaphore->spinLock == nullptr) return;
  nQoKAL100_destroySpinLock(semaphore->spinLock);
  semaphore->spinLock = nullptr;
}

void semaphoreUnsupported(tSpinLockSemaphore*, nQoAPALS100::tStatus& status) {
  nQoAPALS100::setStatusWithLocation(status, kPalNotSupported, kComponent,
                                     "qoapal/protons/synchronization/tSemaphore", 255);
}

}  // namespace nQoUdR100
