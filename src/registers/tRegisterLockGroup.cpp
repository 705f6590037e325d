#include "registers/tRegisterLockGroup.h"

#include "frame/statusCodes.h"

namespace nQoUdRLP100 {

namespace {
// The lock's own code, taken by the merge rule.
void merge(nQoMDBG100::tStatus2* status, int code) {
  if (status != nullptr) nQoUdR100::mergeCode(status->code, code);
}
}  // namespace

tRegisterLockGroup::~tRegisterLockGroup() {
  if (_lock != nullptr) syncClose(_lock);
}

void tRegisterLockGroup::open(const nQoUdR100::tStatusSite& noLock, nQoMDBG100::tStatus2* status) {
  iSync::tParam param;
  param.version = 1;
  param.kind = 1;
  param.option = 0;
  _lock = syncOpen(param, nullptr);
  if (_lock == nullptr) nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, noLock);
}

void tRegisterLockGroup::setUp(uint32_t id, const uint32_t* members, uint32_t memberCount) {
  _id = id;
  _members = members;
  _memberCount = memberCount;
}

bool tRegisterLockGroup::acquire(const nQoUdR100::tStatusSite& noLock,
                                 nQoMDBG100::tStatus2* status) {
  if (_lock == nullptr) {
    nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, noLock);
    return false;
  }
  int code = 0;
  const bool held = _lock->waitOrAcquire(iSync::kWaitForever, &code) == 1;
  merge(status, held || code < 0 ? code : nQoUdR100::kRefused);
  return held;
}

void tRegisterLockGroup::release(nQoMDBG100::tStatus2* status) {
  if (_lock == nullptr) return;
  int code = 0;
  _lock->releaseOrSet(&code);
  merge(status, code);
}

}  // namespace nQoUdRLP100
