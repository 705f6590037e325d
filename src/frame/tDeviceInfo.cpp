#include "frame/tDeviceInfo.h"

namespace nQoUdP100 {

void tDeviceInfo::initialize(const nQoORB100::tGUID* driverIdentity, uint32_t handle,
                             iDeviceNode* node, const nQoUdR100::tProductDescriptor* capabilities,
                             nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  identity = driverIdentity;
  deviceHandle = handle;
  deviceNode = node;
  const uint32_t tag = node->getFourCharacterCode(2, &status.code);
  descriptor = capabilities;
  reserved = 0;
  simulated = tag == kSimulatedTag ? 1 : 0;
}

}  // namespace nQoUdP100
