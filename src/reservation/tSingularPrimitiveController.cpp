#include "reservation/tSingularPrimitiveController.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "reservation/supervisorEvents.h"

namespace nQoMRTB100 {

namespace {

using tOperation = void (iPrimitive::*)(nQoMDBG100::tStatus2&);

// In flag-bit order: commit, arm, start, stop, disarm, uncommit.
constexpr tOperation kOperations[] = {&iPrimitive::commit, &iPrimitive::arm,
                                      &iPrimitive::start,  &iPrimitive::stop,
                                      &iPrimitive::disarm, &iPrimitive::uncommit};

}  // namespace

void tSingularPrimitiveController::attach(iPrimitive* primitive, iStateTracker* tracker,
                                          nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  _primitive = primitive;
  _tracker = tracker;
}

void tSingularPrimitiveController::control(uint32_t code, nQoMDBG100::tStatus2& status) {
  const int bit = controlFlagBit(code);
  if (status.isFatal() || bit < 0) return;
  if (_primitive == nullptr) {
    nQoUdR100::setCode(status, nQoUdR100::kNullPointer, {"tSingularPrimitiveController", 40});
    return;
  }
  if (isForwardControl(code)) {
    (_primitive->*kOperations[bit])(status);
    return;
  }
  nQoMDBG100::tStatus2 local;
  (_primitive->*kOperations[bit])(local);
  if (local.code != 0) status.assign(local);
}

uint32_t tSingularPrimitiveController::isControlEnabled(uint32_t code,
                                                        nQoMDBG100::tStatus2& status) {
  if (_tracker == nullptr) {
    nQoUdR100::setCode(status, nQoUdR100::kNullPointer, {"tSingularPrimitiveController", 58});
    return 0;
  }
  return _tracker->isControlEnabled(static_cast<int32_t>(code), status);
}

}  // namespace nQoMRTB100
