// The primary interrupt routine with nothing, one source and every source
// pending, each beside a floor that does the same work by hand: the accesses
// one real pass made, replayed through the kernel layer, each behind the
// checks a register makes and with its soft copy kept, and the handlers
// called as often as the pass called them (the physical floor replays the
// accesses alone); the secondary pass with every source asking for it,
// beside one atomic run that takes the requests and the handlers called
// directly; and an enable/disable pair through the atomic binders beside two
// atomic runs with one checked raw 16-bit write each. Windows keep no log; a
// run that allocates or takes a lock is skipped.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "handFloors.h"
#include "kal/nQoKAL.h"
#include "mdbg/tStatus2.h"
#include "opaque.h"
#include "reservation/iInterruptHandler.h"
#include "reservation/iSecondaryInterruptHandler.h"
#include "sim/simAllocator.h"
#include "sim/simSync.h"
#include "sim/tSimRegisterWindows.h"
#include "tavik/tTavikInterruptDispatcher.h"
#include "tavik/tTavikInterruptDispatcherBinders.h"
#include "tavikWindow.h"

namespace {

using nQoUdRLP100::tTavikInterruptDispatcher;
using D = tTavikInterruptDispatcher;
using W = nQoSim::tSimRegisterWindows;

constexpr int kPasses = 10000;

class tAnswer : public nQoMRTB100::iInterruptHandler,
                public nQoMRTB100::iSecondaryInterruptHandler {
 public:
  iInterruptHandler::tAnswer handleInterrupt() override {
    ++calls;
    return want;
  }
  uint32_t handleSecondaryInterrupt() override {
    ++secondaryCalls;
    return 1;
  }
  iInterruptHandler::tAnswer want = kHandled;
  uint64_t calls = 0;
  uint64_t secondaryCalls = 0;
};

enum class tPending { kNothing, kOne, kAll };

// A board with its dispatcher attached and the chosen sources pending.
struct tQuietBoard : nQoBench::tTavikWindow {
  explicit tQuietBoard(tPending pending) {
    dispatcher.attachInterrupt(status);
    if (pending == tPending::kOne) {
      dispatcher.primaryHandlers[7] = &answer;
      dispatcher.enableGroupAInterruptBit3(status);
      dispatcher.enableGroupAInterruptBit4(status);
      windows.setRead(window, 0x104, 16, 0x8010);
    }
    if (pending == tPending::kAll) {
      for (auto& slot : dispatcher.primaryHandlers) slot = &answer;
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
    // One pass with the log on gives the floor its accesses and calls.
    windows.clearLog();
    const uint64_t before = answer.calls;
    dispatcher.resolvePrimaryInterrupt();
    accesses = windows.log();
    handlerCalls = answer.calls - before;
    windows.setLogging(false);
    bus.setLogging(false);
  }
  ~tQuietBoard() {
    for (auto& slot : dispatcher.primaryHandlers) slot = nullptr;
  }

  tTavikInterruptDispatcher dispatcher{&map, 1, &status};
  tAnswer answer;
  std::vector<W::tAccess> accesses;
  uint64_t handlerCalls = 0;
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
  const auto held = std::make_unique<tQuietBoard>(static_cast<tPending>(state.range(0)));
  tQuietBoard& board = *held;
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

// The checks a register access makes: a clean status and a linked map.
inline bool usable(const nQoMDBG100::tStatus2* status, const void* map) {
  return (status == nullptr || !status->isFatal()) && map != nullptr;
}

// The logged accesses through the kernel layer, each behind the register's
// checks, reads kept in a soft copy; answers the sum of the reads.
uint32_t replayChecked(const std::vector<W::tAccess>& accesses, uint64_t base, const void* map,
                       uint32_t& soft) {
  uint32_t sum = 0;
  for (const W::tAccess& access : accesses) {
    if (!usable(nullptr, map)) continue;
    const uintptr_t address = static_cast<uintptr_t>(base + access.offset);
    if (access.direction == W::kRead) {
      soft = access.width == 8    ? nQoKAL100_memoryRead8(address)
             : access.width == 16 ? nQoKAL100_memoryRead16(address)
                                  : nQoKAL100_memoryRead32(address);
      sum += soft;
    } else if (access.width == 16) {
      nQoKAL100_memoryWrite16(address, static_cast<uint16_t>(access.value));
    } else {
      nQoKAL100_memoryWrite32(address, access.value);
    }
  }
  return sum;
}

// Floor: the same reads and writes through the kernel layer, each behind the
// register's checks, reads kept in a soft copy, and the handlers called
// through their interface.
void BM_ResolvePrimaryInterrupt_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tQuietBoard>(static_cast<tPending>(state.range(0)));
  tQuietBoard& board = *held;
  const uint64_t base = board.windows.base(board.window);
  nQoMRTB100::iInterruptHandler* handler =
      nQoBench::opaque<nQoMRTB100::iInterruptHandler*>(&board.answer);
  const void* map = nQoBench::opaque<const void*>(&board.map);
  uint32_t soft = 0;
  uint32_t answers = 0;
  for (auto _ : state) {
    for (int i = 0; i < kPasses; ++i) {
      answers += replayChecked(board.accesses, base, map, soft);
      for (uint64_t call = 0; call < board.handlerCalls; ++call)
        answers += handler->handleInterrupt();
    }
  }
  benchmark::DoNotOptimize(answers);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_ResolvePrimaryInterrupt_Floor)
    ->ArgName("pending")
    ->Arg(static_cast<int>(tPending::kNothing))
    ->Arg(static_cast<int>(tPending::kOne))
    ->Arg(static_cast<int>(tPending::kAll))
    ->Unit(benchmark::kMillisecond);

// Physical floor: the same reads and writes, straight through the kernel layer.
void BM_ResolvePrimaryInterrupt_PhysicalFloor(benchmark::State& state) {
  const auto held = std::make_unique<tQuietBoard>(static_cast<tPending>(state.range(0)));
  tQuietBoard& board = *held;
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
BENCHMARK(BM_ResolvePrimaryInterrupt_PhysicalFloor)
    ->ArgName("pending")
    ->Arg(static_cast<int>(tPending::kNothing))
    ->Arg(static_cast<int>(tPending::kOne))
    ->Arg(static_cast<int>(tPending::kAll))
    ->Unit(benchmark::kMillisecond);

void BM_EnableDisableThroughBinders(benchmark::State& state) {
  const auto held = std::make_unique<tQuietBoard>(tPending::kNothing);
  tQuietBoard& board = *held;
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

using nQoBench::tEmptyOperation;

// Takes and clears the request bits, as the secondary pass's snapshot does.
class tTakeRequests : public iBusAtomicOperation {
 public:
  tTakeRequests(uint64_t& requests, uint64_t& taken) : _requests(requests), _taken(taken) {}
  int32_t operateAtomically() override {
    _taken = _requests;
    _requests = 0;
    return 0;
  }

 private:
  uint64_t& _requests;
  uint64_t& _taken;
};

// A board whose one pending source asks for the secondary pass.
struct tSecondaryBoard : tQuietBoard {
  tSecondaryBoard() : tQuietBoard(tPending::kOne) {
    answer.want = nQoMRTB100::iInterruptHandler::kHandledWantsSecondary;
    for (auto& slot : dispatcher.secondaryHandlers) slot = &answer;
    dispatcher.resolvePrimaryInterrupt();
    for (uint32_t source = 0; source < D::kSourceCount; ++source)
      requested[source] = dispatcher.secondaryRequest(source);
    dispatcher.resolveSecondaryInterrupt();
  }
  ~tSecondaryBoard() {
    for (auto& slot : dispatcher.secondaryHandlers) slot = nullptr;
  }
  uint32_t requested[D::kSourceCount] = {};
};

// Both passes: the primary pass asks for the secondary one, which takes the
// requests in an atomic run and calls the secondary handler.
void BM_ResolveSecondaryInterrupt(benchmark::State& state) {
  const auto held = std::make_unique<tSecondaryBoard>();
  tSecondaryBoard& board = *held;
  tHotPathCheck check(state);
  uint32_t answers = 0;
  for (auto _ : state)
    for (int i = 0; i < kPasses; ++i) {
      answers += board.dispatcher.resolvePrimaryInterrupt();
      answers += board.dispatcher.resolveSecondaryInterrupt();
    }
  benchmark::DoNotOptimize(answers);
  if (board.answer.secondaryCalls < kPasses) state.SkipWithError("no secondary pass");
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_ResolveSecondaryInterrupt)->Unit(benchmark::kMillisecond);

// Floor: the primary pass as its floor does it, recording the request; one
// atomic run that takes and clears the requests; the secondary handlers of
// those that asked called directly.
void BM_ResolveSecondaryInterrupt_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tSecondaryBoard>();
  tSecondaryBoard& board = *held;
  const uint64_t base = board.windows.base(board.window);
  nQoMRTB100::iInterruptHandler* handler =
      nQoBench::opaque<nQoMRTB100::iInterruptHandler*>(&board.answer);
  nQoMRTB100::iSecondaryInterruptHandler* handlers[D::kSourceCount] = {};
  for (uint32_t source = 0; source < D::kSourceCount; ++source)
    handlers[source] = board.dispatcher.secondaryHandlers[source].load();
  const void* map = nQoBench::opaque<const void*>(&board.map);
  iBus& bus = *nQoBench::opaque<iBus*>(&board.bus);
  uint64_t requests = 0;
  uint32_t soft = 0;
  uint32_t answers = 0;
  for (auto _ : state)
    for (int i = 0; i < kPasses; ++i) {
      answers += replayChecked(board.accesses, base, map, soft);
      for (uint32_t source = 0; source < D::kSourceCount; ++source)
        if (board.requested[source] != 0 &&
            handler->handleInterrupt() == nQoMRTB100::iInterruptHandler::kHandledWantsSecondary)
          requests |= uint64_t{1} << source;
      uint64_t taken = 0;
      tTakeRequests take(requests, taken);
      bus.runAtomically(&take, nullptr);
      for (; taken != 0; taken &= taken - 1) {
        const auto source = static_cast<uint32_t>(__builtin_ctzll(taken));
        if (handlers[source] != nullptr) handlers[source]->handleSecondaryInterrupt();
      }
      answers += 1;
    }
  benchmark::DoNotOptimize(answers);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_ResolveSecondaryInterrupt_Floor)->Unit(benchmark::kMillisecond);

// Floor: two atomic runs, each with the status and link checks, the enable's
// soft copy changed and one raw 16-bit write.
void BM_EnableDisableThroughBinders_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tQuietBoard>(tPending::kNothing);
  tQuietBoard& board = *held;
  const uintptr_t address = static_cast<uintptr_t>(board.windows.base(board.window) + 0x192);
  const void* map = nQoBench::opaque<const void*>(&board.map);
  iBus* bus = nQoBench::opaque<iBus*>(&board.bus);
  uint16_t soft = 0;
  tEmptyOperation empty;
  int code = 0;
  for (auto _ : state) {
    for (int i = 0; i < kPasses; ++i) {
      bus->runAtomically(&empty, &code);
      if (usable(&board.status, map)) {
        soft = static_cast<uint16_t>(soft | 1);
        nQoKAL100_memoryWrite16(address, soft);
      }
      bus->runAtomically(&empty, &code);
      if (usable(&board.status, map)) {
        soft = static_cast<uint16_t>(soft & ~1);
        nQoKAL100_memoryWrite16(address, soft);
      }
    }
  }
  benchmark::DoNotOptimize(soft);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_EnableDisableThroughBinders_Floor)->Unit(benchmark::kMillisecond);

}  // namespace
