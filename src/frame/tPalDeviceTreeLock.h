// A recursive lock bound to the platform's device tree. The thread that holds
// it may take it again; other threads wait; a device-removal notification
// from the device tree waits until the holder has released the lock. Its user
// constructs one in place around its work on the device tree:
//
//   {
//     nQoUdR100::nQoKABBO_1_0::tPalDeviceTreeLock lock;  // acquired
//     ...                                                // device-tree work
//   }                                                    // released
//
// Ownership passes to one waiter at a time through a handing-over event. When
// the event cannot be opened, a contended acquire yields and retries until the
// holder's final release hands the lock over.
#pragma once

#include <atomic>
#include <cstdint>

#include "bus/iDeviceTree.h"
#include "sync/iSync.h"
#include "sync/tSyncAtomicU32.h"

namespace nQoUdR100::nQoKABBO_1_0 {

// The observer part that the device tree calls.
class tPalDeviceTreeLockHelper : public iDeviceTreeObserver {};

class tPalDeviceTreeLock : public tPalDeviceTreeLockHelper {
 public:
  tPalDeviceTreeLock();
  ~tPalDeviceTreeLock() override;
  tPalDeviceTreeLock(const tPalDeviceTreeLock&) = delete;
  tPalDeviceTreeLock& operator=(const tPalDeviceTreeLock&) = delete;

  // Acquires and releases: returns once the holder has let go.
  void observeDevDeviceRemoved(iDevice* device) override;

 private:
  void acquire();
  void release();
  void waitForHandover();

  iSync* _event;
  tSyncAtomicU32 _waiters;  // the owner and the threads waiting
  tSyncAtomicU32 _depth;    // the owner's nested acquisitions
  std::atomic<uint64_t> _owner{0};
  tDeviceTreeListenerRecord _record;
  bool _registered = false;
  tSyncAtomicU32 _handover;  // stands in for the event when it could not be opened
};

}  // namespace nQoUdR100::nQoKABBO_1_0
