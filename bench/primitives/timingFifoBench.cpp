// The AI timing controller's sample-end interrupt, both passes, through the
// dispatcher's resolvers, with 1 and 4 observers that all want the secondary
// pass, beside a floor that does the same work by hand: the register
// accesses one real primary pass made, replayed through the kernel layer
// behind a register's checks; each pass's handler reached through an indirect
// call, walking the observers' records (armed check, answers kept as tags)
// under a local status; the request kept and taken in one atomic run. The
// physical floor makes the accesses raw and calls the observers directly.
// And the AI FIFO's readSamples of 1,024 samples beside a raw 32-bit read
// loop. Windows keep no log; a run that allocates from the platform is
// skipped.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "bus/iBusAtomicOperation.h"
#include "handFloors.h"
#include "kal/nQoKAL.h"
#include "mdbg/tStatus2.h"
#include "noAllocationCheck.h"
#include "opaque.h"
#include "primitives/ai/tAIDeviceFIFOPrimitive.h"
#include "primitives/ai/tTavikAITimingControllerPrimitive.h"
#include "sim/tSimRegisterWindows.h"
#include "tavik/tTavikHelper.h"
#include "tavik/tTavikInterruptDispatcher.h"
#include "tavikWindow.h"

namespace {

using nQoBench::tNoAllocationCheck;
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

// A board whose armed timing controller has sample-end observers and whose
// status word shows a pending sample end.
struct tTimingBoard : nQoBench::tTavikWindow {
  explicit tTimingBoard(int observerCount) : observers(observerCount) {
    for (auto& observer : observers) timing.addSampleEndObserver(&observer, status);
    nQoUdP100::tAITimingControllerPrimitiveConfig config;
    config.timing.timingMode = 3;
    timing.setConfiguration(config, status);
    timing.commit(status);
    timing.arm(status);
    windows.setRead(window, 0x104, 16, 0x8010);
    // One primary pass with the log on gives the floor its accesses.
    windows.clearLog();
    dispatcher.resolvePrimaryInterrupt();
    accesses = windows.log();
    dispatcher.resolveSecondaryInterrupt();
    windows.setLogging(false);
    bus.setLogging(false);
  }
  ~tTimingBoard() {
    nQoMDBG100::tStatus2 fresh;
    timing.disarm(fresh);
    timing.uncommit(fresh);
  }

  nQoUdRLP100::tTavikHelper helper{&map};
  nQoUdRLP100::tTavikInterruptDispatcher dispatcher{&map, 1, &status};
  nQoUdP100::tAIFirstEntry entry;
  nQoUdP100::tTavikAITimingControllerPrimitive timing{&entry, &map, &helper, &dispatcher, status};
  std::vector<tSampleEndObserver> observers;
  std::vector<W::tAccess> accesses;
};

void BM_SampleEndThroughTheDispatcher(benchmark::State& state) {
  const auto held = std::make_unique<tTimingBoard>(static_cast<int>(state.range(0)));
  tTimingBoard& board = *held;
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

using nQoBench::tEmptyOperation;

// The records hold the observers as the controller does: by their interface.
using tHandRecord = nQoBench::tHandRecord<tBaseAITimingControllerPrimitive::iSampleEndObserver>;

// The floor's controller: its records, its armed flag, its request.
struct tHandController {
  std::vector<tHandRecord> records;
  tBaseAITimingControllerPrimitive* timing;
  uint32_t armed = 1;
  uint32_t request = 0;
};
using tHandPass = uint32_t (*)(tHandController&);

uint32_t handPrimary(tHandController& hand) {
  nQoMDBG100::tStatus2 local;
  bool pending = false;
  for (tHandRecord& record : hand.records) {
    if (hand.armed == 0) return 1;
    if (record.inUse == 0) continue;
    record.tag = record.observer->sampleEnded(hand.timing, local);
    pending = pending || record.tag != 0;
  }
  hand.request = pending ? 1 : 0;
  return pending ? 2 : 1;
}

uint32_t handSecondary(tHandController& hand) {
  nQoMDBG100::tStatus2 local;
  for (tHandRecord& record : hand.records) {
    if (hand.armed == 0) break;
    if (record.inUse != 0 && record.tag != 0)
      record.observer->sampleEndedSecondary(hand.timing, local);
  }
  return 0;
}

// Takes and clears the request, as the secondary pass's snapshot does.
class tTakeRequest : public iBusAtomicOperation {
 public:
  tTakeRequest(uint32_t& request, uint32_t& taken) : _request(request), _taken(taken) {}
  int32_t operateAtomically() override {
    _taken = _request;
    _request = 0;
    return 0;
  }

 private:
  uint32_t& _request;
  uint32_t& _taken;
};

void BM_SampleEndThroughTheDispatcher_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tTimingBoard>(static_cast<int>(state.range(0)));
  tTimingBoard& board = *held;
  tHandController hand{{}, &board.timing};
  for (auto& observer : board.observers) hand.records.push_back({&observer});
  const tHandPass primary = nQoBench::opaque<tHandPass>(&handPrimary);
  const tHandPass secondary = nQoBench::opaque<tHandPass>(&handSecondary);
  const void* map = nQoBench::opaque<const void*>(&board.map);
  iBus* bus = nQoBench::opaque<iBus*>(&board.bus);
  const uint64_t base = board.windows.base(board.window);
  uint32_t answers = 0;
  for (auto _ : state)
    for (int i = 0; i < kPasses; ++i) {
      for (const W::tAccess& access : board.accesses) {
        if (map == nullptr) continue;
        const uintptr_t address = static_cast<uintptr_t>(base + access.offset);
        if (access.direction == W::kRead)
          answers += access.width == 8    ? nQoKAL100_memoryRead8(address)
                     : access.width == 16 ? nQoKAL100_memoryRead16(address)
                                          : nQoKAL100_memoryRead32(address);
        else
          nQoKAL100_memoryWrite16(address, static_cast<uint16_t>(access.value));
      }
      answers += primary(hand);
      uint32_t taken = 0;
      tTakeRequest take(hand.request, taken);
      bus->runAtomically(&take, nullptr);
      if (taken != 0) answers += secondary(hand);
    }
  benchmark::DoNotOptimize(answers);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_SampleEndThroughTheDispatcher_Floor)
    ->ArgName("observers")
    ->Arg(1)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond);

// Physical floor: the reads the resolver makes (group A and B status, the
// third group's status, the two change-detection words), the acknowledges of
// a sample end, the observers called directly, and one atomic run for the
// secondary snapshot.
void BM_SampleEndThroughTheDispatcher_PhysicalFloor(benchmark::State& state) {
  const auto held = std::make_unique<tTimingBoard>(static_cast<int>(state.range(0)));
  tTimingBoard& board = *held;
  tEmptyOperation empty;
  int code = 0;
  uint32_t answers = 0;
  for (auto _ : state)
    for (int i = 0; i < kPasses; ++i) {
      nQoMDBG100::tStatus2 local;
      answers += nQoKAL100_memoryRead16(board.address(0x104));
      for (auto& observer : board.observers) answers += observer.sampleEnded(&board.timing, local);
      nQoKAL100_memoryWrite16(board.address(0x104), 0x1000);
      nQoKAL100_memoryWrite16(board.address(0x104), 0x0800);
      answers += nQoKAL100_memoryRead16(board.address(0x106));
      answers += nQoKAL100_memoryRead8(board.address(0x088));
      answers += nQoKAL100_memoryRead32(board.address(0x240));
      answers += nQoKAL100_memoryRead32(board.address(0x244));
      board.bus.runAtomically(&empty, &code);
      for (auto& observer : board.observers) observer.sampleEndedSecondary(&board.timing, local);
    }
  benchmark::DoNotOptimize(answers);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_SampleEndThroughTheDispatcher_PhysicalFloor)
    ->ArgName("observers")
    ->Arg(1)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond);

struct tFIFOBoard : nQoBench::tTavikWindow {
  tFIFOBoard() {
    windows.setRead(window, 0x1C, 32, 0x12345678);
    windows.setLogging(false);
    bus.setLogging(false);
  }
  nQoUdRLP100::tTavikInterruptDispatcher dispatcher{&map, 1, &status};
  nQoUdP100::tAIFIFODescription description{4096, nQoUdP100::tAIFIFODescription::k32BitSamples, 0};
  nQoUdP100::tAIDeviceFIFOPrimitive fifo{&description, &map, &dispatcher, status};
  uint32_t samples[kSamples] = {};
};

void BM_FIFOReadSamples(benchmark::State& state) {
  const auto held = std::make_unique<tFIFOBoard>();
  tFIFOBoard& board = *held;
  tNoAllocationCheck check(state);
  for (auto _ : state) {
    benchmark::DoNotOptimize(board.fifo.readSamples(board.samples, kSamples, board.status));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_FIFOReadSamples);

// Floor: 1,024 raw 32-bit reads of the data register into the buffer.
void BM_FIFOReadSamples_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tFIFOBoard>();
  tFIFOBoard& board = *held;
  const uintptr_t data = static_cast<uintptr_t>(board.windows.base(board.window) + 0x1C);
  for (auto _ : state) {
    for (uint32_t i = 0; i < kSamples; ++i) board.samples[i] = nQoKAL100_memoryRead32(data);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_FIFOReadSamples_Floor);

}  // namespace
