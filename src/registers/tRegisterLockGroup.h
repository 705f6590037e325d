// One register lock group: its identifier, the platform lock that guards its
// registers and the indexes of its member registers. The lock is opened when
// the group is built and closed when it is destroyed; the identifier and the
// members are set by the map's table set-up.
#pragma once

#include <cstdint>

#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "sync/iSync.h"

namespace nQoUdRLP100 {

class tRegisterLockGroup {
 public:
  tRegisterLockGroup() = default;
  ~tRegisterLockGroup();
  tRegisterLockGroup(const tRegisterLockGroup&) = delete;
  tRegisterLockGroup& operator=(const tRegisterLockGroup&) = delete;

  // Opens the lock (kind 1, option 0); when the platform has none to give,
  // kOutOfMemory at noLock and the group stays without a lock.
  void open(const nQoUdR100::tStatusSite& noLock, nQoMDBG100::tStatus2* status);
  void setUp(uint32_t id, const uint32_t* members, uint32_t memberCount);

  uint32_t id() const { return _id; }
  iSync* lock() const { return _lock; }
  const uint32_t* members() const { return _members; }
  uint32_t memberCount() const { return _memberCount; }

  // Waits for the lock without a time-out, whatever the status holds; what the
  // lock reports is merged into the status (kRefused when it refused without
  // an error of its own). True when the caller holds the lock now: a lock
  // that refused, or a group without a lock (kOutOfMemory at noLock), gives
  // the caller nothing to release.
  bool acquire(const nQoUdR100::tStatusSite& noLock, nQoMDBG100::tStatus2* status);
  // Releases a lock the caller holds, whatever the status holds; a group
  // without a lock has nothing to give back.
  void release(nQoMDBG100::tStatus2* status);

 private:
  uint32_t _id = 0;
  iSync* _lock = nullptr;
  const uint32_t* _members = nullptr;
  uint32_t _memberCount = 0;
};

}  // namespace nQoUdRLP100
