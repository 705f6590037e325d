#include "primitives/dio/tTavikSWTimingControllerPrimitive.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "primitives/dio/teskControl.h"

namespace nQoUdP100 {

void tTavikSWTimingControllerPrimitive::setSoftwareClock(int32_t on, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  if ((_map.TESK_Control.getRegister() & kTESKHardwareTiming) != 0) {
    nQoUdR100::setCode(status, nQoUdR100::kSettingWhileInUse,
                       {"tTavikSWTimingControllerPrimitive", 42});
    return;
  }
  changeTESKControl(_map, kTESKSoftwareClock, on == 1 ? kTESKSoftwareClock : 0, status);
}

}  // namespace nQoUdP100
