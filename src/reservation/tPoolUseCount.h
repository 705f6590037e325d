// The use count that a counting pool raises for each granted reservation and
// lowers for each release that did not fail. The count is not owned and may
// be absent. It never falls below 0: a release without a reservation before
// it leaves it at 0 instead of wrapping.
//
//   return _useCount.counted(inner.reserve(identifier, status));
//   _useCount.release(status, [&](nQoMDBG100::tStatus2& local) {
//     inner.release(identifier, local);
//   });
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "sync/tSyncAtomicU32.h"

namespace nQoUdR100 {

class tPoolUseCount {
 public:
  explicit tPoolUseCount(tSyncAtomicU32* count) : _count(count) {}

  // Raises the count when granted; answers granted.
  uint32_t counted(uint32_t granted) {
    if (granted != 0 && _count != nullptr) ++*_count;
    return granted;
  }

  // Runs the inner release on a fresh status whatever the caller's holds;
  // lowers the count when that status holds no error; merges it into the
  // caller's (its first error stays).
  template <class Release>
  void release(nQoMDBG100::tStatus2& status, Release innerRelease) {
    nQoMDBG100::tStatus2 local;
    innerRelease(local);
    if (local.isNotFatal() && _count != nullptr) lower(*_count);
    if (local.code != 0) status.assign(local);
  }

 private:
  static void lower(tSyncAtomicU32& count) {
    uint32_t value = count.get();
    while (value != 0 && !count.compareExchange(value, value - 1)) {
    }
  }

  tSyncAtomicU32* _count;
};

}  // namespace nQoUdR100
