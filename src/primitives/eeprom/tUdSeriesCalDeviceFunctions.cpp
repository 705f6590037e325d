#include "primitives/eeprom/tUdSeriesCalDeviceFunctions.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "primitives/eeprom/tPralEEPROMContentMap.h"
#include "primitives/eeprom/tTavikEEPROM.h"

namespace nQoUdP100 {

namespace {
constexpr const char kFile[] = "qomiop/tavik/udseries/eeprom/tUdSeriesCalDeviceFunctions";
}  // namespace

void tUdSeriesCalDeviceFunctions::createCalibrationObjects(
    const tCalibrationDescription* description, nQoUdRLP100::nTavik::tTavik* map, iBus* bus,
    tCalibrationObjects& objects, uint32_t noHardware, nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || description == nullptr) return;
  objects.device =
      new (status) tTavikEEPROM(map, bus, kEEPROMBase, kEEPROMSize, 0, noHardware, status);
  if (status.isFatal()) return;
  if (description->mapFormat == 1) {
    objects.map = new (status) tPralEEPROMContentMap(description->aiRecordCount);
  } else if (description->mapFormat == 2) {
    objects.map = new (status) tUdSeries10DIOEEPROMContentMap(description->aiRecordCount);
  } else {
    nQoUdR100::setCode(status, nQoUdR100::kRefused, {kFile, 31});
    return;
  }
  if (status.isFatal()) return;
  objects.eeprom = new (status) tEEPROM(objects.map, objects.device);
  if (objects.eeprom != nullptr) objects.eeprom->load(status);
  if (!status.isFatal()) objects.pwm = new (status) tTavikCalibrationPWMPrimitive(map);
}

void tUdSeriesCalDeviceFunctions::destroyCalibrationObjects(tCalibrationObjects& objects) {
  delete objects.eeprom;
  delete objects.map;
  delete objects.device;
  delete objects.pwm;
  objects = {};
}

}  // namespace nQoUdP100
