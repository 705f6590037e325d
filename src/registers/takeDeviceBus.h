// Opening a map's window from the device tree: the device and its bus, found
// the same way by every address space, and where each failure is reported.
#pragma once

#include <cstdint>

#include "bus/iBus.h"
#include "bus/iDevice.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"

namespace nQoUdRLP100 {

struct tDeviceTreeSites {
  nQoUdR100::tStatusSite noDevice;  // no device tree or no such device (null file: no code)
  nQoUdR100::tStatusSite noBus;     // the device yields no bus
  nQoUdR100::tStatusSite noMapping;
};

// Finds the device in the platform's device tree and takes its bus;
// kNoDeviceBus at the site of what is missing. Answers false (and stops) when
// the status already holds an error or something is missing; device is set when
// found.
bool takeDeviceBus(uint32_t id, const tDeviceTreeSites& sites, nQoMDBG100::tStatus2* status,
                   iDevice*& device, iBus*& bus);

}  // namespace nQoUdRLP100
