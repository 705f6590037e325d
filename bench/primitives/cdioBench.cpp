// The correlated digital input's data paths beside their floors:
//  - one CDI FIFO interrupt through the bus resolver, the FIFO observable and
//    the interrupt transfer's loop, 16 chunks of 64 samples read by the
//    destination through the FIFO primitive; the floor makes the same
//    register reads by hand (the resolver's, the loop's status reads and the
//    data words) and copies each chunk with memcpy;
//  - the immediate read of one sample beside its four raw accesses.
// Windows keep no log; a run that allocates from the platform, or takes a
// platform lock during the interrupt, is skipped.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "frame/tDeviceInfo.h"
#include "kal/nQoKAL.h"
#include "mdbg/tStatus2.h"
#include "noAllocationCheck.h"
#include "orb/tGUID.h"
#include "primitives/cdio/tBaseCDIImmediateTransferPrimitive.h"
#include "primitives/cdio/tBaseCDIInterruptTransferPrimitive.h"
#include "primitives/cdio/tTavikCDIODispatcher.h"
#include "primitives/cdio/tTavikCDI_FIFOPrimitive.h"
#include "sim/simSync.h"
#include "sim/tSimCDIOFIFOs.h"
#include "tavik/tTavikInterruptDispatcher.h"
#include "tavikWindow.h"

namespace {

using nQoBench::tNoAllocationCheck;
using nQoMDBG100::tStatus2;
using nQoUdP100::tBaseCDIInterruptTransferPrimitive;

constexpr uint32_t kChunk = 64;
constexpr uint32_t kChunks = 16;
constexpr uint32_t kWidth = 4;
constexpr uint32_t kCondition = 0x40000;

// Moves what it is asked for out of the FIFO into its buffer.
class tDestination : public tBaseCDIInterruptTransferPrimitive::iDestination {
 public:
  uint32_t transferData(uint32_t bytes, tStatus2& status) override {
    return fifo->readSamples(buffer, bytes, status);
  }
  void transferEnded(tStatus2&) override { ++ended; }
  nQoUdP100::tBaseCDI_FIFOPrimitive* fifo = nullptr;
  uint8_t buffer[kChunk * kWidth] = {};
  int ended = 0;
};

struct tCDIBoard : nQoBench::tTavikWindow {
  tCDIBoard() {
    destination.fifo = &fifo;
    transfer.setDestination(&destination);
    transfer.setSampleMode(tBaseCDIInterruptTransferPrimitive::kContinuous);
    transfer.setChunkSize(kChunk);
    transfer.setLimit(1000000);
    transfer.registerObservers(status);
    fifo.setModeFlag(1, status, 0);
    fifo.commit(status);
    fifo.arm(status);
    transfer.commit(status);
    transfer.arm(status);
    transfer.start(status);
    windows.setRead(window, 0x88, 8, 0x01);
    windows.setLogging(false);
    bus.setLogging(false);
    bus.recordAccesses(false);
  }
  ~tCDIBoard() {
    tStatus2 fresh;
    transfer.stop(fresh);
    fifo.disarm(fresh);
    fifo.uncommit(fresh);
    transfer.disarm(fresh);
    transfer.uncommit(fresh);
    transfer.unregisterObservers(fresh);
  }
  // The status reads of one interrupt: the resolver's, then the condition
  // and buffer-error reads of each chunk, then the condition gone.
  void scriptInterrupt() {
    script.clear();
    script.push_back(kCondition);
    for (uint32_t chunk = 0; chunk < kChunks; ++chunk) {
      script.push_back(kCondition);
      script.push_back(0);
    }
    script.push_back(0);
    fifos.scriptStatus(script);
  }

  nQoUdRLP100::tTavikInterruptDispatcher board{&map, 1, &status};
  nQoUdP100::tTavikCDIODispatcher cdio{&board};
  nQoSim::tSimCDIOFIFOs fifos{windows, window};
  nQoUdP100::tCDIODescription description{.cdiFIFODepth = 1024, .sampleWidth = kWidth};
  nQoUdP100::tDeviceInfo deviceInfo;
  nQoUdP100::tTavikCDI_FIFOPrimitive fifo{&cdio, &description, &map, status};
  tBaseCDIInterruptTransferPrimitive transfer{&deviceInfo, &description, &fifo, status};
  tDestination destination;
  std::vector<uint32_t> script;
};

void BM_CDIFIFOInterrupt(benchmark::State& state) {
  const auto held = std::make_unique<tCDIBoard>();
  tCDIBoard& board = *held;
  tNoAllocationCheck check(state);
  nQoSim::clearSyncLog();
  for (auto _ : state) {
    board.scriptInterrupt();
    board.bus.raise(1);
  }
  if (!nQoSim::syncLog().empty()) state.SkipWithError("locked");
  if (board.status.code != 0 || board.destination.ended != 0) state.SkipWithError("failed");
  state.SetItemsProcessed(state.iterations() * kChunks * kChunk);
}
BENCHMARK(BM_CDIFIFOInterrupt);

// Floor: the resolver's reads, each chunk's status reads and data words, and
// a memcpy of each chunk.
void BM_CDIFIFOInterrupt_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tCDIBoard>();
  tCDIBoard& board = *held;
  uint32_t words[kChunk];
  uint32_t sum = 0;
  for (auto _ : state) {
    board.scriptInterrupt();
    sum += nQoKAL100_memoryRead16(board.address(0x104));
    sum += nQoKAL100_memoryRead16(board.address(0x106));
    sum += nQoKAL100_memoryRead8(board.address(0x88));
    sum += nQoKAL100_memoryRead32(board.address(0x224));
    sum += nQoKAL100_memoryRead8(board.address(0xA1));
    sum += nQoKAL100_memoryRead32(board.address(0x240));
    sum += nQoKAL100_memoryRead32(board.address(0x244));
    for (uint32_t chunk = 0; chunk < kChunks; ++chunk) {
      sum += nQoKAL100_memoryRead32(board.address(0x224));
      for (uint32_t& word : words) word = nQoKAL100_memoryRead32(board.address(0x220));
      std::memcpy(board.destination.buffer, words, sizeof(words));
      sum += nQoKAL100_memoryRead32(board.address(0x224));
    }
    sum += nQoKAL100_memoryRead32(board.address(0x224));
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * kChunks * kChunk);
}
BENCHMARK(BM_CDIFIFOInterrupt_Floor);

void BM_CDIImmediateReadOneSample(benchmark::State& state) {
  const auto held = std::make_unique<tCDIBoard>();
  tCDIBoard& board = *held;
  nQoORB100::tGUID identity{1, 2};
  nQoUdP100::tBaseCDIImmediateTransferPrimitive reader(nullptr, &board.description, &board.fifo,
                                                       &identity, board.status);
  reader.commitTransfer(board.status);
  reader.commitChannel(board.status);
  reader.startTransfer(board.status);
  reader.startChannel(board.status);
  reader.setTimeout(0xFFFFFFFF);
  board.fifos.pushInput(std::vector<uint32_t>(1, 7));
  board.fifos.onInputRead([&](uint64_t) { board.fifos.pushInput({7}); });
  tNoAllocationCheck check(state);
  uint32_t sample = 0;
  uint32_t samples = 0;
  for (auto _ : state) samples += reader.read(&sample, 1, board.status);
  if (board.status.code != 0 || samples != state.iterations()) state.SkipWithError("failed");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CDIImmediateReadOneSample);

// Floor: the empty test, the data word, the overrun and buffer-error tests.
void BM_CDIImmediateReadOneSample_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tCDIBoard>();
  tCDIBoard& board = *held;
  board.fifos.pushInput(std::vector<uint32_t>(1, 7));
  board.fifos.onInputRead([&](uint64_t) { board.fifos.pushInput({7}); });
  uint32_t sample = 0;
  uint32_t sum = 0;
  for (auto _ : state) {
    sum += nQoKAL100_memoryRead32(board.address(0x224)) >> 16 & 1;
    sample = nQoKAL100_memoryRead32(board.address(0x220));
    sum += nQoKAL100_memoryRead32(board.address(0x224)) >> 19 & 1;
    sum += nQoKAL100_memoryRead32(board.address(0x224)) >> 20 & 1;
    benchmark::DoNotOptimize(sample);
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CDIImmediateReadOneSample_Floor);

}  // namespace
