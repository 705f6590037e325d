#include "reservation/tDriverLoadFailureResourcePool.h"

#include "frame/tStatusSite.h"

namespace nQoUdR100 {

void tDriverLoadFailureResourcePool::report(nQoMDBG100::tStatus2& status, unsigned line) const {
  if (_failureCode != 0)
    setCode(status, _failureCode, {"./source/qomior/tDriverLoadFailureResourcePool", line});
}

bool tDriverLoadFailureResourcePool::isPartiallyReserved(nQoMDBG100::tStatus2& status) const {
  report(status, 101);
  return true;
}

uint32_t tDriverLoadFailureResourcePool::reserve(const nQoMRL100::iResourceIdentifier*,
                                                 nQoMDBG100::tStatus2& status) {
  report(status, 83);
  return 0;
}

void tDriverLoadFailureResourcePool::release(const nQoMRL100::iResourceIdentifier*,
                                             nQoMDBG100::tStatus2&) {}

}  // namespace nQoUdR100
