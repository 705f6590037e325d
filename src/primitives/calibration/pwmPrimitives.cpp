#include "primitives/calibration/pwmPrimitives.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdP100 {

namespace {
constexpr const char kFile[] = "tTavikGeneralPWMPrimitive";
}  // namespace

void tTavikCalibrationPWMPrimitive::setPWM(uint32_t value, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  _map->Write_0040.writeRegister(value, &status, 0);
}

tTavikGeneralPWMPrimitive::tTavikGeneralPWMPrimitive(nQoUdRLP100::nTavik::tTavik* map,
                                                     uint32_t channel, nQoMDBG100::tStatus2& status)
    : _map(map), _channel(channel) {
  known(status, 20);
}

void tTavikGeneralPWMPrimitive::setPWM(uint32_t value, nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || !known(status, 25)) return;
  _map->Array_0044[_channel].writeRegister(static_cast<uint16_t>(value), &status, 0);
}

bool tTavikGeneralPWMPrimitive::known(nQoMDBG100::tStatus2& status, unsigned line) const {
  if (_channel < kChannels) return true;
  nQoUdR100::setCode(status, nQoUdR100::kBadIndex, {kFile, line});
  return false;
}

}  // namespace nQoUdP100
