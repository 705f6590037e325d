// The part descriptors that a capability record points at: plain constant
// records, one per part of a board, holding what the part's readers take
// from them (the board object, resource creation, the driver and the
// primitives). Words that nothing reads yet stay 0.
#pragma once

#include <cstdint>

#include "frame/tProductDescriptor.h"
#include "primitives/ai/tAIDescription.h"
#include "primitives/cdio/tCDIODescription.h"
#include "primitives/dio/tDIODescription.h"

namespace nQoUdP100 {

// The AO part: 32-bit words 1 to 14 as the AO primitives number them.
struct tAODescription {
  uint32_t descriptionWord1 = 0;
  uint32_t fifoDepth = 0;
  uint32_t refillChunk = 0;
  uint32_t channelCount = 0;
  uint32_t maxChannels = 0;
  uint32_t pwmDACs = 0;
  uint32_t configBit7 = 0;
  uint32_t word8 = 0;
  uint32_t word9 = 0;
  uint32_t word10 = 0;
  uint32_t word11 = 0;
  const uint32_t* outputControl = nullptr;  // words 12 and 13
  uint32_t hasSecondRegister = 0;           // word 14
  uint32_t groundReference = 0;
  const char* const* terminalNames = nullptr;  // null-terminated
};

struct tEEPROMDescription {
  uint64_t size = 0;
  const char* supervisorClassName = nullptr;
};

struct tCalibrationDescription {
  const tEEPROMDescription* eeprom = nullptr;
  uint32_t mapFormat = 0;
  uint32_t reserved = 0;
};

// The routing part: the class name of the board's routable registrar, the
// trigger-bus word and a constant 1.
struct tRoutingDescription {
  const char* registrarClassName = nullptr;
  uint32_t triggerBus = 0;
  uint32_t one = 0;
};

struct tLineFilterDescription {
  uint32_t pfiLines = 0;
  uint32_t rivoLines = 0;
};

struct tLineFilterList {
  uint32_t count = 0;
  const tLineFilterDescription* filters = nullptr;
};

}  // namespace nQoUdP100
