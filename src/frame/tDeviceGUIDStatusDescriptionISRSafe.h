// A status description that names a device by its GUID; code at interrupt
// level builds this one.
#pragma once

#include "mdbg/tStatus2.h"
#include "mrl/tStatus2DescriptionDeviceGUID.h"
#include "orb/tGUID.h"

namespace nQoUdR100::nQoKABBO_1_0 {

class tDeviceGUIDStatusDescriptionISRSafe : public nQoMRL110::tStatus2DescriptionDeviceGUID {
 public:
  explicit tDeviceGUIDStatusDescriptionISRSafe(const nQoORB100::tGUID& device)
      : tDeviceGUIDStatusDescriptionISRSafe(nQoORB100::tGUID(device), nQoMDBG100::tStatus2()) {}

 private:
  // The base reports into a status of its own that is dropped afterwards.
  tDeviceGUIDStatusDescriptionISRSafe(const nQoORB100::tGUID& device,
                                      nQoMDBG100::tStatus2&& dropped)
      : tStatus2DescriptionDeviceGUID(device, dropped) {}
};

}  // namespace nQoUdR100::nQoKABBO_1_0
