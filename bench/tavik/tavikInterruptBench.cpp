// The primary interrupt routine with nothing, one source and every source
// pending, each beside a floor that makes the same register accesses raw (the
// accesses one real pass made, replayed); and an enable/disable pair through
// the atomic binders beside two empty atomic runs with one raw 16-bit write
// each. Windows keep no log; a run that allocates or takes a lock is skipped.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "kal/nQoKAL.h"
#include "mdbg/tStatus2.h"
#include "reservation/iInterruptHandler.h"
#include "sim/simAllocator.h"
#include "sim/simSync.h"
#include "sim/tSimBus.h"
#include "sim/tSimRegisterWindows.h"
#include "tavik/tTavik.h"
#include "tavik/tTavikInterruptDispatcher.h"
#include "tavik/tTavikInterruptDispatcherBinders.h"

namespace {

using nQoUdRLP100::tTavikInterruptDispatcher;
using D = tTavikInterruptDispatcher;
using W = nQoSim::tSimRegisterWindows;

constexpr int kPasses = 10000;

class tAnswer : public nQoMRTB100::iInterruptHandler {
 public:
  iInterruptHandler::tAnswer handleInterrupt() override { return kHandled; }
};

enum class tPending { kNothing, kOne, kAll };

// A board with its dispatcher attached and the chosen sources pending.
struct tQuietBoard {
  explicit tQuietBoard(tPending pending) {
    dispatcher.attachInterrupt(status);
    if (pending == tPending::kOne) {
      dispatcher.primaryHandlers[7] = &answer;
      dispatcher.enableGroupAInterruptBit3(status);
      dispatcher.enableGroupAInterruptBit4(status);
      windows.setRead(window, 0x104, 16, 0x8010);
    }
    if (pending == tPending::kAll) {
      for (auto*& slot : dispatcher.primaryHandlers) slot = &answer;
      for (uint32_t id = 0; id < nQoUdRLP100::kSourceSwitchCount; ++id)
        dispatcher.enableSource(static_cast<nQoUdRLP100::tSourceSwitchId>(id), status, 0xFF);
      for (uint32_t offset : {0x104u, 0x106u, 0x13Au, 0x1B8u, 0x1BAu})
        windows.setRead(window, offset, 16, 0xFFFF);
      windows.setRead(window, 0x88, 8, 0x01);
      windows.setRead(window, 0xA1, 8, 0x0F);
      windows.setRead(window, 0x224, 32, 0xFFFFFFFF);
      windows.setRead(window, 0x240, 32, 1);
      windows.setRead(window, 0x244, 32, 1);
    }
    // One pass with the log on gives the floor its accesses.
    windows.clearLog();
    dispatcher.resolvePrimaryInterrupt();
    accesses = windows.log();
    windows.setLogging(false);
    bus.setLogging(false);
  }
  ~tQuietBoard() {
    for (auto*& slot : dispatcher.primaryHandlers) slot = nullptr;
  }

  W windows;
  const unsigned window = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  nQoSim::tSimBus bus{windows};
  nQoMDBG100::tStatus2 status;
  nQoUdRLP100::nTavik::tTavik map{&bus, window, &status};
  tTavikInterruptDispatcher dispatcher{&map, 1, &status};
  tAnswer answer;
  std::vector<W::tAccess> accesses;
};

// Skips the run when the loop allocated from the platform or took a lock.
class tHotPathCheck {
 public:
  explicit tHotPathCheck(benchmark::State& state)
      : _state(state),
        _allocations(nQoSim::totalAllocations()),
        _syncRecords(nQoSim::syncLog().size()) {}
  ~tHotPathCheck() {
    if (nQoSim::totalAllocations() != _allocations) _state.SkipWithError("allocated");
    if (nQoSim::syncLog().size() != _syncRecords) _state.SkipWithError("took a lock");
  }

 private:
  benchmark::State& _state;
  uint64_t _allocations;
  std::size_t _syncRecords;
};

void BM_ResolvePrimaryInterrupt(benchmark::State& state) {
  tQuietBoard board(static_cast<tPending>(state.range(0)));
  tHotPathCheck check(state);
  uint32_t answers = 0;
  for (auto _ : state)
    for (int i = 0; i < kPasses; ++i) answers += board.dispatcher.resolvePrimaryInterrupt();
  benchmark::DoNotOptimize(answers);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_ResolvePrimaryInterrupt)
    ->ArgName("pending")
    ->Arg(static_cast<int>(tPending::kNothing))
    ->Arg(static_cast<int>(tPending::kOne))
    ->Arg(static_cast<int>(tPending::kAll))
    ->Unit(benchmark::kMillisecond);

// Floor: the same reads and writes, straight through the kernel layer.
void BM_RawInterruptAccessesFloor(benchmark::State& state) {
  tQuietBoard board(static_cast<tPending>(state.range(0)));
  const uint64_t base = board.windows.base(board.window);
  uint32_t sum = 0;
  for (auto _ : state) {
    for (int i = 0; i < kPasses; ++i) {
      for (const W::tAccess& access : board.accesses) {
        const uintptr_t address = static_cast<uintptr_t>(base + access.offset);
        if (access.direction == W::kRead) {
          sum += access.width == 8    ? nQoKAL100_memoryRead8(address)
                 : access.width == 16 ? nQoKAL100_memoryRead16(address)
                                      : nQoKAL100_memoryRead32(address);
        } else if (access.width == 16) {
          nQoKAL100_memoryWrite16(address, static_cast<uint16_t>(access.value));
        } else {
          nQoKAL100_memoryWrite32(address, access.value);
        }
      }
    }
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_RawInterruptAccessesFloor)
    ->ArgName("pending")
    ->Arg(static_cast<int>(tPending::kNothing))
    ->Arg(static_cast<int>(tPending::kOne))
    ->Arg(static_cast<int>(tPending::kAll))
    ->Unit(benchmark::kMillisecond);

void BM_EnableDisableThroughBinders(benchmark::State& state) {
  tQuietBoard board(tPending::kNothing);
  tHotPathCheck check(state);
  for (auto _ : state) {
    for (int i = 0; i < kPasses; ++i) {
      D::tAtomicStatusRefDispatcher enable(&board.dispatcher, &D::enableGroupAInterruptBit0,
                                           board.status);
      enable.exec();
      D::tAtomicStatusPtrDispatcher disable(&board.dispatcher, &D::disableGroupAInterruptBit0);
      disable.exec(&board.status);
    }
  }
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_EnableDisableThroughBinders)->Unit(benchmark::kMillisecond);

class tEmptyOperation : public iBusAtomicOperation {
 public:
  int32_t operateAtomically() override { return 0; }
};

// Floor: two empty atomic runs, each with one raw 16-bit write.
void BM_EmptyAtomicRunsAndRawWritesFloor(benchmark::State& state) {
  tQuietBoard board(tPending::kNothing);
  const uintptr_t address = static_cast<uintptr_t>(board.windows.base(board.window) + 0x192);
  tEmptyOperation empty;
  int code = 0;
  for (auto _ : state) {
    for (int i = 0; i < kPasses; ++i) {
      board.bus.runAtomically(&empty, &code);
      nQoKAL100_memoryWrite16(address, 1);
      board.bus.runAtomically(&empty, &code);
      nQoKAL100_memoryWrite16(address, 0);
    }
  }
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_EmptyAtomicRunsAndRawWritesFloor)->Unit(benchmark::kMillisecond);

}  // namespace
