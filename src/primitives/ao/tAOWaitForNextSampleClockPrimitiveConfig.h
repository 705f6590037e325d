// The configuration record of the analog-output wait-for-next-sample-clock
// settings.
#pragma once

#include <cstdint>
#include <tuple>

#include "primitives/common/tConfigRecord.h"

namespace nQoUdP100 {

struct tAOWaitForNextSampleClockPrimitiveConfig
    : tConfigRecord<tAOWaitForNextSampleClockPrimitiveConfig> {
  using T = tAOWaitForNextSampleClockPrimitiveConfig;

  uint32_t word1 = 100;
  uint32_t word2 = 0;
  int32_t word3 = 1;

  static constexpr std::tuple kFields{&T::word1, &T::word2, &T::word3};
};

}  // namespace nQoUdP100
