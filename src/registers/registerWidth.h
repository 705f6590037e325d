// Register widths: the soft-copy type and the all-ones value of 8, 16 and 32 bits.
#pragma once

#include <cstdint>

namespace nQoUdRLP100 {

template <unsigned kWidth>
struct tWidth;
template <>
struct tWidth<8> {
  using tValue = uint8_t;
};
template <>
struct tWidth<16> {
  using tValue = uint16_t;
};
template <>
struct tWidth<32> {
  using tValue = uint32_t;
};

template <unsigned kWidth>
using tRegisterValue = typename tWidth<kWidth>::tValue;

constexpr uint32_t allOnes(unsigned width) { return width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1; }

// The mask of bits high..low.
constexpr uint32_t fieldMask(unsigned high, unsigned low) { return allOnes(high - low + 1) << low; }

}  // namespace nQoUdRLP100
