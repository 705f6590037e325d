// The configuration record of the AI subsystem: which transfer member moves
// the samples (0 immediate, 1 interrupt, 2 immediate DMA, 3 DMA; any other
// value none).
#pragma once

#include <cstdint>
#include <tuple>

#include "primitives/common/tConfigRecord.h"

namespace nQoUdP100 {

struct tAISubsystemPrimitiveConfig : tConfigRecord<tAISubsystemPrimitiveConfig> {
  using T = tAISubsystemPrimitiveConfig;

  int32_t transferMechanism = -1;

  static constexpr std::tuple kFields{&T::transferMechanism};
};

}  // namespace nQoUdP100
