// The lock object of a transfer primitive:
//
//   iSync* lock = nQoUdP100::openTransferLock(deviceInfo, status);
//   nQoUdP100::underLock(lock, [&] { ... }, status, {"tSomeTransfer", 210});
//   nQoUdP100::closeTransferLock(lock, status);   // clears lock
#pragma once

#include "frame/statusCodes.h"
#include "frame/tDeviceInfo.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "sync/iSync.h"

namespace nQoUdP100 {

// A kind-4 lock for a simulated board, a kind-0 lock for the product kinds
// 4, 6 and 9, a kind-4 lock otherwise (also without a descriptor). Null when
// the status holds an error or the lock cannot be opened.
iSync* openTransferLock(const tDeviceInfo& deviceInfo, nQoMDBG100::tStatus2& status);
// Closes and clears the handle unless the status holds an error.
void closeTransferLock(iSync*& lock, nQoMDBG100::tStatus2& status);

// Runs the step with the lock held. What taking and giving back the lock
// report goes to the status at the site (kRefused for a lock that refused
// without an error of its own); the step runs also when the lock refused (it
// reads the status itself), and only a lock taken is given back.
template <class tStep>
void underLock(iSync* lock, tStep step, nQoMDBG100::tStatus2& status,
               const nQoUdR100::tStatusSite& site) {
  int code = 0;
  const bool held = lock != nullptr && lock->waitOrAcquire(iSync::kWaitForever, &code) == 1;
  if (lock != nullptr && !held && code >= 0) code = nQoUdR100::kRefused;
  nQoUdR100::setCode(status, code, site);
  step();
  if (!held) return;
  code = 0;
  lock->releaseOrSet(&code);
  nQoUdR100::setCode(status, code, site);
}

}  // namespace nQoUdP100
