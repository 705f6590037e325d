// The lock object of a transfer primitive:
//
//   iSync* lock = nQoUdP100::openTransferLock(deviceInfo, status);
//   ...
//   nQoUdP100::closeTransferLock(lock, status);   // clears lock
#pragma once

#include "frame/tDeviceInfo.h"
#include "mdbg/tStatus2.h"
#include "sync/iSync.h"

namespace nQoUdP100 {

// A kind-4 lock for a simulated board, a kind-0 lock for the product kinds
// 4, 6 and 9, a kind-4 lock otherwise (also without a descriptor). Null when
// the status holds an error or the lock cannot be opened.
iSync* openTransferLock(const tDeviceInfo& deviceInfo, nQoMDBG100::tStatus2& status);
// Closes and clears the handle unless the status holds an error.
void closeTransferLock(iSync*& lock, nQoMDBG100::tStatus2& status);

}  // namespace nQoUdP100
