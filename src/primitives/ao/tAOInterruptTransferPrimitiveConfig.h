// The configuration record of the analog-output interrupt transfer settings.
// Fields are named by their word numbers.
#pragma once

#include <cstdint>
#include <tuple>

#include "primitives/common/tConfigRecord.h"

namespace nQoUdP100 {

struct tAOInterruptTransferPrimitiveConfig : tConfigRecord<tAOInterruptTransferPrimitiveConfig> {
  using T = tAOInterruptTransferPrimitiveConfig;

  uint64_t longWord = 0;
  uint32_t words1To3[3] = {0, 0, 0};
  int32_t word4 = 0;
  uint32_t words5To7[3] = {0, 0, 0};

  static constexpr std::tuple kFields{&T::longWord, &T::words1To3, &T::word4, &T::words5To7};
};

}  // namespace nQoUdP100
