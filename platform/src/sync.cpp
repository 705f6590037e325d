// Locks and events behind syncOpen, with an ordered log of every operation.
// The log keeps the most recent operations only, so that long runs of
// short-lived objects (fuzz targets, host programs) stay in bounded memory.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "kal/nQoKAL.h"
#include "sim/simInterrupts.h"
#include "sim/simSync.h"
#include "sim/tBoundedLog.h"
#include "src/platformClock.h"
#include "sync/iSync.h"

namespace {

std::mutex gLogLock;
// Objects counted at most before the counts of closed objects are dropped.
constexpr size_t kCountsLimit = size_t{1} << 14;
struct tCounts {
  unsigned sets = 0;
  unsigned waits = 0;
  unsigned blocked = 0;  // threads inside waitOrAcquire now
  bool closed = false;
};
// Built on first use: a module loaded by another static initialiser may
// open objects before this file's globals are constructed.
nQoSim::tBoundedLog<nQoSim::tSyncRecord>& logRecords() {
  static nQoSim::tBoundedLog<nQoSim::tSyncRecord> records;
  return records;
}
std::map<const iSync*, tCounts>& objectCounts() {
  static std::map<const iSync*, tCounts> counts;
  return counts;
}
std::atomic<unsigned> gFailAt{0};
std::atomic<unsigned> gOpens{0};
std::atomic<int> gLive{0};
// The code the next acquire of a lock refuses with (0: none), or kNoRefusal.
constexpr int64_t kNoRefusal = INT64_MIN;
std::atomic<int64_t> gAcquireFailure{kNoRefusal};
using tSetHook = std::function<void(const iSync*, bool)>;
std::mutex gHookLock;
std::shared_ptr<const tSetHook> gSetHook;
std::atomic<bool> gHasSetHook{false};

void runSetHook(const iSync* object, bool set) {
  if (!gHasSetHook.load()) return;
  std::shared_ptr<const tSetHook> hook;
  {
    std::lock_guard<std::mutex> lock(gHookLock);
    hook = gSetHook;
  }
  if (hook != nullptr) (*hook)(object, set);
}
// A hook on one operation of an event: the wait, the reset.
using tEventHook = std::function<void(const iSync*)>;
struct tEventHookSlot {
  std::shared_ptr<const tEventHook> hook;
  std::atomic<bool> set{false};
};
tEventHookSlot gWaitHook, gResetHook, gAcquireHook;

void runHook(tEventHookSlot& slot, const iSync* object) {
  if (!slot.set.load()) return;
  std::shared_ptr<const tEventHook> hook;
  {
    std::lock_guard<std::mutex> lock(gHookLock);
    hook = slot.hook;
  }
  if (hook != nullptr) (*hook)(object);
}

void setHook(tEventHookSlot& slot, tEventHook hook) {
  std::lock_guard<std::mutex> lock(gHookLock);
  slot.hook = hook ? std::make_shared<const tEventHook>(std::move(hook)) : nullptr;
  slot.set = slot.hook != nullptr;
}

void record(nQoSim::tSyncRecord::tOperation operation, const iSync* object,
            const iSync::tParam& param, uint32_t timeout = 0) {
  std::lock_guard<std::mutex> lock(gLogLock);
  logRecords().add(
      {operation, object, param.kind, param.option, nQoKAL100_getThreadHandle(), param, timeout});
  if (operation == nQoSim::tSyncRecord::kSet || operation == nQoSim::tSyncRecord::kRelease)
    ++objectCounts()[object].sets;
  if (operation == nQoSim::tSyncRecord::kWait || operation == nQoSim::tSyncRecord::kAcquire)
    ++objectCounts()[object].waits;
}

void countBlocked(const iSync* object, int delta) {
  std::lock_guard<std::mutex> lock(gLogLock);
  objectCounts()[object].blocked += delta;
}

class tSimSync : public iSync {
 public:
  explicit tSimSync(const tParam& param) : _param(param), _kind(param.kind) {}

  bool isLock() const { return _kind == 0 || _kind == 1 || _kind == 4; }
  const tParam& param() const { return _param; }

  uint32_t waitOrAcquire(uint32_t timeout, int* status) override {
    if (nQoSim::atInterruptLevel())
      nQoKAL250_halt("qoplatform", "sync", 53, "wait or acquire at interrupt level");
    if (isLock()) {
      if (const int64_t failure = gAcquireFailure.exchange(kNoRefusal); failure != kNoRefusal) {
        if (failure != 0 && status != nullptr && *status >= 0) *status = static_cast<int>(failure);
        return 0;
      }
    }
    runHook(isLock() ? gAcquireHook : gWaitHook, this);
    std::unique_lock<std::mutex> lock(_lock);
    auto ready = [this] { return isLock() ? !_held : _tokens > 0; };
    bool done = true;
    // The deadline is fixed before the wait counts as blocked: a test that
    // moves the clock once it sees the wait blocked moves it past the start.
    const bool forever = timeout == kWaitForever;
    const uint64_t deadline = forever ? 0 : nQoPlatform::deadlineAfterMilliseconds(timeout);
    countBlocked(this, 1);
    if (forever)
      _signal.wait(lock, ready);
    else
      done = nQoPlatform::waitUntilClock(_signal, lock, deadline, ready);
    countBlocked(this, -1);
    if (!done) {
      record(nQoSim::tSyncRecord::kTimeout, this, _param, timeout);
      if (status != nullptr && *status >= 0) *status = kTimeoutCode;
      return 0;
    }
    if (isLock()) {
      _held = true;
      _owner = nQoKAL100_getThreadHandle();
    } else if (_kind == 5) {
      --_tokens;
    }
    record(isLock() ? nQoSim::tSyncRecord::kAcquire : nQoSim::tSyncRecord::kWait, this, _param,
           timeout);
    return 1;
  }

  void releaseOrSet(int*) override {
    runSetHook(this, false);
    setOrRelease();
    runSetHook(this, true);
  }

  void reset(int*) override {
    if (!isLock()) runHook(gResetHook, this);
    std::lock_guard<std::mutex> lock(_lock);
    record(nQoSim::tSyncRecord::kReset, this, _param);
    if (!isLock()) _tokens = 0;
  }

 private:
  void setOrRelease() {
    std::lock_guard<std::mutex> lock(_lock);
    if (isLock()) {
      if (!_held || _owner != nQoKAL100_getThreadHandle())
        nQoKAL250_halt("qoplatform", "sync", 78, "lock released by a thread that does not hold it");
      record(nQoSim::tSyncRecord::kRelease, this, _param);
      _held = false;
      _signal.notify_one();
      return;
    }
    record(nQoSim::tSyncRecord::kSet, this, _param);
    if (_kind == 5) {
      _tokens = 1;
      _signal.notify_one();
    } else {
      _tokens = 1;
      _signal.notify_all();
    }
  }

  const tParam _param;
  const uint32_t _kind;
  std::mutex _lock;
  std::condition_variable _signal;
  bool _held = false;
  uint64_t _owner = 0;
  int _tokens = 0;
};

}  // namespace

namespace nQoSim {
void failSyncOpen(unsigned nth) { gFailAt = nth == 0 ? 0 : gOpens.load() + nth; }
void failNextAcquire(int code) { gAcquireFailure = code == 0 ? kNoRefusal : code; }
void refuseNextAcquire() { gAcquireFailure = 0; }
std::vector<tSyncRecord> syncLog() {
  std::lock_guard<std::mutex> lock(gLogLock);
  return logRecords().records();
}
void clearSyncLog() {
  std::lock_guard<std::mutex> lock(gLogLock);
  logRecords().clear();
}
int liveSyncObjects() { return gLive.load(); }
unsigned syncSets(const iSync* object) {
  std::lock_guard<std::mutex> lock(gLogLock);
  auto found = objectCounts().find(object);
  return found == objectCounts().end() ? 0 : found->second.sets;
}
unsigned syncWaits(const iSync* object) {
  std::lock_guard<std::mutex> lock(gLogLock);
  auto found = objectCounts().find(object);
  return found == objectCounts().end() ? 0 : found->second.waits;
}
void forgetClosedSyncObjects() {
  std::lock_guard<std::mutex> lock(gLogLock);
  std::erase_if(objectCounts(), [](const auto& entry) { return entry.second.closed; });
}
void onSyncSet(std::function<void(const iSync*, bool)> hook) {
  std::lock_guard<std::mutex> lock(gHookLock);
  gSetHook = hook ? std::make_shared<const tSetHook>(std::move(hook)) : nullptr;
  gHasSetHook = gSetHook != nullptr;
}
void onSyncWait(std::function<void(const iSync*)> hook) { setHook(gWaitHook, std::move(hook)); }
void onSyncReset(std::function<void(const iSync*)> hook) { setHook(gResetHook, std::move(hook)); }
void onSyncAcquire(std::function<void(const iSync*)> hook) {
  setHook(gAcquireHook, std::move(hook));
}
unsigned syncBlocked(const iSync* object) {
  std::lock_guard<std::mutex> lock(gLogLock);
  auto found = objectCounts().find(object);
  return found == objectCounts().end() ? 0 : found->second.blocked;
}
}  // namespace nQoSim

iSync* syncOpen(const iSync::tParam& param, int* status) {
  if (++gOpens == gFailAt.load()) {
    gFailAt = 0;
    if (status != nullptr && *status >= 0) *status = -50352;
    return nullptr;
  }
  auto* sync = new tSimSync(param);
  ++gLive;
  {
    std::lock_guard<std::mutex> lock(gLogLock);
    if (objectCounts().size() >= kCountsLimit)
      std::erase_if(objectCounts(), [](const auto& entry) { return entry.second.closed; });
    objectCounts()[sync] = {};
  }
  record(nQoSim::tSyncRecord::kOpen, sync, param);
  return sync;
}

void syncClose(iSync* sync) {
  if (sync == nullptr) return;
  auto* simSync = static_cast<tSimSync*>(sync);
  record(nQoSim::tSyncRecord::kClose, sync, simSync->param());
  {
    std::lock_guard<std::mutex> lock(gLogLock);
    objectCounts()[sync].closed = true;
  }
  --gLive;
  delete simSync;
}
