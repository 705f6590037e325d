// The configuration record of the TEDS settings: no fields, so two records
// always compare equal and stream nothing.
#pragma once

#include <tuple>

#include "primitives/common/tConfigRecord.h"

namespace nQoUdP100 {

struct tTEDSPrimitiveConfig : tConfigRecord<tTEDSPrimitiveConfig> {
  static constexpr std::tuple<> kFields{};
};

}  // namespace nQoUdP100
