// computeCrc16 over 4 KiB beside a hand-written table checksum of the same
// polynomial that gives the same answer, and beside a plain byte sum.
#include <benchmark/benchmark.h>

#include <array>

#include "frame/crc16.h"
#include "opaque.h"

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

// Entry i: the byte i at the top of the register, taken through its step and
// the zero byte's step.
std::array<uint16_t, 256> makeThenZero() {
  std::array<uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i)
    table[i] = static_cast<uint16_t>(kTable[i] << 8 ^ kTable[kTable[i] >> 8]);
  return table;
}

const std::array<uint16_t, 256> kThenZero = makeThenZero();

// One data byte and its zero byte a step: the high register byte meets the
// data byte, the low one goes through the zero byte's step alone. The last
// byte's two steps run in the full register to make the high half.
uint32_t handCrc(const unsigned char* data, size_t n) {
  uint16_t c = 0xFFFF;
  for (size_t i = 0; i + 1 < n; ++i)
    c = static_cast<uint16_t>(kThenZero[(c >> 8) ^ data[i]] ^ kTable[c & 0xFF]);
  uint32_t r = c;
  r = r << 8 ^ kTable[((r >> 8) & 0xFF) ^ data[n - 1]];
  return r << 8 ^ kTable[(r >> 8) & 0xFF];
}

void BM_Crc16(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(nQoUdR100::computeCrc16(kBytes.data(), kBytes.size()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes.size()));
}
BENCHMARK(BM_Crc16);

// Floor: the table checksum above, one step per data byte.
void BM_Crc16_Floor(benchmark::State& state) {
  if (handCrc(kBytes.data(), kBytes.size()) !=
      nQoUdR100::computeCrc16(kBytes.data(), kBytes.size()))
    state.SkipWithError("the floor's checksum differs");
  for (auto _ : state)
    benchmark::DoNotOptimize(handCrc(nQoBench::opaque(kBytes.data()), kBytes.size()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes.size()));
}
BENCHMARK(BM_Crc16_Floor);

// Physical floor: one add per byte.
void BM_Crc16_PhysicalFloor(benchmark::State& state) {
  for (auto _ : state) {
    const unsigned char* data = nQoBench::opaque(kBytes.data());
    uint32_t sum = 0;
    for (size_t i = 0; i < kBytes.size(); ++i) sum += data[i];
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes.size()));
}
BENCHMARK(BM_Crc16_PhysicalFloor);

}  // namespace
