// The counter service (its tap answering 1: pending read, tap, acknowledge)
// beside a floor that does the same work by hand: a local status, the pending
// field read through the register found for it (an indirect call, with the
// field and link checks), the tap, the request kept, the acknowledge written
// the same way; the physical floor is one raw read, the tap and one raw
// write. And a counter field set with flush, nine in ten unchanged, beside a
// floor with the register's checks, soft copy and dirty byte, and a raw loop
// that writes the changed values as the physical floor. Windows keep no log;
// a run that allocates or takes a lock is skipped.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "counters/iTIOCtrInterruptTap.h"
#include "counters/tCtrPair.h"
#include "counters/tTIOCtrHelper.h"
#include "counters/tTIOCtrInterruptDispatcher.h"
#include "kal/nQoKAL.h"
#include "mdbg/tStatus2.h"
#include "opaque.h"
#include "sim/simAllocator.h"
#include "sim/simSync.h"
#include "sim/tSimBus.h"
#include "sim/tSimRegisterWindows.h"

namespace {

constexpr int kPasses = 10000;
constexpr uint32_t kPairWindow = 256;

class tAcknowledgingTap : public nQoTIO100::iTIOCtrInterruptTap {
 public:
  uint32_t handle() override { return kAcknowledge; }
};

// A counter pair over a view of the board window, counter 0's primary tap
// installed and enabled, its pending bit set.
struct tQuietPair {
  tQuietPair() {
    windows.setRead(board, 0x104, 16, 0x0008);
    dispatcher.setPrimaryTap(0, &tap);
    dispatcher.enablePrimary(0, status);
    pair.G0_Mode.flush(&status, 0);
    windows.setLogging(false);
    bus.setLogging(false);
  }

  nQoSim::tSimRegisterWindows windows;
  const unsigned board = windows.addWindow(0x200);
  const unsigned view = windows.addView(board, 0x100, 196);
  nQoSim::tSimBus bus{windows};
  const bool viewAnswered = (bus.answerView(kPairWindow, view), true);
  nQoMDBG100::tStatus2 status;
  nQoTIO100::tCtrPair pair{&bus, kPairWindow, &status};
  nQoTIO100::tTIOCtrHelper helper{0, &pair};
  tAcknowledgingTap tap;
  nQoTIO100::tTIOCtrInterruptDispatcher dispatcher{&tap, &helper};
};

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

void BM_CounterService(benchmark::State& state) {
  const auto held = std::make_unique<tQuietPair>();
  tQuietPair& quiet = *held;
  tHotPathCheck check(state);
  uint32_t answers = 0;
  for (auto _ : state)
    for (int i = 0; i < kPasses; ++i) answers += quiet.dispatcher.service(0);
  benchmark::DoNotOptimize(answers);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_CounterService)->Unit(benchmark::kMillisecond);

// A field of a register reached through the pair's table: the register's
// read or write behind an indirect call, as the dispatcher's is.
struct tHandField {
  uintptr_t address;
  uint32_t mask;
  uint32_t shift;
  const void* map;
};
using tHandRead = uint32_t (*)(const tHandField&, nQoMDBG100::tStatus2&);
using tHandWrite = void (*)(const tHandField&, uint32_t, nQoMDBG100::tStatus2&);

uint32_t handReadField(const tHandField& field, nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || field.map == nullptr || field.shift > 15) return 0xFFFFFFFF;
  return (nQoKAL100_memoryRead16(field.address) & field.mask) >> field.shift;
}
void handWriteField(const tHandField& field, uint32_t value, nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || field.map == nullptr || value > (field.mask >> field.shift)) return;
  nQoKAL100_memoryWrite16(field.address, static_cast<uint16_t>(value << field.shift));
}

// Floor: a local status; the pending field read through an indirect call;
// the tap through its interface; its request kept; the acknowledge written
// through an indirect call.
void BM_CounterService_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tQuietPair>();
  tQuietPair& quiet = *held;
  const uintptr_t status1 = static_cast<uintptr_t>(quiet.windows.viewBase(quiet.view) + 0x04);
  const tHandField pending{status1, 0x0008, 3, &quiet.pair};
  const tHandField acknowledge{status1, 0x4000, 14, &quiet.pair};
  const tHandRead read = nQoBench::opaque<tHandRead>(&handReadField);
  const tHandWrite write = nQoBench::opaque<tHandWrite>(&handWriteField);
  nQoTIO100::iTIOCtrInterruptTap* tap =
      nQoBench::opaque<nQoTIO100::iTIOCtrInterruptTap*>(&quiet.tap);
  uint32_t requests[4] = {};
  uint32_t enabled[4] = {1, 0, 0, 0};
  benchmark::DoNotOptimize(enabled);
  uint32_t answers = 0;
  for (auto _ : state) {
    for (int i = 0; i < kPasses; ++i) {
      nQoMDBG100::tStatus2 local;
      if (tap == nullptr || enabled[0] == 0 || read(pending, local) == 0) continue;
      const uint32_t answer = tap->handle();
      requests[0] = answer == nQoTIO100::iTIOCtrInterruptTap::kAcknowledgeAndSecondPass ? 1 : 0;
      answers += answer;
      write(acknowledge, 1, local);
    }
  }
  benchmark::DoNotOptimize(answers);
  benchmark::DoNotOptimize(requests);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_CounterService_Floor)->Unit(benchmark::kMillisecond);

// Physical floor: the pending read, the tap and the acknowledge, raw.
void BM_CounterService_PhysicalFloor(benchmark::State& state) {
  const auto held = std::make_unique<tQuietPair>();
  tQuietPair& quiet = *held;
  const uintptr_t status1 = static_cast<uintptr_t>(quiet.windows.viewBase(quiet.view) + 0x04);
  nQoTIO100::iTIOCtrInterruptTap* tap = &quiet.tap;
  uint32_t answers = 0;
  for (auto _ : state) {
    for (int i = 0; i < kPasses; ++i) {
      if ((nQoKAL100_memoryRead16(status1) & 0x0008) == 0) continue;
      answers += tap->handle();
      nQoKAL100_memoryWrite16(status1, 0x4000);
    }
  }
  benchmark::DoNotOptimize(answers);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_CounterService_PhysicalFloor)->Unit(benchmark::kMillisecond);

// The value of pass i: a change every tenth pass.
uint32_t gateMode(int i) { return (i / 10) % 4; }

void BM_CounterFieldSetAndFlush(benchmark::State& state) {
  const auto held = std::make_unique<tQuietPair>();
  tQuietPair& quiet = *held;
  tHotPathCheck check(state);
  auto& mode = quiet.pair.G0_Mode;
  for (auto _ : state) {
    for (int i = 0; i < kPasses; ++i) {
      mode.setField(3, gateMode(i), &quiet.status);
      mode.flush(&quiet.status, 0);
    }
  }
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_CounterFieldSetAndFlush)->Unit(benchmark::kMillisecond);

// Floor: the setter's and the flush's checks, the soft copy and dirty byte,
// the raw write of a dirty register.
void BM_CounterFieldSetAndFlush_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tQuietPair>();
  tQuietPair& quiet = *held;
  const uintptr_t address = static_cast<uintptr_t>(quiet.windows.viewBase(quiet.view) + 0x34);
  const void* map = nQoBench::opaque<const void*>(&quiet.pair);
  uint16_t soft = quiet.pair.G0_Mode.getRegister();
  uint8_t dirty = 0;
  for (auto _ : state) {
    for (int i = 0; i < kPasses; ++i) {
      const uint32_t value = gateMode(i);
      if (quiet.status.isFatal() || map == nullptr || value > 3) continue;
      const uint16_t next = static_cast<uint16_t>((soft & ~0x18u) | (value << 3));
      if (next != soft) {
        soft = next;
        dirty = 1;
      }
      if (quiet.status.isFatal() || map == nullptr || dirty == 0) continue;
      nQoKAL100_memoryWrite16(address, soft);
      dirty = 0;
    }
  }
  benchmark::DoNotOptimize(soft);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_CounterFieldSetAndFlush_Floor)->Unit(benchmark::kMillisecond);

// Physical floor: the same bits in a local copy, written raw when they change.
void BM_CounterFieldSetAndFlush_PhysicalFloor(benchmark::State& state) {
  const auto held = std::make_unique<tQuietPair>();
  tQuietPair& quiet = *held;
  const uintptr_t address = static_cast<uintptr_t>(quiet.windows.viewBase(quiet.view) + 0x34);
  uint16_t soft = quiet.pair.G0_Mode.getRegister();
  for (auto _ : state) {
    for (int i = 0; i < kPasses; ++i) {
      const uint16_t next = static_cast<uint16_t>((soft & ~0x18u) | (gateMode(i) << 3));
      if (next == soft) continue;
      soft = next;
      nQoKAL100_memoryWrite16(address, soft);
    }
  }
  benchmark::DoNotOptimize(soft);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_CounterFieldSetAndFlush_PhysicalFloor)->Unit(benchmark::kMillisecond);

}  // namespace
