// Spin locks, mutexes and single-use events of the kernel abstraction layer.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "kal/nQoKAL.h"
#include "sim/simKal.h"
#include "src/platformClock.h"

namespace {

std::atomic<bool> gFailSpinLock{false};
std::atomic<bool> gFailMutex{false};
std::atomic<int> gLiveSpinLocks{0};
std::atomic<int> gLiveMutexes{0};

// Every single-use event waits on one monitor; waits are rare and short.
std::mutex gEventLock;
std::condition_variable gEventSignal;
uint64_t gInterruptGeneration = 0;
uint64_t gExpireGeneration = 0;
bool gExpireAtOnce = false;
int gBlocked = 0;

enum class tWaitEnd { kReleased, kInterrupted, kExpired };

tWaitEnd waitFor(nQoKAL100_tSingleUseEvent* event, bool interruptible, bool timed,
                 uint32_t timeoutMs) {
  std::unique_lock<std::mutex> lock(gEventLock);
  const uint64_t interrupts = gInterruptGeneration;
  const uint64_t expiries = gExpireGeneration;
  auto released = [event] { return event->released != 0; };
  auto interrupted = [&] { return interruptible && gInterruptGeneration != interrupts; };
  auto expiredByTest = [&] { return timed && (gExpireAtOnce || gExpireGeneration != expiries); };
  auto ends = [&] { return released() || interrupted() || expiredByTest(); };
  // The deadline is fixed before the wait counts as blocked: a test that
  // moves the clock once it sees the wait blocked moves it past the start.
  const uint64_t deadline = timed ? nQoPlatform::deadlineAfterMilliseconds(timeoutMs) : 0;
  ++gBlocked;
  if (timed)
    nQoPlatform::waitUntilClock(gEventSignal, lock, deadline, ends);
  else
    gEventSignal.wait(lock, ends);
  --gBlocked;
  if (released()) return tWaitEnd::kReleased;
  return interrupted() ? tWaitEnd::kInterrupted : tWaitEnd::kExpired;
}

// On expiry the caller's callback runs (it releases the event) before the
// wait returns.
int timedWait(nQoKAL100_tSingleUseEvent* event, uint32_t timeout, nQoKAL100_tTimeoutRecord* record,
              bool interruptible) {
  const tWaitEnd end = waitFor(event, interruptible, true, timeout);
  if (end == tWaitEnd::kInterrupted) return -1;
  if (end == tWaitEnd::kExpired && record != nullptr && record->callback != nullptr)
    record->callback(record->argument);
  return 0;
}

}  // namespace

namespace nQoSim {
void failNextSpinLock() { gFailSpinLock = true; }
void failNextMutex() { gFailMutex = true; }
int liveSpinLocks() { return gLiveSpinLocks.load(); }
int liveMutexes() { return gLiveMutexes.load(); }
void interruptWaiters() {
  std::lock_guard<std::mutex> lock(gEventLock);
  ++gInterruptGeneration;
  gEventSignal.notify_all();
}
void expireTimedWaits() {
  std::lock_guard<std::mutex> lock(gEventLock);
  ++gExpireGeneration;
  gEventSignal.notify_all();
}
void setTimedWaitsExpireAtOnce(bool on) {
  std::lock_guard<std::mutex> lock(gEventLock);
  gExpireAtOnce = on;
  gEventSignal.notify_all();
}
int blockedWaiters() {
  std::lock_guard<std::mutex> lock(gEventLock);
  return gBlocked;
}
}  // namespace nQoSim

extern "C" {

void* nQoKAL100_createSpinLock(void) {
  if (gFailSpinLock.exchange(false)) return nullptr;
  ++gLiveSpinLocks;
  return new std::mutex;
}

void nQoKAL100_destroySpinLock(void* handle) {
  if (handle == nullptr) return;
  --gLiveSpinLocks;
  delete static_cast<std::mutex*>(handle);
}

uint64_t nQoKAL110_acquireSpinLockInterrupt(void* handle) {
  static_cast<std::mutex*>(handle)->lock();
  return 0x5A5A;
}

void nQoKAL110_releaseSpinLockInterrupt(void* handle, uint64_t) {
  static_cast<std::mutex*>(handle)->unlock();
}

void* nQoKAL150_createMutex(void) {
  if (gFailMutex.exchange(false)) return nullptr;
  ++gLiveMutexes;
  return new std::recursive_mutex;
}

void nQoKAL150_destroyMutex(void* handle) {
  if (handle == nullptr) return;
  --gLiveMutexes;
  delete static_cast<std::recursive_mutex*>(handle);
}

void nQoKAL150_acquireMutex(void* handle) { static_cast<std::recursive_mutex*>(handle)->lock(); }

void nQoKAL150_releaseMutex(void* handle) { static_cast<std::recursive_mutex*>(handle)->unlock(); }

uint64_t nQoKAL100_getThreadHandle(void) {
  static thread_local char marker;
  return reinterpret_cast<uint64_t>(&marker);
}

void nQoKAL100_yieldThread(void) { std::this_thread::yield(); }

void nQoKAL100_initializeSingleUseEvent(nQoKAL100_tSingleUseEvent* event) {
  std::lock_guard<std::mutex> lock(gEventLock);
  event->released = 0;
  event->reserved = 0;
}

void nQoKAL100_releaseSingleUseEvent(nQoKAL100_tSingleUseEvent* event) {
  std::lock_guard<std::mutex> lock(gEventLock);
  event->released = 1;
  gEventSignal.notify_all();
}

void nQoKAL100_waitForSingleUseEvent(nQoKAL100_tSingleUseEvent* event) {
  waitFor(event, false, false, 0);
}

int nQoKAL100_waitForSingleUseEventInterruptible(nQoKAL100_tSingleUseEvent* event) {
  return waitFor(event, true, false, 0) == tWaitEnd::kInterrupted ? -1 : 0;
}

int nQoKAL100_waitForSingleUseEventTimeout(nQoKAL100_tSingleUseEvent* event, uint32_t timeout,
                                           nQoKAL100_tTimeoutRecord* record) {
  return timedWait(event, timeout, record, false);
}

int nQoKAL100_waitForSingleUseEventTimeoutInterruptible(nQoKAL100_tSingleUseEvent* event,
                                                        uint32_t timeout,
                                                        nQoKAL100_tTimeoutRecord* record) {
  return timedWait(event, timeout, record, true);
}

}  // extern "C"
