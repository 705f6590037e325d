// The device-GUID status description.
#include "mdbg/tGUIDReportable.h"
#include "mrl/tStatus2DescriptionDeviceGUID.h"

namespace nQoMRL110 {

tStatus2DescriptionDeviceGUID::tStatus2DescriptionDeviceGUID(const nQoORB100::tGUID& device,
                                                             nQoMDBG100::tStatus2& status) {
  addProperty(1, nQoMDBG100::tGUIDReportable(device), status);
}

}  // namespace nQoMRL110
