// Reserve and release through the reference-counting wrapper of an exclusive
// pool beside an atomic exchange plus an increment and a decrement, and
// through the line-filter pool beside the same cast, line loops and use count
// by hand. Neither measured path may allocate.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>

#include "device/poolInstantiations.h"
#include "opaque.h"
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

// The request the line-filter benchmarks reserve: PFI lines 0, 3, ..., 15 at
// setting 2, RIVO line 4 at setting 1.
void fillRequest(nQoUdR100::tTavikLineFilterIdentifier& request) {
  for (uint32_t line = 0; line < 16; line += 3) request.setSetting(0, line, 2);
  request.setSetting(1, 4, 1);
}

void BM_LineFilterReserveRelease(benchmark::State& state) {
  nQoUdR100::tTavikLineFilterIdentifier request;
  fillRequest(request);
  reserveAndRelease<nQoUdR100::tTavikLineFilterResourcePool<nQoUdP100::tTavikLineFilterPrimitive*>,
                    nQoUdP100::tTavikLineFilterPrimitive*>(state, &request);
}
BENCHMARK(BM_LineFilterReserveRelease);

// Floor: per reserve the status check, the identifier's class cast, the device
// GUID kept, the 24 lines compared and counted in plain loops and the use
// count raised; per release the cast, the lines uncounted on a fresh status
// and the use count lowered.
void BM_LineFilterReserveRelease_Floor(benchmark::State& state) {
  using tIdentifier = nQoUdR100::tTavikLineFilterIdentifier;
  tIdentifier request;
  fillRequest(request);
  const nQoMRL100::iResourceIdentifier* identifier =
      nQoBench::opaque<const nQoMRL100::iResourceIdentifier*>(&request);
  tSyncAtomicU32 inUse;
  uint32_t counts[tIdentifier::kLines] = {};
  uint32_t settings[tIdentifier::kLines] = {};
  nQoORB100::tGUID device{};
  nQoMDBG100::tStatus2 status;
  for (auto _ : state) {
    if (status.isFatal()) continue;
    const auto* asked =
        static_cast<const tIdentifier*>(identifier->___CPPKRLDynamicCast(&tIdentifier::___classID));
    if (asked == nullptr) break;
    device = asked->getDeviceGUID();
    const uint32_t* wanted = asked->getSettings();
    bool conflict = false;
    for (uint32_t i = 0; i < tIdentifier::kLines; ++i)
      conflict |=
          wanted[i] != tIdentifier::kNoPreference && counts[i] != 0 && settings[i] != wanted[i];
    if (conflict) break;
    for (uint32_t i = 0; i < tIdentifier::kLines; ++i)
      if (wanted[i] != tIdentifier::kNoPreference) {
        ++counts[i];
        settings[i] = wanted[i];
      }
    ++inUse;
    nQoMDBG100::tStatus2 local;
    const auto* released =
        static_cast<const tIdentifier*>(identifier->___CPPKRLDynamicCast(&tIdentifier::___classID));
    if (released == nullptr) break;
    const uint32_t* given = released->getSettings();
    for (uint32_t i = 0; i < tIdentifier::kLines; ++i)
      if (given[i] != tIdentifier::kNoPreference && counts[i] != 0) --counts[i];
    uint32_t value = inUse.get();
    while (value != 0 && !inUse.compareExchange(value, value - 1)) {
    }
    if (local.code != 0) status.assign(local);
    benchmark::DoNotOptimize(counts);
  }
  benchmark::DoNotOptimize(device);
  if (inUse.get() != 0) state.SkipWithError("the floor did not pair");
}
BENCHMARK(BM_LineFilterReserveRelease_Floor);

}  // namespace
