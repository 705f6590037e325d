// A fixed-point number of 128 bits: 64 integer bits (signed) above 64
// fraction bits, one two's-complement number.
//
//   tFixedPoint128<64u, true> x(3);   // 3.0
//   x.fraction = 1ull << 63;          // 3.5
#pragma once

#include <cstdint>

#include "pal/tPALSysInfo.h"

namespace nQoSS100 {

template <unsigned kFractionBits, bool kSigned>
class tFixedPoint128;

template <>
class tFixedPoint128<64u, true> {
 public:
  explicit tFixedPoint128(int value) : fraction(0), integer(value) {}
  // The platform's plain words of the same number (system time, stream
  // attributes).
  explicit tFixedPoint128(const tPALTime128& words)
      : fraction(words.fraction), integer(words.integer) {}
  tPALTime128 words() const { return {fraction, integer}; }

  // The 128-bit sum, the carry of the fraction word going into the integer
  // word; overflow wraps.
  tFixedPoint128& operator+=(const tFixedPoint128& other) {
    const uint64_t low = fraction + other.fraction;
    integer = static_cast<int64_t>(static_cast<uint64_t>(integer) +
                                   static_cast<uint64_t>(other.integer) + (low < fraction ? 1 : 0));
    fraction = low;
    return *this;
  }

  // The product rounded half up on its magnitude; bits above the integer
  // word are dropped, overflow is not reported.
  tFixedPoint128& operator*=(const tFixedPoint128& other);

  bool operator==(const tFixedPoint128& other) const = default;

  uint64_t fraction;
  int64_t integer;
};

}  // namespace nQoSS100
