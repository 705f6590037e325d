// A packed version word: major (8 bits), minor (4), update (4), phase (2),
// build (14), high to low, so words compare in version order.
#pragma once

#include <cstdint>

class tSSVersion {
 public:
  static constexpr unsigned kTextSize = 16;

  constexpr tSSVersion() = default;
  constexpr explicit tSSVersion(uint32_t word) : _word(word) {}

  constexpr uint32_t word() const { return _word; }
  constexpr void setWord(uint32_t word) { _word = word; }
  constexpr unsigned major() const { return _word >> 24; }
  constexpr unsigned minor() const { return (_word >> 20) & 0xF; }
  constexpr unsigned update() const { return (_word >> 16) & 0xF; }
  constexpr unsigned phase() const { return (_word >> 14) & 0x3; }
  constexpr unsigned build() const { return _word & 0x3FFF; }

  // "major.minor.update" + phase letter (d, a, b, f) + build, into a buffer of
  // kTextSize characters.
  void toString(char* buffer) const;

 private:
  uint32_t _word = 0;
};
