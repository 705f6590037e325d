// The correlated digital supervisors' data paths beside their floors:
//  - a transfer object's read through tCDIReadable (64 samples of 4 bytes)
//    beside the same read called on the FIFO primitive directly.
// Windows keep no log; a run that allocates from the platform is skipped.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "mdbg/tStatus2.h"
#include "primitives/cdio/tTavikCDIODispatcher.h"
#include "primitives/cdio/tTavikCDI_FIFOPrimitive.h"
#include "sim/simAllocator.h"
#include "sim/tSimBus.h"
#include "sim/tSimCDIOFIFOs.h"
#include "sim/tSimRegisterWindows.h"
#include "supervisors/dio/digitalEndpoints.h"
#include "tavik/tTavik.h"
#include "tavik/tTavikInterruptDispatcher.h"

namespace {

using nQoMDBG100::tStatus2;

constexpr uint32_t kSamples = 64;
constexpr uint32_t kWidth = 4;

// A CDI FIFO whose input never runs dry.
struct tCDIInput {
  tCDIInput() {
    fifos.pushInput(std::vector<uint32_t>(kSamples, 7));
    fifos.onInputRead([&](uint64_t) { fifos.pushInput({7}); });
    windows.setLogging(false);
    bus.setLogging(false);
    bus.recordAccesses(false);
  }

  nQoSim::tSimRegisterWindows windows;
  const unsigned window = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  nQoSim::tSimBus bus{windows};
  tStatus2 status;
  nQoUdRLP100::nTavik::tTavik map{&bus, window, &status};
  nQoUdRLP100::tTavikInterruptDispatcher board{&map, 1, &status};
  nQoUdP100::tTavikCDIODispatcher cdio{&board};
  nQoSim::tSimCDIOFIFOs fifos{windows, window};
  nQoUdP100::tCDIODescription description{.cdiFIFODepth = 1024, .sampleWidth = kWidth};
  nQoUdP100::tTavikCDI_FIFOPrimitive fifo{&cdio, &description, &map, status};
  uint8_t buffer[kSamples * kWidth] = {};
};

void BM_CDIReadableRead(benchmark::State& state) {
  tCDIInput input;
  nQoUdR100::tCDIReadable readable;
  readable.setFIFO(&input.fifo, kWidth);
  nQoMXSL100::iReadable<unsigned char>& stream = readable;
  const uint64_t allocations = nQoSim::totalAllocations();
  uint64_t bytes = 0;
  for (auto _ : state) bytes += stream.read(input.buffer, sizeof input.buffer, input.status);
  if (nQoSim::totalAllocations() != allocations) state.SkipWithError("allocated");
  if (input.status.code != 0 || bytes != state.iterations() * sizeof input.buffer)
    state.SkipWithError("failed");
  state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_CDIReadableRead);

// Floor: the FIFO primitive's read, called directly.
void BM_CDIReadableRead_Floor(benchmark::State& state) {
  tCDIInput input;
  nQoUdP100::tBaseCDI_FIFOPrimitive& fifo = input.fifo;
  uint64_t bytes = 0;
  for (auto _ : state) bytes += fifo.readSamples(input.buffer, sizeof input.buffer, input.status);
  benchmark::DoNotOptimize(bytes);
  state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_CDIReadableRead_Floor);

}  // namespace
