#include "registers/tRegisterLockGroup.h"

#include "registers/registerStatus.h"

namespace nQoUdRLP100 {

tRegisterLockGroup::~tRegisterLockGroup() {
  if (_lock != nullptr) syncClose(_lock);
}

void tRegisterLockGroup::open(nQoMDBG100::tStatus2* status) {
  iSync::tParam param;
  param.version = 1;
  param.kind = 1;
  param.option = 0;
  _lock = syncOpen(param, codeOf(status));
}

void tRegisterLockGroup::setUp(uint32_t id, const uint32_t* members, uint32_t memberCount) {
  _id = id;
  _members = members;
  _memberCount = memberCount;
}

void tRegisterLockGroup::acquire(nQoMDBG100::tStatus2* status) {
  if (_lock != nullptr) _lock->waitOrAcquire(iSync::kWaitForever, codeOf(status));
}

void tRegisterLockGroup::release(nQoMDBG100::tStatus2* status) {
  if (_lock != nullptr) _lock->releaseOrSet(codeOf(status));
}

}  // namespace nQoUdRLP100
