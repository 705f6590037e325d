// The sliced checksum against the byte-at-a-time rule (every data byte then
// a zero byte through one table) for every length up to 5,000 bytes at
// several alignments and byte patterns.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "frame/crc16.h"
#include "frame/tLinearCongruentialGenerator.h"

namespace {

uint32_t referenceStep(uint32_t r, unsigned char byte) {
  uint16_t entry = static_cast<uint16_t>((((r >> 8) & 0xFF) ^ byte) << 8);
  for (int bit = 0; bit < 8; ++bit)
    entry = static_cast<uint16_t>((entry & 0x8000) != 0 ? (entry << 1) ^ 0x8005 : entry << 1);
  return (r << 8) ^ entry;
}

std::vector<unsigned char> pattern(int kind, size_t size) {
  std::vector<unsigned char> bytes(size);
  nQoUdR100::tLinearCongruentialGenerator generator(0x5EED);
  for (unsigned char& byte : bytes)
    byte = kind == 0 ? 0x00 : kind == 1 ? 0xFF : static_cast<unsigned char>(generator.next() >> 24);
  return bytes;
}

TEST(Crc16Sliced, MatchesTheByteRuleForEveryLengthAlignmentAndPattern) {
  constexpr size_t kLongest = 5000;
  for (int kind = 0; kind < 3; ++kind) {
    const std::vector<unsigned char> bytes = pattern(kind, kLongest + 8);
    for (size_t alignment : {0, 1, 3, 7}) {
      const unsigned char* data = bytes.data() + alignment;
      uint32_t expected = 0xFFFFFFFF;
      for (size_t length = 0; length <= kLongest; ++length) {
        ASSERT_EQ(nQoUdR100::computeCrc16(data, length), expected)
            << "pattern " << kind << ", alignment " << alignment << ", length " << length;
        if (length < kLongest) expected = referenceStep(referenceStep(expected, data[length]), 0);
      }
    }
  }
}

}  // namespace
