// computeCrc16 over 4 KiB beside a byte-at-a-time table checksum of the same
// polynomial over the same bytes, and beside a plain byte sum.
#include <benchmark/benchmark.h>

#include <array>

#include "frame/crc16.h"

namespace {

std::array<unsigned char, 4096> makeBytes() {
  std::array<unsigned char, 4096> bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(i * 131 + 7);
  return bytes;
}

const std::array<unsigned char, 4096> kBytes = makeBytes();

std::array<uint16_t, 256> makeTable() {
  std::array<uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    uint16_t r = static_cast<uint16_t>(i << 8);
    for (int bit = 0; bit < 8; ++bit)
      r = static_cast<uint16_t>((r & 0x8000) != 0 ? (r << 1) ^ 0x8005 : r << 1);
    table[i] = r;
  }
  return table;
}

const std::array<uint16_t, 256> kTable = makeTable();

void BM_Crc16(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(nQoUdR100::computeCrc16(kBytes.data(), kBytes.size()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes.size()));
}
BENCHMARK(BM_Crc16);

// Floor: the textbook table checksum, one lookup per byte.
void BM_Crc16_Floor(benchmark::State& state) {
  for (auto _ : state) {
    uint16_t r = 0xFFFF;
    for (unsigned char byte : kBytes) r = static_cast<uint16_t>(r << 8 ^ kTable[(r >> 8) ^ byte]);
    benchmark::DoNotOptimize(r);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes.size()));
}
BENCHMARK(BM_Crc16_Floor);

// Physical floor: one add per byte.
void BM_Crc16_PhysicalFloor(benchmark::State& state) {
  for (auto _ : state) {
    uint32_t sum = 0;
    for (unsigned char byte : kBytes) sum += byte;
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes.size()));
}
BENCHMARK(BM_Crc16_PhysicalFloor);

}  // namespace
