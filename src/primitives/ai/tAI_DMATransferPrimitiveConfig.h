// The configuration record of the AI DMA transfer.
#pragma once

#include <cstdint>
#include <tuple>

#include "primitives/common/tConfigRecord.h"

namespace nQoUdP100 {

struct tAI_DMATransferPrimitiveConfig : tConfigRecord<tAI_DMATransferPrimitiveConfig> {
  using T = tAI_DMATransferPrimitiveConfig;

  uint32_t word1 = 0;

  static constexpr std::tuple kFields{&T::word1};
};

}  // namespace nQoUdP100
