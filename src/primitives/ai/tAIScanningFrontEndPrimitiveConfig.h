// The configuration record of the AI scanning front end: the channel list and
// the settling time.
#pragma once

#include <cstdint>
#include <tuple>

#include "primitives/ai/tAIScanningFrontEndConfig.h"
#include "primitives/common/tConfigRecord.h"
#include "primitives/common/tRecordVector.h"

namespace nQoUdP100 {

struct tAIScanningFrontEndPrimitiveConfig : tConfigRecord<tAIScanningFrontEndPrimitiveConfig> {
  using T = tAIScanningFrontEndPrimitiveConfig;

  tRecordVector<tAIScanningFrontEndConfig> channels;
  int32_t word2 = 0;
  uint32_t settlingTime = 0;
  uint32_t word4 = 0;
  uint32_t word5 = 0;

  static constexpr std::tuple kFields{&T::channels, &T::word2, &T::settlingTime, &T::word4,
                                      &T::word5};
};

}  // namespace nQoUdP100
