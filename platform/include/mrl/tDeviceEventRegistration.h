// The platform's registration of a board for device events: built over the
// board's device handle at bring-up, activated with the device GUID when the
// board's pools are registered, withdrawn when it is destroyed.
//
//   nQoMRL100::tDeviceEventRegistration events(handle);
//   events.activate(guid, status);
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "orb/tGUID.h"

namespace nQoMRL100 {

class tDeviceEventRegistration {
 public:
  explicit tDeviceEventRegistration(uint32_t deviceHandle);
  virtual ~tDeviceEventRegistration();
  tDeviceEventRegistration(const tDeviceEventRegistration&) = delete;
  tDeviceEventRegistration& operator=(const tDeviceEventRegistration&) = delete;

  // Nothing when the status holds an error.
  void activate(const nQoORB100::tGUID& device, nQoMDBG100::tStatus2& status);

 private:
  uint32_t _deviceHandle;
};

}  // namespace nQoMRL100
