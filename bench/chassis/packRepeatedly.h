// The body of a pack benchmark: one packer packed again and again into one
// reused message buffer, with the platform allocations it made as a counter.
// A packer that copies a big array names its copy (near, heldInput): the
// buffer then lies at one placement from the storage that pack reads, as in
// its floor.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>

#include "fsl/tQuorlPacker.h"
#include "fsl/tRequestTransfer.h"
#include "sim/simAllocator.h"
#include "sim/simMessageSource.h"

namespace nQoBench {

inline void packRepeatedly(benchmark::State& state, nQoFSL100::tQuorlPacker& packer,
                           std::size_t capacity, const void* near = nullptr) {
  nQoSim::tScriptedMessageSource source;
  source.reuseOneBuffer(capacity, near);
  nQoFSL100::tRequestTransfer transfer(&source);
  const nQoFSL100::tRequestMessage& message = source.message(0);
  nQoMDBG100::tStatus2 status;
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    packer.pack(transfer, 1, status);
    benchmark::DoNotOptimize(message.bufferBegin);
  }
  state.counters["allocations"] = static_cast<double>(nQoSim::totalAllocations() - before);
  if (status.code != 0) state.SkipWithError("pack failed");
}

}  // namespace nQoBench
