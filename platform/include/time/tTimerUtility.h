// Conversion between time units.
//
//   uint64_t ms = tTimerUtility::convert(2500, kTimerTimeUnitMicrosecond,
//                                        kTimerTimeUnitMillisecond, &status);  // 2
#pragma once

#include <cstdint>

#include "time/tTimerTimeUnit.h"

class tTimerUtility {
 public:
  // Code set for a unit outside 1..4.
  static constexpr int kBadUnitCode = -50003;

  // Truncates towards zero; a value too large for the finer unit becomes all
  // ones. An unknown unit answers 0 with kBadUnitCode.
  static uint64_t convert(uint64_t value, tTimerTimeUnit from, tTimerTimeUnit to, int* status);
};
