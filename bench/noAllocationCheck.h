// Marks a benchmark run skipped when the platform allocated during it: the
// paths measured must not allocate.
//
//   nQoBench::tNoAllocationCheck check(state);
//   for (auto _ : state) ...
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

#include "sim/simAllocator.h"

namespace nQoBench {

class tNoAllocationCheck {
 public:
  explicit tNoAllocationCheck(benchmark::State& state)
      : _state(state), _allocations(nQoSim::totalAllocations()) {}
  ~tNoAllocationCheck() {
    if (nQoSim::totalAllocations() != _allocations) _state.SkipWithError("allocated");
  }

 private:
  benchmark::State& _state;
  uint64_t _allocations;
};

}  // namespace nQoBench
