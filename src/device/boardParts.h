// The part descriptors that a capability record points at: plain constant
// records, one per part of a board, holding what the part's readers take
// from them (the board object, resource creation, the driver and the
// primitives). Words that nothing reads yet stay 0.
#pragma once

#include <cstdint>

#include "frame/tProductDescriptor.h"
#include "primitives/ai/tAIDescription.h"
#include "primitives/ao/tAODescription.h"
#include "primitives/calibration/tLineFilterDescription.h"
#include "primitives/cdio/tCDIODescription.h"
#include "primitives/dio/tDIODescription.h"
#include "primitives/eeprom/tCalibrationDescription.h"

namespace nQoUdP100 {

// The routing part: the class name of the board's routable registrar, the
// trigger-bus word and a constant 1.
struct tRoutingDescription {
  const char* registrarClassName = nullptr;
  uint32_t triggerBus = 0;
  uint32_t one = 0;
};

}  // namespace nQoUdP100
