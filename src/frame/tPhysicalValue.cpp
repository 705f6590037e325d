#include "frame/tPhysicalValue.h"

#include "frame/statusCodes.h"

namespace nQoUdRLP100 {

namespace {

bool fits32(int64_t value) { return value >= INT32_MIN && value <= INT32_MAX; }

}  // namespace

bool tPhysicalValue::equal(const tPhysicalValue& a, const tPhysicalValue& b, int& status) {
  if (a.kind != b.kind) return false;
  if (status < 0) return a.value == b.value;
  const bool aHigher = a.exponent > b.exponent;
  const tPhysicalValue& high = aHigher ? a : b;
  const tPhysicalValue& low = aHigher ? b : a;
  // Scale the higher one down; stop once it leaves the 32-bit range, before
  // a further step could overflow.
  int64_t scaled = high.value;
  int exponent = high.exponent;
  while (exponent > low.exponent && fits32(scaled)) {
    exponent -= 3;
    scaled *= 1000;
  }
  if (exponent == low.exponent && fits32(scaled)) return scaled == low.value;
  status = nQoUdR100::kRefused;
  return a.value == b.value;
}

}  // namespace nQoUdRLP100
