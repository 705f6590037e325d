#include "chassis/maps/tMorroCartridge.h"

namespace nQoUdRLP100 {

tMorroCartridge::tMorroCartridge(uint32_t device, uint32_t p1, uint32_t p2, uint32_t p3,
               nQoMDBG100::tStatus2* status)
    : tBusWindowMap(status) {
  openFromDevice(device, p1, p2, p3, tTraits::kDeviceSites, status);
}

tMorroCartridge::tMorroCartridge(uint32_t device, uint32_t p3, nQoMDBG100::tStatus2* status)
    : tBusWindowMap(status) {
  openFromDevice(device, 0, 0, p3, tTraits::kShortDeviceSites, status);
}

tMorroCartridge::tMorroCartridge(iBus* bus, uint32_t window, nQoMDBG100::tStatus2* status)
    : tBusWindowMap(status) {
  openOverBus(bus, window, status);
}

}  // namespace nQoUdRLP100
