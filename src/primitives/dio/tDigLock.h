// A static line primitive's own lock (kind 1), opened at construction and
// closed with it. What the lock reports is merged into the caller's status.
//
//   tDigLock lock(status, {"tTavikImmedDigPrimitive", 20});
//   lock.acquire(status); ...; lock.release(status);
#pragma once

#include <cstdint>

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

  void acquire(nQoMDBG100::tStatus2& status) {
    int code = 0;
    if (_sync != nullptr) _sync->waitOrAcquire(iSync::kWaitForever, &code);
    merge(code, status);
  }
  void release(nQoMDBG100::tStatus2& status) {
    int code = 0;
    if (_sync != nullptr) _sync->releaseOrSet(&code);
    merge(code, status);
  }

 private:
  static void merge(int code, nQoMDBG100::tStatus2& status) {
    if (code != 0) status.setCode(code, nQoUdR100::kComponent, "tDigLock", 40);
  }

  iSync* _sync = nullptr;
};

}  // namespace nQoUdP100
