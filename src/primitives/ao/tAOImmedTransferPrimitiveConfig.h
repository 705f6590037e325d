// The configuration record of the analog-output immediate transfer settings.
// Fields are named by their word numbers.
#pragma once

#include <cstdint>
#include <tuple>

#include "primitives/common/tConfigRecord.h"

namespace nQoUdP100 {

struct tAOImmedTransferPrimitiveConfig : tConfigRecord<tAOImmedTransferPrimitiveConfig> {
  using T = tAOImmedTransferPrimitiveConfig;

  uint32_t word1 = 0;
  uint32_t word2 = 0;
  uint32_t word3 = 0;

  static constexpr std::tuple kFields{&T::word1, &T::word2, &T::word3};
};

}  // namespace nQoUdP100
