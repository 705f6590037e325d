// The two-step UTF-8 <-> UTF-16 conversions into a buffer, for 63 code
// points (the scratch of 64 elements fits inline) and 64 (65 elements are
// allocated), beside a plain element-copy loop over the same text. The
// counter "allocations" is the platform allocations per conversion.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "frame/nString.h"
#include "sim/simAllocator.h"

namespace {

using namespace nQoUdR100::nQoKABBO_1_0::nString;

template <class tIn, class tOut>
void convertLoop(benchmark::State& state,
                 uint64_t (*converter)(const tIn*, uint64_t, tOut*, uint64_t, nQoAPALS100::tStatus&,
                                       uint32_t)) {
  const std::vector<tIn> text(static_cast<size_t>(state.range(0)), tIn('x'));
  std::vector<tOut> out(text.size() + 1);
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    nQoAPALS100::tStatus status;
    benchmark::DoNotOptimize(
        converter(text.data(), text.size(), out.data(), out.size(), status, kTerminated));
    benchmark::ClobberMemory();
  }
  state.counters["allocations"] = benchmark::Counter(
      static_cast<double>(nQoSim::totalAllocations() - before), benchmark::Counter::kAvgIterations);
}

void BM_ConvertUTF8ToUTF16(benchmark::State& state) { convertLoop(state, convertUTF8ToUTF16); }
BENCHMARK(BM_ConvertUTF8ToUTF16)->Arg(63)->Arg(64);

void BM_ConvertUTF16ToUTF8(benchmark::State& state) { convertLoop(state, convertUTF16ToUTF8); }
BENCHMARK(BM_ConvertUTF16ToUTF8)->Arg(63)->Arg(64);

// Floor: one element copied per element, then the NUL.
void BM_ElementCopyFloor(benchmark::State& state) {
  const std::vector<char> text(static_cast<size_t>(state.range(0)), 'x');
  std::vector<uint16_t> out(text.size() + 1);
  for (auto _ : state) {
    size_t i = 0;
    for (; i < text.size(); ++i) out[i] = static_cast<uint16_t>(text[i]);
    out[i] = 0;
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ElementCopyFloor)->Arg(63)->Arg(64);

}  // namespace
