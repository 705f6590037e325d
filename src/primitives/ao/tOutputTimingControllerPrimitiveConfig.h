// The configuration record of the output timing-controller settings. Its
// supervisor is abstract, so no primitive takes it; it is compared and
// streamed like the others. Fields are named by their word numbers.
#pragma once

#include <cstdint>
#include <tuple>

#include "primitives/common/tConfigRecord.h"
#include "primitives/common/tRecordVector.h"

namespace nQoUdP100 {

struct tOutputTimingControllerPrimitiveConfig
    : tConfigRecord<tOutputTimingControllerPrimitiveConfig> {
  using T = tOutputTimingControllerPrimitiveConfig;

  uint32_t words1To4[4] = {0, 0, 0, 0};
  int32_t words5To10[6] = {0, 1, 1, 0, 1, 0};
  uint32_t word11 = 2;
  int32_t words12To14[3] = {0, 0, 0};
  uint32_t word15 = 1;
  int32_t word16 = 0;
  uint32_t word17 = 0;
  tRecordVector<uint32_t> list18;
  uint32_t words19To22[4] = {1, 0, 0, 0};
  uint64_t word23 = 0;
  uint32_t word24 = 0;
  int32_t word25 = 0;
  uint32_t words26To27[2] = {0, 0};

  static constexpr std::tuple kFields{&T::words1To4,   &T::words5To10, &T::word11, &T::words12To14,
                                      &T::word15,      &T::word16,     &T::word17, &T::list18,
                                      &T::words19To22, &T::word23,     &T::word24, &T::word25,
                                      &T::words26To27};
};

}  // namespace nQoUdP100
