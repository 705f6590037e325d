// Time units of the timer services, numbered from fine to coarse: a unit of
// larger value is coarser.
#pragma once

#include <cstdint>

enum tTimerTimeUnit : uint32_t {
  kTimerTimeUnitNanosecond = 1,
  kTimerTimeUnitMicrosecond = 2,
  kTimerTimeUnitMillisecond = 3,
  kTimerTimeUnitSecond = 4,
};
