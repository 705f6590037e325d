// The converter's overrun handler, both passes, with 1 and 3 observers that
// all ask for the secondary pass, beside a floor that does the same work by
// hand: each pass reached through an indirect call, a local status, the
// observers' records walked with their answers kept as tags, and the same two
// atomic bus runs (disable, enable), each with the register's checks, its
// soft copy and one raw 16-bit write. The physical floor calls the observers
// directly around the two bare atomic runs. Windows keep no log; a run that
// allocates from the platform is skipped.
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
#include "primitives/ai/tAI_ADCPrimitive.h"
#include "sim/tSimRegisterWindows.h"
#include "tavik/tTavikInterruptDispatcher.h"
#include "tavikWindow.h"

namespace {

using nQoBench::tNoAllocationCheck;
using nQoUdP100::tBaseAI_ADCPrimitive;
using W = nQoSim::tSimRegisterWindows;

constexpr int kPasses = 10000;

class tCountingObserver : public tBaseAI_ADCPrimitive::iObserver {
 public:
  uint32_t handleOverrun(tBaseAI_ADCPrimitive*, nQoMDBG100::tStatus2&) override {
    ++primary;
    return 1;
  }
  void handleOverrunSecondary(tBaseAI_ADCPrimitive*, nQoMDBG100::tStatus2&) override {
    ++secondary;
  }
  uint64_t primary = 0;
  uint64_t secondary = 0;
};

// A board with a committed, armed converter and its observers.
struct tConverterBoard : nQoBench::tTavikWindow {
  explicit tConverterBoard(int observerCount) : observers(observerCount) {
    for (auto& observer : observers) converter.addObserver(&observer, status);
    converter.commit(status);
    converter.arm(status);
    windows.setLogging(false);
    bus.setLogging(false);
  }
  ~tConverterBoard() {
    nQoMDBG100::tStatus2 fresh;
    converter.disarm(fresh);
    converter.uncommit(fresh);
  }

  nQoUdRLP100::tTavikInterruptDispatcher dispatcher{&map, 1, &status};
  nQoUdP100::tAIFirstEntry entry;
  nQoUdP100::tAI_ADCPrimitive converter{&entry, &map, &dispatcher, status};
  std::vector<tCountingObserver> observers;
};

void BM_ConverterOverrunBothPasses(benchmark::State& state) {
  const auto held = std::make_unique<tConverterBoard>(static_cast<int>(state.range(0)));
  tConverterBoard& board = *held;
  auto* primary = board.dispatcher.primaryHandlers[2].load();
  auto* secondary = board.dispatcher.secondaryHandlers[2].load();
  tNoAllocationCheck check(state);
  uint32_t answers = 0;
  for (auto _ : state)
    for (int i = 0; i < kPasses; ++i) {
      answers += primary->handleInterrupt();
      answers += secondary->handleSecondaryInterrupt();
    }
  benchmark::DoNotOptimize(answers);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_ConverterOverrunBothPasses)
    ->ArgName("observers")
    ->Arg(1)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond);

using nQoBench::tEmptyOperation;

// The records hold the observers as the converter does: by their interface.
using tHandRecord = nQoBench::tHandRecord<tBaseAI_ADCPrimitive::iObserver>;

// The floor's two passes, reached through function pointers.
struct tHandConverter {
  std::vector<tHandRecord> records;
  tBaseAI_ADCPrimitive* converter;
  iBus* bus;
  uintptr_t address;
  const void* map;
  uint16_t soft = 0x20;
};
using tHandPass = uint32_t (*)(tHandConverter&);

void handWrite(tHandConverter& hand, bool set, nQoMDBG100::tStatus2& status) {
  tEmptyOperation empty;
  int code = 0;
  hand.bus->runAtomically(&empty, &code);
  if (status.isFatal() || hand.map == nullptr) return;
  hand.soft = static_cast<uint16_t>(set ? hand.soft | 0x20 : hand.soft & ~0x20);
  nQoKAL100_memoryWrite16(hand.address, hand.soft);
}

uint32_t handPrimary(tHandConverter& hand) {
  nQoMDBG100::tStatus2 local;
  bool pending = false;
  for (tHandRecord& record : hand.records) {
    if (record.inUse == 0) continue;
    record.tag = record.observer->handleOverrun(hand.converter, local);
    pending = pending || record.tag != 0;
  }
  if (!pending) return 1;
  handWrite(hand, false, local);
  return 2;
}

uint32_t handSecondary(tHandConverter& hand) {
  nQoMDBG100::tStatus2 local;
  for (tHandRecord& record : hand.records)
    if (record.inUse != 0 && record.tag != 0)
      record.observer->handleOverrunSecondary(hand.converter, local);
  handWrite(hand, true, local);
  return static_cast<uint32_t>(local.code);
}

void BM_ConverterOverrunBothPasses_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tConverterBoard>(static_cast<int>(state.range(0)));
  tConverterBoard& board = *held;
  tHandConverter hand{{},
                      &board.converter,
                      &board.bus,
                      static_cast<uintptr_t>(board.windows.base(board.window) + 0x192),
                      &board.map};
  for (auto& observer : board.observers) hand.records.push_back({&observer});
  const tHandPass primary = nQoBench::opaque<tHandPass>(&handPrimary);
  const tHandPass secondary = nQoBench::opaque<tHandPass>(&handSecondary);
  uint32_t answers = 0;
  for (auto _ : state)
    for (int i = 0; i < kPasses; ++i) {
      answers += primary(hand);
      answers += secondary(hand);
    }
  benchmark::DoNotOptimize(answers);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_ConverterOverrunBothPasses_Floor)
    ->ArgName("observers")
    ->Arg(1)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond);

// Physical floor: the observers called directly, and the disable and the
// enable as two atomic runs with one raw write of 0x192 each.
void BM_ConverterOverrunBothPasses_PhysicalFloor(benchmark::State& state) {
  const auto held = std::make_unique<tConverterBoard>(static_cast<int>(state.range(0)));
  tConverterBoard& board = *held;
  const uintptr_t address = static_cast<uintptr_t>(board.windows.base(board.window) + 0x192);
  tEmptyOperation empty;
  int code = 0;
  uint32_t answers = 0;
  for (auto _ : state)
    for (int i = 0; i < kPasses; ++i) {
      nQoMDBG100::tStatus2 local;
      for (auto& observer : board.observers)
        answers += observer.handleOverrun(&board.converter, local);
      board.bus.runAtomically(&empty, &code);
      nQoKAL100_memoryWrite16(address, 0);
      for (auto& observer : board.observers)
        observer.handleOverrunSecondary(&board.converter, local);
      board.bus.runAtomically(&empty, &code);
      nQoKAL100_memoryWrite16(address, 0x20);
    }
  benchmark::DoNotOptimize(answers);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_ConverterOverrunBothPasses_PhysicalFloor)
    ->ArgName("observers")
    ->Arg(1)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace
