// 10^6 field changes with flush, nine in ten values unchanged, on a window
// with logging off: through the typed set_<Field> + flush, through virtual
// writeField by tId, and a raw volatile write loop doing only the changed
// writes as the floor.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

#include "mdbg/tStatus2.h"
#include "registers/registerId.h"
#include "sim/tSimBus.h"
#include "sim/tSimRegisterWindows.h"
#include "tavik/tTavik.h"

namespace {

using nQoUdRLP100::nTavik::tDir;
using nQoUdRLP100::nTavik::tTavik;

constexpr int kPasses = 1000000;

// The value changes on every tenth pass.
std::array<uint32_t, 1000> makeValues() {
  std::array<uint32_t, 1000> values{};
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = (i / 10) % 2;
  return values;
}
const std::array<uint32_t, 1000> kValues = makeValues();

// What the floor writes to: a register the compiler may not elide.
volatile uint16_t gPinRegister;

// A map over a window that keeps no log.
struct tQuietMap {
  tQuietMap() {
    windows.setLogging(false);
    map.IO_Bidirection_Pin.flush(&status, 0);
  }
  nQoSim::tSimRegisterWindows windows;
  const unsigned window = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  nQoSim::tSimBus bus{windows};
  nQoMDBG100::tStatus2 status;
  tTavik map{&bus, window, &status};
};

void BM_TavikSetFieldAndFlush(benchmark::State& state) {
  tQuietMap quiet;
  auto& pin = quiet.map.IO_Bidirection_Pin;
  for (auto _ : state) {
    for (int i = 0; i < kPasses; ++i) {
      pin.set_PFI10_Pin_Dir(static_cast<tDir>(kValues[i % kValues.size()]), &quiet.status);
      pin.flush(&quiet.status, 0);
    }
  }
  benchmark::DoNotOptimize(pin.getRegister());
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_TavikSetFieldAndFlush)->Unit(benchmark::kMillisecond);

void BM_TavikWriteFieldById(benchmark::State& state) {
  tQuietMap quiet;
  const uint32_t id = nQoUdRLP100::makeRegisterId(44, 11);
  for (auto _ : state) {
    for (int i = 0; i < kPasses; ++i) {
      tTavik::tRegister* pin = quiet.map.registerObject(id);
      pin->writeField(nQoUdRLP100::fieldIdentifier(id), kValues[i % kValues.size()], &quiet.status,
                      0);
    }
  }
  benchmark::DoNotOptimize(quiet.map.IO_Bidirection_Pin.getRegister());
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_TavikWriteFieldById)->Unit(benchmark::kMillisecond);

// Floor: compare with the last value, write only a change.
void BM_RawChangedWritesFloor(benchmark::State& state) {
  uint16_t soft = 0;
  for (auto _ : state) {
    for (int i = 0; i < kPasses; ++i) {
      const uint16_t next =
          static_cast<uint16_t>((soft & ~0x400u) | (kValues[i % kValues.size()] << 10));
      if (next != soft) {
        soft = next;
        gPinRegister = soft;
      }
    }
  }
  benchmark::DoNotOptimize(soft);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_RawChangedWritesFloor)->Unit(benchmark::kMillisecond);

}  // namespace
