// tStatus2::setCode and assign over fixed codes beside the merge rule on a
// plain int.
#include <benchmark/benchmark.h>

#include <array>

#include "mdbg/tStatus2.h"
#include "sim/simStatusLog.h"

namespace {

std::array<int, 1024> makeCodes() {
  std::array<int, 1024> codes{};
  const int kinds[] = {0, 0, 200010, 50202, -50150, -50352, 0, -7};
  for (std::size_t i = 0; i < codes.size(); ++i) codes[i] = kinds[(i * 7 + i / 8) % 8];
  return codes;
}

const std::array<int, 1024> kCodes = makeCodes();

void BM_StatusSetCode(benchmark::State& state) {
  nQoSim::setStatusLogging(false);
  nQoMDBG100::tStatus2 status;
  for (auto _ : state) {
    for (std::size_t i = 0; i < kCodes.size(); ++i) {
      if (i % 64 == 0) status.clear();
      status.setCode(kCodes[i], "qoudrk", "statusBench", 20);
    }
    benchmark::DoNotOptimize(status.code);
  }
  nQoSim::setStatusLogging(true);
}
BENCHMARK(BM_StatusSetCode);

void BM_StatusAssign(benchmark::State& state) {
  nQoSim::setStatusLogging(false);
  std::array<nQoMDBG100::tStatus2, 8> sources;
  for (std::size_t i = 0; i < sources.size(); ++i) sources[i].code = kCodes[i * 3];
  nQoMDBG100::tStatus2 status;
  for (auto _ : state) {
    for (std::size_t i = 0; i < kCodes.size(); ++i) {
      if (i % 64 == 0) status.clear();
      status.assign(sources[i % sources.size()]);
    }
    benchmark::DoNotOptimize(status.code);
  }
  nQoSim::setStatusLogging(true);
}
BENCHMARK(BM_StatusAssign);

// Floor: the merge rule on a plain int.
void BM_MergeRuleFloor(benchmark::State& state) {
  int stored = 0;
  for (auto _ : state) {
    for (std::size_t i = 0; i < kCodes.size(); ++i) {
      if (i % 64 == 0) stored = 0;
      if (nQoMDBG100::takesCode(stored, kCodes[i])) stored = kCodes[i];
    }
    benchmark::DoNotOptimize(stored);
  }
}
BENCHMARK(BM_MergeRuleFloor);

}  // namespace
