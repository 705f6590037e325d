// What the AI timing engine does: mode, counts and timed-loop options.
// Streamed in declaration order with each field's own width.
#pragma once

#include <cstdint>
#include <tuple>

#include "primitives/common/tConfigRecord.h"

namespace nQoUdP100 {

struct tAITimingConfig : tConfigRecord<tAITimingConfig> {
  using T = tAITimingConfig;

  // Non-zero: commit registers the socket listener, which answers only this key.
  uint64_t listenerKey = 0;
  // 0 to 3: how deep the timing programming and the start command go.
  int32_t timingMode = 0;
  // Non-zero: stopping an unfinished finite run gives no warning.
  uint32_t quietStop = 0;
  uint32_t retriggerable = 0;
  int32_t personalFlag = 0;
  // 0 none, 1 a timed loop on sample start, 2 on sample end.
  int32_t timedLoopEvent = 0;
  uint32_t counterALoad1 = 0;
  uint32_t counterALoad2 = 0;
  uint32_t sampleEndActionArgument = 0;
  uint32_t counterAEnable = 1;
  uint32_t counterBLoad1 = 0;
  uint32_t counterBLoad2 = 0;
  uint32_t spare1 = 0;
  int32_t mode2Bit12Select = 0;
  uint32_t strobeLoadValue = 1;
  uint32_t spare2 = 0;
  uint32_t sampleStartActionArgument = 0;
  // 1 continuous, 2 finite.
  int32_t acquisitionType = 1;
  uint32_t secondCount = 0;
  uint32_t firstCount = 0;
  uint32_t mode3Bit9 = 0;
  uint32_t mode3Bit10 = 0;
  uint32_t spare3 = 0;
  uint16_t spare4 = 0;

  static constexpr std::tuple kFields{&T::listenerKey,
                                      &T::timingMode,
                                      &T::quietStop,
                                      &T::retriggerable,
                                      &T::personalFlag,
                                      &T::timedLoopEvent,
                                      &T::counterALoad1,
                                      &T::counterALoad2,
                                      &T::sampleEndActionArgument,
                                      &T::counterAEnable,
                                      &T::counterBLoad1,
                                      &T::counterBLoad2,
                                      &T::spare1,
                                      &T::mode2Bit12Select,
                                      &T::strobeLoadValue,
                                      &T::spare2,
                                      &T::sampleStartActionArgument,
                                      &T::acquisitionType,
                                      &T::secondCount,
                                      &T::firstCount,
                                      &T::mode3Bit9,
                                      &T::mode3Bit10,
                                      &T::spare3,
                                      &T::spare4};
};

}  // namespace nQoUdP100
