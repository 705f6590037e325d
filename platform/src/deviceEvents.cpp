// Device-event registrations: logged for the tests.
#include "mrl/tDeviceEventRegistration.h"
#include "sim/simDeviceEvents.h"

namespace nQoSim {
namespace {

struct tDeviceEvents {
  std::vector<tDeviceEventCall> log;
  int live = 0;
};

tDeviceEvents& events() {
  static tDeviceEvents state;
  return state;
}

}  // namespace

std::vector<tDeviceEventCall> deviceEventLog() { return events().log; }
void clearDeviceEventLog() { events().log.clear(); }
int liveDeviceEventRegistrations() { return events().live; }

}  // namespace nQoSim

namespace nQoMRL100 {

using nQoSim::tDeviceEventCall;

tDeviceEventRegistration::tDeviceEventRegistration(uint32_t deviceHandle)
    : _deviceHandle(deviceHandle) {
  ++nQoSim::events().live;
  nQoSim::events().log.push_back({tDeviceEventCall::kBuilt, deviceHandle});
}

tDeviceEventRegistration::~tDeviceEventRegistration() {
  --nQoSim::events().live;
  nQoSim::events().log.push_back({tDeviceEventCall::kDestroyed, _deviceHandle});
}

void tDeviceEventRegistration::activate(const nQoORB100::tGUID& device,
                                        nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  nQoSim::events().log.push_back({tDeviceEventCall::kActivated, _deviceHandle, device});
}

}  // namespace nQoMRL100
