// The calibration part of the board description: the EEPROM's supervisor
// and size, the content-map format (1: calibration map, 2: the 10DIO map)
// and the number of AI calibration records the map lays out.
#pragma once

#include <cstdint>

namespace nQoUdP100 {

struct tEEPROMDescription {
  uint64_t size = 0;
  const char* supervisorClassName = nullptr;
};

struct tCalibrationDescription {
  const tEEPROMDescription* eeprom = nullptr;
  uint32_t mapFormat = 0;
  uint32_t reserved = 0;
  uint32_t aiRecordCount = 0;
};

}  // namespace nQoUdP100
