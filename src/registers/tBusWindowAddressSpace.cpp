#include "registers/tBusWindowAddressSpace.h"

#include "frame/statusCodes.h"
#include "registers/registerStatus.h"

namespace nQoUdRLP100 {

bool tBusWindowAddressSpace::openOverBus(iBus* bus, uint32_t window,
                                         const nQoUdR100::tStatusSite& noBus,
                                         nQoMDBG100::tStatus2* status) {
  _bus = bus;
  _window = window;
  _attached = 0;
  if (bus != nullptr) return true;
  nQoUdR100::setCode(status, nQoUdR100::kNoDeviceBus, noBus);
  return false;
}

bool tBusWindowAddressSpace::openFromDeviceTree(uint32_t device, uint32_t p1, uint32_t p2,
                                                uint32_t p3, const tDeviceTreeSites& sites,
                                                nQoMDBG100::tStatus2* status) {
  if (!takeDeviceBus(device, sites, status, _device, _bus)) return false;
  _attached = 1;
  // The bus's own code, seen even when the caller passed no status.
  int scratch = 0;
  int* code = status != nullptr ? &status->code : &scratch;
  _window = _bus->mapWindow(p1, p2, p3, code);
  _mapped = _window != 0 && *code >= 0;
  if (!_mapped) nQoUdR100::setCode(status, nQoUdR100::kNoDeviceBus, sites.noMapping);
  return _mapped;
}

void tBusWindowAddressSpace::close() {
  if (_attached == 0) return;
  if (_mapped) _bus->unmapWindow(&_window);
  _mapped = false;
  _device->releaseBus(&_bus, 0);
  _attached = 0;
}

int32_t tBusWindowAddressSpace::flushBus(nQoMDBG100::tStatus2* status) const {
  return _bus != nullptr ? _bus->flush(codeOf(status)) : 0;
}

}  // namespace nQoUdRLP100
