// A whole-number power of a 64-bit value.
#pragma once

#include <cstdint>

namespace nQoUdR100 {

// base to the power of exponent modulo 2^64; exponent 0 gives 1 (0^0
// included), -1 gives 1 and every other negative exponent 0.
uint64_t integerPower(uint64_t base, int64_t exponent);

}  // namespace nQoUdR100
