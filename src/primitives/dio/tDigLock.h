// A static line primitive's own lock (kind 1), opened at construction and
// closed with it. What the lock reports is merged into the caller's status.
// A scope holds it through tHeld, which gives back only a lock it took:
//
//   tDigLock lock(status, {"tTavikImmedDigPrimitive", 20});
//   {
//     const tDigLock::tHeld held(lock, status);
//     if (held.taken()) ...;
//   }
#pragma once

#include <cstdint>

#include "frame/freshStatus.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "sync/iSync.h"

namespace nQoUdP100 {

class tDigLock {
 public:
  tDigLock(nQoMDBG100::tStatus2& status, const nQoUdR100::tStatusSite& site) {
    if (status.isFatal()) return;
    int code = 0;
    _sync = syncOpen(iSync::tParam{1, 1, 0}, &code);
    if (code != 0) nQoUdR100::setCode(status, code, site);
  }
  ~tDigLock() {
    if (_sync != nullptr) syncClose(_sync);
  }
  tDigLock(const tDigLock&) = delete;
  tDigLock& operator=(const tDigLock&) = delete;

  // True when the lock is held now (or there is none to take), by the lock's
  // answer; a lock that refused without an error of its own sets kRefused.
  bool acquire(nQoMDBG100::tStatus2& status) {
    if (_sync == nullptr) return true;
    int code = 0;
    const bool held = _sync->waitOrAcquire(iSync::kWaitForever, &code) == 1;
    merge(held || code < 0 ? code : nQoUdR100::kRefused, status);
    return held;
  }
  void release(nQoMDBG100::tStatus2& status) {
    int code = 0;
    if (_sync != nullptr) _sync->releaseOrSet(&code);
    merge(code, status);
  }

  // The lock for one scope: taken when the status holds no error, given back
  // at the end of the scope only when it was taken, on a status of its own
  // merged into the caller's.
  class tHeld {
   public:
    tHeld(tDigLock& lock, nQoMDBG100::tStatus2& status)
        : _lock(lock), _status(status), _taken(status.isNotFatal() && lock.acquire(status)) {}
    ~tHeld() {
      if (_taken)
        nQoUdR100::onFreshStatus(_status, [&](nQoMDBG100::tStatus2& s) { _lock.release(s); });
    }
    tHeld(const tHeld&) = delete;
    tHeld& operator=(const tHeld&) = delete;
    bool taken() const { return _taken; }

   private:
    tDigLock& _lock;
    nQoMDBG100::tStatus2& _status;
    const bool _taken;
  };

 private:
  static void merge(int code, nQoMDBG100::tStatus2& status) {
    if (code != 0) status.setCode(code, nQoUdR100::kComponent, "tDigLock", 40);
  }

  iSync* _sync = nullptr;
};

}  // namespace nQoUdP100
