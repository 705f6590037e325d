// Test controls of the synchronisation objects.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "sync/iSync.h"

namespace nQoSim {

// Makes the nth syncOpen from now fail (1: the next one); 0 disarms.
void failSyncOpen(unsigned nth);
// The next acquire of a lock sets code (when the status holds no error),
// takes nothing and answers 0; 0 disarms.
void failNextAcquire(int code);
// The next acquire of a lock takes nothing, sets no code and answers 0.
void refuseNextAcquire();

struct tSyncRecord {
  enum tOperation { kOpen, kClose, kAcquire, kRelease, kWait, kSet, kReset, kTimeout } operation;
  const iSync* object;
  uint32_t kind;
  uint32_t option;
  uint64_t thread;
  iSync::tParam param;  // the whole record the object was opened with
  // The time-out word of an acquire, a wait or a time-out; 0 otherwise.
  uint32_t timeout = 0;
};
// The operations on every object, in order: the most recent ones, at least
// 65536 (older ones are dropped in bulk as the log fills).
std::vector<tSyncRecord> syncLog();
void clearSyncLog();
// Objects opened and not yet closed.
int liveSyncObjects();
// Sets (signals) and waits made on one object since it was opened.
unsigned syncSets(const iSync* object);
unsigned syncWaits(const iSync* object);
// Drops the counts of the objects already closed (long runs of short-lived
// objects, such as fuzz targets, keep the counts from growing).
void forgetClosedSyncObjects();
// Threads blocked in waitOrAcquire on the object right now.
unsigned syncBlocked(const iSync* object);
// Calls hook(object, set) on the thread that sets an event or releases a
// lock, outside the platform's own locks: before the set or release (set
// false) and after it (set true). A test holds a caller at either point; an
// empty hook removes it.
void onSyncSet(std::function<void(const iSync* object, bool set)> hook);
// Calls hook(object) on the thread that is about to wait on an event (not a
// lock), outside the platform's own locks, before it looks at the event: a
// test holds a waiter there, before it blocks. An empty hook removes it.
void onSyncWait(std::function<void(const iSync* object)> hook);
// Calls hook(object) on the thread that is about to reset an event, outside
// the platform's own locks, before the reset. An empty hook removes it.
void onSyncReset(std::function<void(const iSync* object)> hook);
// Calls hook(object) on the thread that is about to acquire a lock, outside
// the platform's own locks, before it tries: a test holds a thread there,
// before it holds the lock. An empty hook removes it.
void onSyncAcquire(std::function<void(const iSync* object)> hook);

}  // namespace nQoSim
