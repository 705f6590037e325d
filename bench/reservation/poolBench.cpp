// Reserve and release through the reference-counting wrapper of an exclusive
// pool beside an atomic exchange plus an increment and a decrement, and
// through the line-filter pool beside a plain loop over its 24 lines. Neither
// measured path may allocate.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>

#include "reservation/poolInstantiations.h"
#include "sim/simAllocator.h"

namespace {

void failOnAllocation(benchmark::State& state, uint64_t before) {
  if (nQoSim::totalAllocations() != before) state.SkipWithError("the measured path allocated");
}

void BM_WrapperReserveRelease(benchmark::State& state) {
  tSyncAtomicU32 inUse;
  nQoUdR100::tRefCountingResourcePoolWrapper<
      nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseAI_ADCPrimitive*>,
      nQoUdP100::tBaseAI_ADCPrimitive*>
      pool(&inUse, nullptr);
  nQoMDBG100::tStatus2 status;
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    benchmark::DoNotOptimize(pool.reserve(nullptr, status));
    pool.release(nullptr, status);
  }
  failOnAllocation(state, before);
  if (status.code != 0 || inUse.get() != 0) state.SkipWithError("the pool did not pair");
}
BENCHMARK(BM_WrapperReserveRelease);

// Floor: take the state word, count, free it, uncount.
void BM_ExchangeCountFloor(benchmark::State& state) {
  std::atomic<uint32_t> taken{0};
  std::atomic<uint32_t> inUse{0};
  for (auto _ : state) {
    benchmark::DoNotOptimize(taken.exchange(1));
    ++inUse;
    taken.store(0);
    --inUse;
  }
  benchmark::DoNotOptimize(inUse.load());
}
BENCHMARK(BM_ExchangeCountFloor);

void BM_LineFilterReserveRelease(benchmark::State& state) {
  tSyncAtomicU32 inUse;
  nQoUdR100::tRefCountingResourcePoolWrapper<
      nQoUdR100::tTavikLineFilterResourcePool<nQoUdP100::tTavikLineFilterPrimitive*>,
      nQoUdP100::tTavikLineFilterPrimitive*>
      pool(&inUse, nullptr);
  nQoUdR100::tTavikLineFilterIdentifier request;
  for (uint32_t line = 0; line < 16; line += 3) request.setSetting(0, line, 2);
  request.setSetting(1, 4, 1);
  nQoMDBG100::tStatus2 status;
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    benchmark::DoNotOptimize(pool.reserve(&request, status));
    pool.release(&request, status);
  }
  failOnAllocation(state, before);
  if (status.code != 0 || inUse.get() != 0) state.SkipWithError("the pool did not pair");
}
BENCHMARK(BM_LineFilterReserveRelease);

// Floor: compare, count and uncount the 24 lines in plain loops.
void BM_LineWordsFloor(benchmark::State& state) {
  uint32_t asked[24];
  uint32_t counts[24] = {};
  uint32_t settings[24] = {};
  for (uint32_t i = 0; i < 24; ++i) asked[i] = i % 3 == 0 ? 2 : 4;
  for (auto _ : state) {
    benchmark::DoNotOptimize(asked);
    bool conflict = false;
    for (uint32_t i = 0; i < 24; ++i)
      conflict |= asked[i] != 4 && counts[i] != 0 && settings[i] != asked[i];
    benchmark::DoNotOptimize(conflict);
    for (uint32_t i = 0; i < 24; ++i)
      if (asked[i] != 4) {
        ++counts[i];
        settings[i] = asked[i];
      }
    for (uint32_t i = 0; i < 24; ++i)
      if (asked[i] != 4 && counts[i] != 0) --counts[i];
    benchmark::DoNotOptimize(counts);
  }
}
BENCHMARK(BM_LineWordsFloor);

}  // namespace
