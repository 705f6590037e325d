// The AI part of the board description: what the AI primitives read of it.
// The capability record points at one.
#pragma once

#include <cstdint>

#include "primitives/ai/tAIFrontEndDescription.h"

namespace nQoUdP100 {

// The first entry: the converter and the timing controller are built with it.
struct tAIFirstEntry {
  // Refers to the start-up flag word; null or 0: no start-up pulse.
  const uint32_t* startUpFlag = nullptr;
  // Samples between two runs of a timing controller's timed loop (word 4).
  uint32_t timedLoopThreshold = 0;
  // Sample sets of a finite acquisition that the immediate transfer leaves
  // unread: subtracted from the controller's total.
  uint32_t heldBackSets = 0;
  // Words 7 and 8: choose the AI output select (0 gives 2, 1 gives 3, else 0)
  // and the personal bit 10 (1 gives 1, else 0) that the subsystem programs.
  uint32_t outputSelectWord = 0;
  uint32_t personalWord = 0;

  bool wantsStartUpPulse() const { return startUpFlag != nullptr && *startUpFlag != 0; }
};

// The AI timing description: the output mode (word 1) and bit 0 of the
// register at 0xBC (bit 0 of word 2) that the subsystem programs.
struct tAITimingDescription {
  uint32_t outputMode = 0;
  uint32_t word2 = 0;
};

// The analog trigger of the AI part: its level sources and (word 5) the
// settling time in microseconds that a commit waits after setting the levels.
struct tAITriggerDescription {
  uint32_t sourceCount = 0;
  uint32_t reserved = 0;
  uint32_t words2To3[2] = {};
  uint32_t settlingTime = 0;
};

// Entries of the AI transfer list, non-zero where the board has the transfer.
struct tAITransferList {
  uint32_t dma = 0;
  uint32_t interrupt = 0;
  uint32_t immediate = 0;
  uint32_t reserved = 0;
  uint32_t immediateDMA = 0;
};

// The AI data FIFO: its depth, how wide its samples are, and the count a
// configuration gets when it asks for the default.
struct tAIFIFODescription {
  static constexpr uint32_t k32BitSamples = 4;

  uint32_t size = 0;             // word 1: samples
  uint32_t sampleWidthCode = 0;  // word 2: 4 for 32-bit samples, else 16-bit
  uint32_t defaultCount = 0;     // word 3
};

// How the AI samples leave the FIFO: the block of samples that the interrupt
// transfer moves at a time (word 3).
struct tAISampleDescription {
  uint32_t blockSize = 0;
};

struct tAIDescription {
  const tAIFirstEntry* firstEntry = nullptr;
  const tAIFrontEndDescription* frontEnd = nullptr;
  const tAITriggerDescription* trigger = nullptr;  // null: no analog trigger
  const tAITransferList* transfers = nullptr;
  const char* const* terminalNames = nullptr;  // null-terminated
  const tAIFIFODescription* fifo = nullptr;
  const tAISampleDescription* samples = nullptr;
  const tAITimingDescription* timing = nullptr;
};

}  // namespace nQoUdP100
