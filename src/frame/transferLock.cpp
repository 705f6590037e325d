#include "frame/transferLock.h"

#include "frame/tStatusSite.h"

namespace nQoUdP100 {

namespace {

uint32_t lockKind(const tDeviceInfo& deviceInfo) {
  if (deviceInfo.simulated != 0) return 4;
  const nQoUdR100::tProductDescriptor* descriptor = deviceInfo.descriptor;
  if (descriptor == nullptr || descriptor->busDescriptor == nullptr) return 4;
  const uint32_t kind = descriptor->busDescriptor->kind;
  return kind == 4 || kind == 6 || kind == 9 ? 0 : 4;
}

}  // namespace

iSync* openTransferLock(const tDeviceInfo& deviceInfo, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return nullptr;
  iSync::tParam param;
  param.kind = lockKind(deviceInfo);
  int code = 0;
  iSync* lock = syncOpen(param, &code);
  nQoUdR100::setCode(status, code, {"transferLock", 30});
  return lock;
}

void closeTransferLock(iSync*& lock, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  syncClose(lock);
  lock = nullptr;
}

}  // namespace nQoUdP100
