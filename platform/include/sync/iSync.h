// Synchronisation objects of the portability services: locks and events
// opened by kind.
//
//   iSync::tParam param{1, 1, 0};            // kind 1: a lock
//   iSync* lock = syncOpen(param, &status);  // null with the status set on failure
//   if (lock->waitOrAcquire(0xFFFFFFFF, &status) == 1) { ...; lock->releaseOrSet(&status); }
//   syncClose(lock);
//
// Kinds: 0, 1 and 4 are locks (one holder; the holder must release); 2 and 3
// are manual-reset events (a set event stays set until reset and releases
// every waiter); 5 is a handing-over event (each set releases one waiter, or
// stays set until the next wait when no one waits).
#pragma once

#include <cstdint>

class iSync {
 public:
  struct tParam {
    uint32_t version = 1;
    uint32_t kind = 0;
    uint32_t option = 0;
    uint32_t reserved[5] = {};
  };

  static constexpr uint32_t kWaitForever = 0xFFFFFFFF;
  static constexpr int kTimeoutCode = -50550;

  virtual ~iSync() = default;
  // Acquires the lock or waits for the event: 1 on success; 0 with -50550 in
  // the status when the time-out (milliseconds of the platform clock;
  // kWaitForever: no limit) passes.
  virtual uint32_t waitOrAcquire(uint32_t timeout, int* status) = 0;
  // Releases the lock or sets the event.
  virtual void releaseOrSet(int* status) = 0;
  // Clears an event; nothing for a lock.
  virtual void reset(int* status) = 0;
};

// Null, with -50352 in the status, when the object cannot be opened.
iSync* syncOpen(const iSync::tParam& param, int* status);
void syncClose(iSync* sync);
