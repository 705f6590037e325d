// Reserve and release through the reference-counting wrapper of an exclusive
// pool beside an atomic exchange plus an increment and a decrement, and
// through the line-filter pool beside a plain loop over its 24 lines. Neither
// measured path may allocate.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>

#include "device/poolInstantiations.h"
#include "sim/simAllocator.h"

namespace {

// Reserves and releases the wrapped pool with the identifier once per
// iteration; fails the run when that allocated or did not pair.
template <class Pool, class P>
void reserveAndRelease(benchmark::State& state, const nQoMRL100::iResourceIdentifier* identifier) {
  tSyncAtomicU32 inUse;
  nQoUdR100::tRefCountingResourcePoolWrapper<Pool, P> pool(&inUse, nullptr);
  nQoMDBG100::tStatus2 status;
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    benchmark::DoNotOptimize(pool.reserve(identifier, status));
    pool.release(identifier, status);
  }
  if (nQoSim::totalAllocations() != before) state.SkipWithError("the measured path allocated");
  if (status.code != 0 || inUse.get() != 0) state.SkipWithError("the pool did not pair");
}

void BM_WrapperReserveRelease(benchmark::State& state) {
  reserveAndRelease<nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseAI_ADCPrimitive*>,
                    nQoUdP100::tBaseAI_ADCPrimitive*>(state, nullptr);
}
BENCHMARK(BM_WrapperReserveRelease);

// Floor: take the state word, count, free it, uncount.
void BM_WrapperReserveRelease_Floor(benchmark::State& state) {
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
BENCHMARK(BM_WrapperReserveRelease_Floor);

void BM_LineFilterReserveRelease(benchmark::State& state) {
  nQoUdR100::tTavikLineFilterIdentifier request;
  for (uint32_t line = 0; line < 16; line += 3) request.setSetting(0, line, 2);
  request.setSetting(1, 4, 1);
  reserveAndRelease<nQoUdR100::tTavikLineFilterResourcePool<nQoUdP100::tTavikLineFilterPrimitive*>,
                    nQoUdP100::tTavikLineFilterPrimitive*>(state, &request);
}
BENCHMARK(BM_LineFilterReserveRelease);

// Floor: compare, count and uncount the 24 lines in plain loops.
void BM_LineFilterReserveRelease_Floor(benchmark::State& state) {
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
BENCHMARK(BM_LineFilterReserveRelease_Floor);

}  // namespace
