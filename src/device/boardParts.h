// The part descriptors that a capability record points at: plain constant
// records, one per part of a board, holding what the part's readers take
// from them (the board object, resource creation, the driver and the
// primitives). Words that nothing reads yet stay 0.
#pragma once

#include <cstdint>

#include "frame/tProductDescriptor.h"

namespace nQoUdP100 {

// The count of analog-input channels, reached from the AI part through the
// second word of the front end and of the converter.
struct tAIChannelDescription {
  uint32_t kind;
  uint32_t channelCount;
};

struct tAIConverterDescription {
  uint64_t word1;
  const tAIChannelDescription* channels;
};

struct tAIFrontEndDescription {
  uint64_t word1;
  const tAIConverterDescription* converter;
};

// The analog trigger of the AI part: its level sources.
struct tAITriggerDescription {
  uint32_t sourceCount;
  uint32_t reserved;
};

// Entries of the AI transfer list, non-zero where the board has the transfer.
struct tAITransferList {
  uint32_t dma;
  uint32_t interrupt;
  uint32_t immediate;
  uint32_t reserved;
  uint32_t immediateDMA;
};

struct tAIDescription {
  const uint32_t* startupFlag;
  const tAIFrontEndDescription* frontEnd;
  const tAITriggerDescription* trigger;  // null: no analog trigger
  const tAITransferList* transfers;
  const char* const* terminalNames;  // null-terminated
};

// The AO part: 32-bit words 1 to 14 as the AO primitives number them.
struct tAODescription {
  uint32_t descriptionWord1;
  uint32_t fifoDepth;
  uint32_t refillChunk;
  uint32_t channelCount;
  uint32_t maxChannels;
  uint32_t pwmDACs;
  uint32_t configBit7;
  uint32_t word8;
  uint32_t word9;
  uint32_t word10;
  uint32_t word11;
  const uint32_t* outputControl;  // words 12 and 13
  uint32_t hasSecondRegister;     // word 14
  uint32_t groundReference;
  const char* const* terminalNames;  // null-terminated
};

struct tDIOPort {
  uint32_t kind;
  uint32_t secondWord;
};

// The static digital part: the power-up kind, the TESK link (timing entry)
// and the first two ports.
struct tDIODescription {
  uint32_t kind;
  uint32_t timing;
  tDIOPort ports[2];
};

struct tEEPROMDescription {
  uint64_t size;
  const char* supervisorClassName;
};

struct tCalibrationDescription {
  const tEEPROMDescription* eeprom;
  uint32_t mapFormat;
  uint32_t reserved;
};

// The routing part: the class name of the board's routable registrar, the
// trigger-bus word and a constant 1.
struct tRoutingDescription {
  const char* registrarClassName;
  uint32_t triggerBus;
  uint32_t one;
};

// CDI FIFO depth, a second count and the sample width in bytes.
struct tCDIODescription {
  uint32_t fifoDepth;
  uint32_t secondCount;
  uint32_t sampleWidth;
};

struct tLineFilterDescription {
  uint32_t pfiLines;
  uint32_t rivoLines;
};

struct tLineFilterList {
  uint32_t count;
  const tLineFilterDescription* filters;
};

}  // namespace nQoUdP100
