#include "primitives/cdio/tCDO_FIFOEmptyObservable.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdP100 {

namespace {
constexpr const char kFile[] = "tCDO_FIFOEmptyObservable";
}  // namespace

tCDO_FIFOEmptyObservable::tCDO_FIFOEmptyObservable(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  _fifoEmpty.setObservable(this);
  if (_fifoEmpty.allocationFailed())
    nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, {kFile, 26});
}

void tCDO_FIFOEmptyObservable::addObserver(iCDO_FIFOEmptyObserver* observer,
                                           nQoMDBG100::tStatus2& status) {
  _fifoEmpty.add(observer, status, {kFile, 40});
}

void tCDO_FIFOEmptyObservable::removeObserver(iCDO_FIFOEmptyObserver* observer,
                                              nQoMDBG100::tStatus2& status) {
  _fifoEmpty.remove(observer, status);
}

}  // namespace nQoUdP100
