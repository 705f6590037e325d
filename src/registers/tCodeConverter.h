// A setting-to-register-code converter: the codes of the setting values
// first..last in a constant table, and a default for every other value. The
// caller shifts the code into its field.
//
//   inline constexpr auto encodeMode = converter<1, 3>(codes(4, 6, 7), 0);
//   encodeMode(2) == 6; encodeMode(0) == 0; encodeMode(0xFFFFFFFF) == 0;
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoUdRLP100 {

template <std::size_t kCount>
struct tCodeConverter {
  uint32_t first;
  uint32_t last;
  std::array<uint32_t, kCount> table;
  uint32_t fallback;

  // A value below first wraps past last and gets the default. Converters
  // cannot fail; a status handed along is left alone.
  constexpr uint32_t operator()(uint32_t value, nQoMDBG100::tStatus2* = nullptr) const {
    const uint32_t at = value - first;
    return at <= last - first ? table[at] : fallback;
  }
};

// A converter row: its domain, one code per value of it, its default.
template <uint32_t kFirst, uint32_t kLast, std::size_t kCount>
constexpr tCodeConverter<kCount> converter(const std::array<uint32_t, kCount>& table,
                                           uint32_t fallback) {
  static_assert(kFirst <= kLast && kLast - kFirst == kCount - 1,
                "a converter needs one code per value of its domain");
  return {kFirst, kLast, table, fallback};
}

template <class... tCodes>
constexpr std::array<uint32_t, sizeof...(tCodes)> codes(tCodes... values) {
  return {static_cast<uint32_t>(values)...};
}

// The codes 0..31 of a five-bit select: each value its own code.
constexpr std::array<uint32_t, 32> identity() {
  std::array<uint32_t, 32> table{};
  for (uint32_t value = 0; value < 32; ++value) table[value] = value;
  return table;
}

// The same, except the listed values, which get the given code.
template <class... tValues>
constexpr std::array<uint32_t, 32> identityExcept(uint32_t code, tValues... values) {
  std::array<uint32_t, 32> table = identity();
  ((table[values] = code), ...);
  return table;
}

}  // namespace nQoUdRLP100
