// A status description that names a device by its GUID (property 1).
#pragma once

#include "mdbg/tStatus2.h"
#include "mdbg/tStatus2Description.h"
#include "orb/tGUID.h"

namespace nQoMRL110 {

class tStatus2DescriptionDeviceGUID : public nQoMDBG100::tStatus2Description {
 public:
  // A GUID property that cannot be stored is reported in the status.
  tStatus2DescriptionDeviceGUID(const nQoORB100::tGUID& device, nQoMDBG100::tStatus2& status);
};

}  // namespace nQoMRL110
