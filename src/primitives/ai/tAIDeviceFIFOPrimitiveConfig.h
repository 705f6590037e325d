// The configuration record of the AI data FIFO.
#pragma once

#include <cstdint>
#include <tuple>

#include "primitives/common/tConfigRecord.h"

namespace nQoUdP100 {

struct tAIDeviceFIFOPrimitiveConfig : tConfigRecord<tAIDeviceFIFOPrimitiveConfig> {
  using T = tAIDeviceFIFOPrimitiveConfig;
  // count: the FIFO description's default count.
  static constexpr uint32_t kDefaultCount = 0xFFFFFFFF;

  int32_t fifoMode = 0;
  int32_t thresholdCode = 0;
  uint32_t word3 = 1;
  uint32_t word4 = 0;
  uint32_t word5 = 0;
  uint32_t count = kDefaultCount;

  static constexpr std::tuple kFields{&T::fifoMode, &T::thresholdCode, &T::word3,
                                      &T::word4,    &T::word5,         &T::count};
};

}  // namespace nQoUdP100
