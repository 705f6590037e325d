// A set of interconnect lines: 256 bits in four 64-bit words, bit i = line i.
//
//   tLineSet lines;
//   lines.add(3);
//   lines.add(200);
//   manager->reserve(owner, endpoint, intent, status, tLineSet::single(3));
#pragma once

#include <bit>
#include <cstdint>

namespace nQoDIM100 {

struct tLineSet {
  static constexpr unsigned kLines = 256;

  uint64_t words[4] = {};

  static tLineSet single(unsigned line) {
    tLineSet set;
    set.add(line);
    return set;
  }
  // Lines at or past kLines are ignored.
  void add(unsigned line) {
    if (line < kLines) words[line / 64] |= uint64_t{1} << (line % 64);
  }
  bool has(unsigned line) const {
    return line < kLines && (words[line / 64] >> (line % 64) & 1) != 0;
  }
  unsigned count() const {
    unsigned n = 0;
    for (uint64_t word : words) n += static_cast<unsigned>(std::popcount(word));
    return n;
  }
  bool operator==(const tLineSet&) const = default;
};

}  // namespace nQoDIM100
