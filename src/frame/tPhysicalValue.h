// A physical quantity: value × 10^exponent of the kind named by a code.
// Exponents go in steps of 3; equality aligns them exactly:
//
//   tPhysicalValue::equal({1, 3, kind}, {1000, 0, kind}, status);   // true
#pragma once

#include <cstdint>

namespace nQoUdRLP100 {

struct tPhysicalValue {
  int32_t value;
  int16_t exponent;
  uint16_t kind;

  // Nothing when the status holds an error; else value, exponent, kind.
  template <class tBlock>
  void readExternal(tBlock& block, int& status) {
    if (status < 0) return;
    value = block.readI32(status);
    exponent = static_cast<int16_t>(block.readU16(status));
    kind = block.readU16(status);
  }

  // Different kinds: false. With an error in the status the values are
  // compared raw. Exponents that cannot meet in steps of 3, or a value that
  // leaves the signed 32-bit range on the way, set kRefused and compare the
  // values unscaled.
  static bool equal(const tPhysicalValue& a, const tPhysicalValue& b, int& status);
};

}  // namespace nQoUdRLP100
