// The configuration record of the output DMA transfer settings. Fields are
// named by their word numbers.
#pragma once

#include <cstdint>
#include <tuple>

#include "primitives/common/tConfigRecord.h"

namespace nQoUdP100 {

struct tOutputDMATransferPrimitiveConfig : tConfigRecord<tOutputDMATransferPrimitiveConfig> {
  using T = tOutputDMATransferPrimitiveConfig;

  int32_t word1 = 0;
  uint32_t word2 = 0;
  int32_t word3 = 1;
  uint32_t word4 = 0;

  static constexpr std::tuple kFields{&T::word1, &T::word2, &T::word3, &T::word4};
};

}  // namespace nQoUdP100
