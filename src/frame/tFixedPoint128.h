// A fixed-point number of 128 bits: 64 integer bits (signed) above 64
// fraction bits, one two's-complement number.
//
//   tFixedPoint128<64u, true> x(3);   // 3.0
//   x.fraction = 1ull << 63;          // 3.5
#pragma once

#include <cstdint>

namespace nQoSS100 {

template <unsigned kFractionBits, bool kSigned>
class tFixedPoint128;

template <>
class tFixedPoint128<64u, true> {
 public:
  explicit tFixedPoint128(int value) : fraction(0), integer(value) {}

  // The product rounded half up on its magnitude; bits above the integer
  // word are dropped, overflow is not reported.
  tFixedPoint128& operator*=(const tFixedPoint128& other);

  bool operator==(const tFixedPoint128& other) const = default;

  uint64_t fraction;
  int64_t integer;
};

}  // namespace nQoSS100
