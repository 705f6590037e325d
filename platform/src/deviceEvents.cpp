// Device-event registrations: logged for the tests.
#include <mutex>

#include "mrl/tDeviceEventRegistration.h"
#include "sim/simDeviceEvents.h"
#include "sim/tBoundedLog.h"

namespace nQoSim {
namespace {

// Registrations may be built and destroyed on several threads at once.
struct tDeviceEvents {
  std::mutex lock;
  tBoundedLog<tDeviceEventCall> log;
  int live = 0;

  void add(const tDeviceEventCall& call, int delta) {
    std::lock_guard<std::mutex> guard(lock);
    live += delta;
    log.add(call);
  }
};

tDeviceEvents& events() {
  static tDeviceEvents state;
  return state;
}

}  // namespace

std::vector<tDeviceEventCall> deviceEventLog() {
  std::lock_guard<std::mutex> guard(events().lock);
  return events().log.records();
}
void clearDeviceEventLog() {
  std::lock_guard<std::mutex> guard(events().lock);
  events().log.clear();
}
int liveDeviceEventRegistrations() {
  std::lock_guard<std::mutex> guard(events().lock);
  return events().live;
}

}  // namespace nQoSim

namespace nQoMRL100 {

using nQoSim::tDeviceEventCall;

tDeviceEventRegistration::tDeviceEventRegistration(uint32_t deviceHandle)
    : _deviceHandle(deviceHandle) {
  nQoSim::events().add({tDeviceEventCall::kBuilt, deviceHandle}, 1);
}

tDeviceEventRegistration::~tDeviceEventRegistration() {
  nQoSim::events().add({tDeviceEventCall::kDestroyed, _deviceHandle}, -1);
}

void tDeviceEventRegistration::activate(const nQoORB100::tGUID& device,
                                        nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  nQoSim::events().add({tDeviceEventCall::kActivated, _deviceHandle, device}, 0);
}

}  // namespace nQoMRL100
