// Range codes for a front end whose commit the fuzzed code needs behind it:
// every range is gain 1, polarity 0.
#pragma once

#include <cstdint>

#include "primitives/ai/tAIFrontEndDescription.h"

namespace nQoFuzz {

struct tAnyRangeCodes : nQoUdP100::iAIRangeCodes {
  void findRange(const nQoUdRLP100::tInterval*, uint16_t* gain, uint16_t* polarity,
                 nQoMDBG100::tStatus2&) const override {
    *gain = 1;
    *polarity = 0;
  }
};

}  // namespace nQoFuzz
