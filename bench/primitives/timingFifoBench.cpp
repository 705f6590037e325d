// The AI timing controller's sample-end interrupt, both passes, through the
// dispatcher's resolvers, with 1 and 4 observers that all want the secondary
// pass, beside a floor that makes the same register accesses raw (the group
// status reads, the two acknowledges), the same atomic run of the secondary
// snapshot, and calls the observers directly. And the AI FIFO's readSamples
// of 1,024 samples beside a raw 32-bit read loop. Windows keep no log; a run
// that allocates from the platform is skipped.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bus/iBusAtomicOperation.h"
#include "kal/nQoKAL.h"
#include "mdbg/tStatus2.h"
#include "primitives/ai/tAIDeviceFIFOPrimitive.h"
#include "primitives/ai/tTavikAITimingControllerPrimitive.h"
#include "sim/simAllocator.h"
#include "sim/tSimBus.h"
#include "sim/tSimRegisterWindows.h"
#include "tavik/tTavik.h"
#include "tavik/tTavikHelper.h"
#include "tavik/tTavikInterruptDispatcher.h"

namespace {

using nQoUdP100::tBaseAITimingControllerPrimitive;
using W = nQoSim::tSimRegisterWindows;

constexpr int kPasses = 10000;
constexpr uint32_t kSamples = 1024;

class tSampleEndObserver : public tBaseAITimingControllerPrimitive::iSampleEndObserver {
 public:
  uint32_t sampleEnded(tBaseAITimingControllerPrimitive*, nQoMDBG100::tStatus2&) override {
    ++primary;
    return 1;
  }
  void sampleEndedSecondary(tBaseAITimingControllerPrimitive*, nQoMDBG100::tStatus2&) override {
    ++secondary;
  }
  uint64_t primary = 0;
  uint64_t secondary = 0;
};

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

// A board whose armed timing controller has sample-end observers and whose
// status word shows a pending sample end.
struct tTimingBoard {
  explicit tTimingBoard(int observerCount) : observers(observerCount) {
    for (auto& observer : observers) timing.addSampleEndObserver(&observer, status);
    nQoUdP100::tAITimingControllerPrimitiveConfig config;
    config.timing.timingMode = 3;
    timing.setConfiguration(config, status);
    timing.commit(status);
    timing.arm(status);
    windows.setRead(window, 0x104, 16, 0x8010);
    windows.setLogging(false);
    bus.setLogging(false);
  }
  ~tTimingBoard() {
    nQoMDBG100::tStatus2 fresh;
    timing.disarm(fresh);
    timing.uncommit(fresh);
  }
  uintptr_t at(uint32_t offset) const {
    return static_cast<uintptr_t>(windows.base(window) + offset);
  }

  W windows;
  const unsigned window = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  nQoSim::tSimBus bus{windows};
  nQoMDBG100::tStatus2 status;
  nQoUdRLP100::nTavik::tTavik map{&bus, window, &status};
  nQoUdRLP100::tTavikHelper helper{&map};
  nQoUdRLP100::tTavikInterruptDispatcher dispatcher{&map, 1, &status};
  nQoUdP100::tAIFirstEntry entry;
  nQoUdP100::tTavikAITimingControllerPrimitive timing{&entry, &map, &helper, &dispatcher, status};
  std::vector<tSampleEndObserver> observers;
};

void BM_SampleEndThroughTheDispatcher(benchmark::State& state) {
  tTimingBoard board(static_cast<int>(state.range(0)));
  tNoAllocationCheck check(state);
  uint32_t answers = 0;
  for (auto _ : state)
    for (int i = 0; i < kPasses; ++i) {
      answers += board.dispatcher.resolvePrimaryInterrupt();
      answers += board.dispatcher.resolveSecondaryInterrupt();
    }
  benchmark::DoNotOptimize(answers);
  if (board.observers[0].secondary == 0) state.SkipWithError("no secondary pass");
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_SampleEndThroughTheDispatcher)
    ->ArgName("observers")
    ->Arg(1)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond);

class tEmptyOperation : public iBusAtomicOperation {
 public:
  int32_t operateAtomically() override { return 0; }
};

// Floor: the reads the resolver makes (group A and B status, the third
// group's status, the two change-detection words), the acknowledges of a
// sample end, the observers called directly, and one atomic run for the
// secondary snapshot.
void BM_SampleEndDirectFloor(benchmark::State& state) {
  tTimingBoard board(static_cast<int>(state.range(0)));
  tEmptyOperation empty;
  int code = 0;
  uint32_t answers = 0;
  for (auto _ : state)
    for (int i = 0; i < kPasses; ++i) {
      nQoMDBG100::tStatus2 local;
      answers += nQoKAL100_memoryRead16(board.at(0x104));
      for (auto& observer : board.observers) answers += observer.sampleEnded(&board.timing, local);
      nQoKAL100_memoryWrite16(board.at(0x104), 0x1000);
      nQoKAL100_memoryWrite16(board.at(0x104), 0x0800);
      answers += nQoKAL100_memoryRead16(board.at(0x106));
      answers += nQoKAL100_memoryRead8(board.at(0x088));
      answers += nQoKAL100_memoryRead32(board.at(0x240));
      answers += nQoKAL100_memoryRead32(board.at(0x244));
      board.bus.runAtomically(&empty, &code);
      for (auto& observer : board.observers) observer.sampleEndedSecondary(&board.timing, local);
    }
  benchmark::DoNotOptimize(answers);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_SampleEndDirectFloor)
    ->ArgName("observers")
    ->Arg(1)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond);

struct tFIFOBoard {
  tFIFOBoard() {
    windows.setRead(window, 0x1C, 32, 0x12345678);
    windows.setLogging(false);
  }
  W windows;
  const unsigned window = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  nQoSim::tSimBus bus{windows};
  nQoMDBG100::tStatus2 status;
  nQoUdRLP100::nTavik::tTavik map{&bus, window, &status};
  nQoUdRLP100::tTavikInterruptDispatcher dispatcher{&map, 1, &status};
  nQoUdP100::tAIFIFODescription description{4096, nQoUdP100::tAIFIFODescription::k32BitSamples, 0};
  nQoUdP100::tAIDeviceFIFOPrimitive fifo{&description, &map, &dispatcher, status};
  uint32_t samples[kSamples] = {};
};

void BM_FIFOReadSamples(benchmark::State& state) {
  tFIFOBoard board;
  tNoAllocationCheck check(state);
  for (auto _ : state) {
    benchmark::DoNotOptimize(board.fifo.readSamples(board.samples, kSamples, board.status));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_FIFOReadSamples);

// Floor: 1,024 raw 32-bit reads of the data register into the buffer.
void BM_FIFORawReadLoopFloor(benchmark::State& state) {
  tFIFOBoard board;
  const uintptr_t data = static_cast<uintptr_t>(board.windows.base(board.window) + 0x1C);
  for (auto _ : state) {
    for (uint32_t i = 0; i < kSamples; ++i) board.samples[i] = nQoKAL100_memoryRead32(data);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_FIFORawReadLoopFloor);

}  // namespace
