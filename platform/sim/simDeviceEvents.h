// Test controls of the device-event registrations: what they did, in order.
#pragma once

#include <cstdint>
#include <vector>

#include "orb/tGUID.h"

namespace nQoSim {

struct tDeviceEventCall {
  enum tOperation { kBuilt, kActivated, kDestroyed };
  tOperation operation;
  uint32_t deviceHandle;
  nQoORB100::tGUID guid{};  // kActivated only
  bool operator==(const tDeviceEventCall&) const = default;
};

// The most recent calls, oldest first (tBoundedLog keeps them).
std::vector<tDeviceEventCall> deviceEventLog();
void clearDeviceEventLog();
// Registrations built and not yet destroyed.
int liveDeviceEventRegistrations();

}  // namespace nQoSim
