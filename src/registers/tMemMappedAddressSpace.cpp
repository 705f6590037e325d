#include "registers/tMemMappedAddressSpace.h"

#include "frame/statusCodes.h"
#include "registers/registerStatus.h"

namespace nQoUdRLP100 {

bool tMemMappedAddressSpace::openOverBus(iBus* bus, uint32_t window,
                                         const nQoUdR100::tStatusSite& noBus,
                                         nQoMDBG100::tStatus2* status) {
  _bus = bus;
  _ownsMapping = 0;
  if (bus == nullptr) {
    nQoUdR100::setCode(status, nQoUdR100::kNoDeviceBus, noBus);
    return false;
  }
  _base = bus->getWindowAddress(4, 3, window, codeOf(status));
  return true;
}

bool tMemMappedAddressSpace::openFromDeviceTree(uint32_t device, uint32_t first, uint32_t second,
                                                uint32_t window, uint32_t length,
                                                const tDeviceTreeSites& sites,
                                                nQoMDBG100::tStatus2* status) {
  if (!takeDeviceBus(device, sites, status, _device, _bus)) return false;
  _ownsMapping = 1;
  _mapping = _bus->mapMemory(first, second, window, length, codeOf(status));
  if (_mapping == nullptr) {
    nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, sites.noMapping);
    return false;
  }
  _mappingBus = _bus;
  _base = _mapping->base;
  return true;
}

void tMemMappedAddressSpace::close() {
  if (_ownsMapping == 0) return;
  if (_mapping != nullptr) {
    nQoMDBG100::tStatus2 local;
    _mappingBus->unmapMemory(&_mapping, &local.code);
    _mappingBus = nullptr;
    _mapping = nullptr;
    _base = 0;
  }
  _device->releaseBus(&_bus, 0);
  _ownsMapping = 0;
}

int32_t tMemMappedAddressSpace::flushBus(nQoMDBG100::tStatus2* status) const {
  return _bus != nullptr ? _bus->flush(codeOf(status)) : 0;
}

}  // namespace nQoUdRLP100
