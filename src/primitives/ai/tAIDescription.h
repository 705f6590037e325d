// The AI part of the board description: what the AI primitives read of it.
// The capability record points at one.
#pragma once

#include <cstdint>

namespace nQoUdP100 {

// The count of analog-input channels, reached from the AI part through the
// second word of the front end and of the converter.
struct tAIChannelDescription {
  uint32_t kind = 0;
  uint32_t channelCount = 0;
};

struct tAIConverterDescription {
  uint64_t word1 = 0;
  const tAIChannelDescription* channels = nullptr;
};

struct tAIFrontEndDescription {
  uint64_t word1 = 0;
  const tAIConverterDescription* converter = nullptr;
};

// The analog trigger of the AI part: its level sources.
struct tAITriggerDescription {
  uint32_t sourceCount = 0;
  uint32_t reserved = 0;
};

// Entries of the AI transfer list, non-zero where the board has the transfer.
struct tAITransferList {
  uint32_t dma = 0;
  uint32_t interrupt = 0;
  uint32_t immediate = 0;
  uint32_t reserved = 0;
  uint32_t immediateDMA = 0;
};

struct tAIDescription {
  // Refers to the start-up flag word; null or 0: the converter gives no
  // start-up pulse.
  const uint32_t* startupFlag = nullptr;
  const tAIFrontEndDescription* frontEnd = nullptr;
  const tAITriggerDescription* trigger = nullptr;  // null: no analog trigger
  const tAITransferList* transfers = nullptr;
  const char* const* terminalNames = nullptr;  // null-terminated

  bool wantsStartUpPulse() const { return startupFlag != nullptr && *startupFlag != 0; }
};

}  // namespace nQoUdP100
