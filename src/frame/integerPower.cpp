#include "frame/integerPower.h"

namespace nQoUdR100 {

uint64_t integerPower(uint64_t base, int64_t exponent) {
  if (exponent < 0) return exponent == -1 ? 1 : 0;
  uint64_t result = 1;
  for (uint64_t bits = static_cast<uint64_t>(exponent); bits != 0; bits >>= 1) {
    if (bits & 1) result *= base;
    base *= base;
  }
  return result;
}

}  // namespace nQoUdR100
