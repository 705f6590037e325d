#include "registers/takeDeviceBus.h"

#include "bus/iDeviceTree.h"
#include "frame/statusCodes.h"
#include "registers/registerStatus.h"

namespace nQoUdRLP100 {

bool takeDeviceBus(uint32_t id, const tDeviceTreeSites& sites, nQoMDBG100::tStatus2* status,
                   iDevice*& device, iBus*& bus) {
  if (failed(status)) return false;
  iDeviceTree* tree = iDeviceTree::getDeviceTree();
  device = tree != nullptr ? tree->findDevice(id, codeOf(status)) : nullptr;
  if (device == nullptr) {
    if (sites.noDevice.file != nullptr)
      nQoUdR100::setCode(status, nQoUdR100::kNoDeviceBus, sites.noDevice);
    return false;
  }
  bus = device->getBus(codeOf(status));
  if (bus == nullptr) {
    nQoUdR100::setCode(status, nQoUdR100::kNoDeviceBus, sites.noBus);
    return false;
  }
  return true;
}

}  // namespace nQoUdRLP100
