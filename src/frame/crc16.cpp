#include "frame/crc16.h"

#include <array>

namespace nQoUdR100 {

namespace {

// Entry i: the checksum of the byte i shifted to the top of the register.
constexpr std::array<uint16_t, 256> makeTable() {
  std::array<uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    uint16_t r = static_cast<uint16_t>(i << 8);
    for (int bit = 0; bit < 8; ++bit)
      r = static_cast<uint16_t>((r & 0x8000) != 0 ? (r << 1) ^ 0x8005 : r << 1);
    table[i] = r;
  }
  return table;
}

constexpr std::array<uint16_t, 256> kTable = makeTable();
static_assert(kTable[1] == 0x8005);

uint32_t step(uint32_t r, unsigned char byte) {
  return (r << 8) ^ kTable[((r >> 8) & 0xFF) ^ byte];
}

}  // namespace

uint32_t computeCrc16(const unsigned char* data, size_t n) {
  uint32_t r = 0xFFFFFFFF;
  for (size_t i = 0; i < n; ++i) r = step(step(r, data[i]), 0);
  return r;
}

}  // namespace nQoUdR100
