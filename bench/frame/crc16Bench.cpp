// computeCrc16 over 4 KiB beside a plain byte sum over the same bytes.
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

void BM_Crc16(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(nQoUdR100::computeCrc16(kBytes.data(), kBytes.size()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes.size()));
}
BENCHMARK(BM_Crc16);

// Floor: one add per byte.
void BM_ByteSumFloor(benchmark::State& state) {
  for (auto _ : state) {
    uint32_t sum = 0;
    for (unsigned char byte : kBytes) sum += byte;
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes.size()));
}
BENCHMARK(BM_ByteSumFloor);

}  // namespace
