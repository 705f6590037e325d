#include "primitives/dio/tTavikHWTimingControllerPrimitive.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "primitives/dio/teskControl.h"

namespace nQoUdP100 {

tTavikHWTimingControllerPrimitive::tTavikHWTimingControllerPrimitive(
    nQoUdRLP100::nTavik::tTavik& map, nQoMDBG100::tStatus2& status)
    : _map(map) {
  if (status.isFatal()) return;
  changeTESKControl(_map, kTESKSoftwareClock | kTESKHardwareClock | kTESKHardwareTiming,
                    kTESKSoftwareClock | kTESKHardwareClock, status, 1);
  _map.flushBus(&status);
}

tTavikHWTimingControllerPrimitive::~tTavikHWTimingControllerPrimitive() {
  nQoMDBG100::tStatus2 stopped;
  tTavikHWTimingControllerPrimitive::stop(stopped);
}

void tTavikHWTimingControllerPrimitive::start(nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || _started != 0) return;
  changeTESKControl(_map, kTESKHardwareTiming, kTESKHardwareTiming, status);
  _started = 1;
}

void tTavikHWTimingControllerPrimitive::stop(nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || _started == 0) return;
  changeTESKControl(_map, kTESKHardwareTiming, 0, status);
  if (status.isNotFatal()) _started = 0;
}

void tTavikHWTimingControllerPrimitive::setClockSource(int32_t source,
                                                       nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || source == _clockSource) return;
  if (source == 0 || source == 1)
    changeTESKControl(_map, kTESKHardwareClock, source == 1 ? kTESKHardwareClock : 0, status);
  _clockSource = source;
}

void tTavikHWTimingControllerPrimitive::strobe(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  if (_started == 0) {
    nQoUdR100::setCode(status, nQoUdR100::kSettingWhileInUse,
                       {"tTavikHWTimingControllerPrimitive", 102});
    return;
  }
  changeTESKControl(_map, kTESKStrobe, kTESKStrobe, status);
  _busy = 1;
}

uint32_t tTavikHWTimingControllerPrimitive::readStatus(nQoMDBG100::tStatus2& status) {
  return _map.Read_0009.refresh(&status);
}

void tTavikHWTimingControllerPrimitive::writeData(uint8_t value, nQoMDBG100::tStatus2& status) {
  _map.Write_0011.writeRegister(value, &status, 0);
}

bool tTavikHWTimingControllerPrimitive::isBusy(nQoMDBG100::tStatus2& status) {
  if (_busy == 0) return false;
  if ((_map.Read_0007.refresh(&status) & 1) != 0) return true;
  _busy = 0;
  return false;
}

}  // namespace nQoUdP100
