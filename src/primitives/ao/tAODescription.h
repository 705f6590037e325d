// The AO part of the board description: what the AO primitives read of it.
// The capability record points at one; its 32-bit words are numbered from 1
// as the AO primitives number them.
#pragma once

#include <cstdint>

namespace nQoUdP100 {

// The five words the timing controller hands tTavikHelper::aoConfigureOutputControl
// when it is built: the output select and four tAO_Personal bits.
struct tAOOutputControl {
  uint32_t outputSelect = 0;
  uint32_t personalBit6 = 0;
  uint32_t personalBit5 = 0;
  uint32_t personalBit12 = 0;
  uint32_t personalBit10 = 0;
};

struct tAODescription {
  uint32_t descriptionWord1 = 0;
  uint32_t fifoDepth = 0;     // word 2: samples; 0 without an output FIFO
  uint32_t refillChunk = 0;   // word 3: the refill while FIFO status bit 13 is set
  uint32_t channelCount = 0;  // word 4: AO channels, one DAC primitive each
  uint32_t maxChannels = 0;   // word 5: entries of the FIFO's channel order
  uint32_t pwmDACs = 0;       // word 6: non-zero: PWM DACs instead of DACs
  uint32_t configBit7 = 0;    // word 7: non-zero: each DAC's configBit7 is 1
  uint32_t word8 = 0;
  uint32_t word9 = 0;
  uint32_t word10 = 0;
  uint32_t word11 = 0;
  const tAOOutputControl* outputControl = nullptr;  // words 12 and 13; null: all 0
  uint32_t hasSecondRegister = 0;                   // word 14
  uint32_t groundReference = 0;
  const char* const* terminalNames = nullptr;  // null-terminated
};

}  // namespace nQoUdP100
