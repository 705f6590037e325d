// 10^5 port-0 writeLines of alternating values on a window with logging off,
// beside two floors: a raw volatile 32-bit write loop (the register write
// alone), and the same platform route by hand (lock, 32-bit write through
// the kernel layer, bus flush, unlock).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "frame/kernelShims.h"
#include "mdbg/tStatus2.h"
#include "primitives/dio/tTavikImmedDigPrimitive.h"
#include "sync/iSync.h"
#include "tavik/tTavik.h"
#include "tavikWindow.h"

namespace {

using nQoUdRLP100::nTavik::tTavik;

constexpr int kPasses = 100000;

volatile uint32_t gPortRegister;

struct tQuietPort : nQoBench::tTavikWindow {
  tQuietPort() {
    windows.setLogging(false);
    bus.setLogging(false);
  }
  nQoUdP100::tTavikImmedDigPrimitive port{map, status};
};

void BM_PortWriteLines(benchmark::State& state) {
  const auto held = std::make_unique<tQuietPort>();
  tQuietPort& quiet = *held;
  for (auto _ : state)
    for (int i = 0; i < kPasses; ++i)
      quiet.port.writeLines(0xFFFFFFFF, (i & 1) != 0 ? 0xA5A5A5A5 : 0x5A5A5A5A, quiet.status);
  benchmark::DoNotOptimize(quiet.status.code);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_PortWriteLines)->Unit(benchmark::kMillisecond);

// Physical floor: the register write alone.
void BM_PortWriteLines_PhysicalFloor(benchmark::State& state) {
  for (auto _ : state)
    for (int i = 0; i < kPasses; ++i) gPortRegister = (i & 1) != 0 ? 0xA5A5A5A5 : 0x5A5A5A5A;
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_PortWriteLines_PhysicalFloor)->Unit(benchmark::kMillisecond);

// Floor: the same platform calls as writeLines.
void BM_PortWriteLines_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tQuietPort>();
  tQuietPort& quiet = *held;
  int code = 0;
  iSync* lock = syncOpen(iSync::tParam{1, 1, 0}, &code);
  const uintptr_t port = quiet.windows.base(quiet.window) + 0x24;
  uint32_t soft = 0;
  for (auto _ : state) {
    for (int i = 0; i < kPasses; ++i) {
      lock->waitOrAcquire(iSync::kWaitForever, &code);
      const uint32_t value = (i & 1) != 0 ? 0xA5A5A5A5 : 0x5A5A5A5A;
      if (value != soft) nQoUdR100::memoryWrite32(port, value);
      soft = value;
      quiet.map.flushBus(&quiet.status);
      lock->releaseOrSet(&code);
    }
  }
  syncClose(lock);
  benchmark::DoNotOptimize(code);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_PortWriteLines_Floor)->Unit(benchmark::kMillisecond);

}  // namespace
