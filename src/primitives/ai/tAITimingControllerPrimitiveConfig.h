// The programming input of the AI timing controller: the timing part, and a
// routing part that is applied only when hasRouting is non-zero.
#pragma once

#include <cstdint>
#include <tuple>

#include "primitives/ai/tAIRoutingConfig.h"
#include "primitives/ai/tAITimingConfig.h"
#include "primitives/common/tConfigRecord.h"

namespace nQoUdP100 {

struct tAITimingControllerPrimitiveConfig : tConfigRecord<tAITimingControllerPrimitiveConfig> {
  using T = tAITimingControllerPrimitiveConfig;

  tAITimingConfig timing;
  uint32_t hasRouting = 0;
  tAIRoutingConfig routing;

  static constexpr std::tuple kFields{&T::timing, &T::hasRouting, &T::routing};
};

}  // namespace nQoUdP100
