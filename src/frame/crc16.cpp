#include "frame/crc16.h"

#include <array>

namespace nQoUdR100 {

namespace {

using tTable = std::array<uint16_t, 256>;

// Entry i: the checksum of the byte i shifted to the top of the register.
constexpr tTable makeTable() {
  tTable table{};
  for (unsigned i = 0; i < 256; ++i) {
    uint16_t r = static_cast<uint16_t>(i << 8);
    for (int bit = 0; bit < 8; ++bit)
      r = static_cast<uint16_t>((r & 0x8000) != 0 ? (r << 1) ^ 0x8005 : r << 1);
    table[i] = r;
  }
  return table;
}

constexpr tTable kTable = makeTable();
static_assert(kTable[1] == 0x8005);

// Data bytes taken per step of the sliced form (each with its zero byte).
constexpr size_t kSlice = 8;

// Slice j: the checksum of a byte followed by j zero bytes, so that the bytes
// of one step are looked up independently and their entries combined.
constexpr std::array<tTable, 2 * kSlice> makeSlices() {
  std::array<tTable, 2 * kSlice> slices{};
  slices[0] = kTable;
  for (size_t j = 1; j < slices.size(); ++j)
    for (unsigned i = 0; i < 256; ++i) {
      const uint16_t previous = slices[j - 1][i];
      slices[j][i] = static_cast<uint16_t>(previous << 8 ^ kTable[previous >> 8]);
    }
  return slices;
}

constexpr std::array<tTable, 2 * kSlice> kSlices = makeSlices();

uint32_t step(uint32_t r, unsigned char byte) {
  return (r << 8) ^ kTable[((r >> 8) & 0xFF) ^ byte];
}

// kSlice data bytes with their zero bytes: the register's high byte meets the
// first data byte, its low byte the first zero byte.
uint16_t sliceStep(uint16_t c, const unsigned char* data) {
  uint16_t next = kSlices[2 * kSlice - 1][(c >> 8) ^ data[0]] ^ kSlices[2 * kSlice - 2][c & 0xFF];
  for (size_t i = 1; i < kSlice; ++i) next ^= kSlices[2 * (kSlice - i) - 1][data[i]];
  return next;
}

}  // namespace

uint32_t computeCrc16(const unsigned char* data, size_t n) {
  if (n == 0) return 0xFFFFFFFF;
  // All but the last byte in the 16-bit register: what is shifted out before
  // the last byte never reaches the answer.
  uint16_t c = 0xFFFF;
  size_t i = 0;
  for (; i + kSlice < n; i += kSlice) c = sliceStep(c, data + i);
  uint32_t r = c;
  for (; i + 1 < n; ++i) r = step(step(r, data[i]), 0) & 0xFFFF;
  // The last byte in the full register: its two steps make the high half.
  return step(step(r, data[n - 1]), 0);
}

}  // namespace nQoUdR100
