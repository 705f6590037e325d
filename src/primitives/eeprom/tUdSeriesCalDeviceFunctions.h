// Builds and destroys the board's calibration objects: the EEPROM device
// (1024 bytes at 0x400 of the board window), the content map of the board's
// map format, the facade over both (loaded at once) and the calibration PWM.
#pragma once

#include <cstdint>

#include "bus/iBus.h"
#include "mdbg/tStatus2.h"
#include "primitives/calibration/pwmPrimitives.h"
#include "primitives/eeprom/iBaseEEPROM.h"
#include "primitives/eeprom/iEEPROMContentMap.h"
#include "primitives/eeprom/tCalibrationDescription.h"
#include "primitives/eeprom/tEEPROM.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

struct tCalibrationObjects {
  tEEPROM* eeprom = nullptr;
  iEEPROMContentMap* map = nullptr;
  iBaseEEPROM* device = nullptr;
  tTavikCalibrationPWMPrimitive* pwm = nullptr;
};

class tUdSeriesCalDeviceFunctions {
 public:
  static constexpr uint32_t kEEPROMBase = 1024;
  static constexpr uint32_t kEEPROMSize = 1024;

  // Nothing without a calibration description; kRefused for a map format
  // other than 1 and 2.
  static void createCalibrationObjects(const tCalibrationDescription* description,
                                       nQoUdRLP100::nTavik::tTavik* map, iBus* bus,
                                       tCalibrationObjects& objects, uint32_t noHardware,
                                       nQoMDBG100::tStatus2& status);
  // Facade, map, device, PWM, in this order; the record is cleared.
  static void destroyCalibrationObjects(tCalibrationObjects& objects);
};

}  // namespace nQoUdP100
