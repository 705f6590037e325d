// The configuration record of the AI converter: no fields, so two records
// always compare equal and stream nothing.
#pragma once

#include <tuple>

#include "primitives/common/tConfigRecord.h"

namespace nQoUdP100 {

struct tAI_ADCPrimitiveConfig : tConfigRecord<tAI_ADCPrimitiveConfig> {
  static constexpr std::tuple<> kFields{};
};

}  // namespace nQoUdP100
