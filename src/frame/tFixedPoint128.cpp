#include "frame/tFixedPoint128.h"

namespace nQoSS100 {

namespace {

using tWord128 = unsigned __int128;

tWord128 toWord(const tFixedPoint128<64u, true>& x) {
  return tWord128(static_cast<uint64_t>(x.integer)) << 64 | x.fraction;
}

bool isNegative(const tFixedPoint128<64u, true>& x) { return x.integer < 0; }

// Bits 64 to 191 of a × b, plus 1 when bit 63 is set.
tWord128 multiplyShifted(tWord128 a, tWord128 b) {
  const tWord128 aLow = static_cast<uint64_t>(a), aHigh = a >> 64;
  const tWord128 bLow = static_cast<uint64_t>(b), bHigh = b >> 64;
  const tWord128 lowest = aLow * bLow;
  const tWord128 shifted = (lowest >> 64) + aLow * bHigh + aHigh * bLow + ((aHigh * bHigh) << 64);
  return shifted + ((lowest >> 63) & 1);
}

}  // namespace

tFixedPoint128<64u, true>& tFixedPoint128<64u, true>::operator*=(const tFixedPoint128& other) {
  const bool negative = isNegative(*this) != isNegative(other);
  const tWord128 a = isNegative(*this) ? -toWord(*this) : toWord(*this);
  const tWord128 b = isNegative(other) ? -toWord(other) : toWord(other);
  tWord128 product = multiplyShifted(a, b);
  if (negative) product = -product;
  fraction = static_cast<uint64_t>(product);
  integer = static_cast<int64_t>(static_cast<uint64_t>(product >> 64));
  return *this;
}

}  // namespace nQoSS100
