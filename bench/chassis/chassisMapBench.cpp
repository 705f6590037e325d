// 10^6 field changes with flush on a second-generation cartridge control
// register (tCYA, field 5: bits 5:4), nine in ten values unchanged, over a bus
// window with logging off; the floor makes the register's checks (status,
// map link), keeps its soft copy and dirty byte and calls the bus's write32
// itself where the word changes; the physical floor only calls write32 with
// precomputed words.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

#include "chassis/maps/tMorro2Cartridge.h"
#include "mdbg/tStatus2.h"
#include "opaque.h"
#include "sim/tSimBus.h"
#include "sim/tSimRegisterWindows.h"

namespace {

using nQoUdRLP100::tMorro2Cartridge;

constexpr int kPasses = 1000000;

// The field value changes on every tenth pass.
std::array<uint32_t, 1000> makeFieldValues() {
  std::array<uint32_t, 1000> values{};
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = (i / 10) % 4;
  return values;
}
const std::array<uint32_t, 1000> kFieldValues = makeFieldValues();

// A slot over a window and a bus that keep no log.
struct tQuietSlot {
  tQuietSlot() {
    windows.setLogging(false);
    bus.setLogging(false);
    slot.CYA.flush(&status, 0);
  }
  nQoSim::tSimRegisterWindows windows;
  const unsigned window = windows.addWindow(0x804);
  nQoSim::tSimBus bus{windows};
  nQoMDBG100::tStatus2 status;
  tMorro2Cartridge slot{&bus, nQoSim::tSimBus::handleOf(window), &status};
};

void BM_CartridgeSetFieldAndFlush(benchmark::State& state) {
  tQuietSlot quiet;
  auto& cya = quiet.slot.CYA;
  for (auto _ : state) {
    for (int i = 0; i < kPasses; ++i) {
      cya.setField(5, kFieldValues[i % kFieldValues.size()], &quiet.status);
      cya.flush(&quiet.status, 0);
    }
  }
  benchmark::DoNotOptimize(cya.getField(0, &quiet.status));
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_CartridgeSetFieldAndFlush)->Unit(benchmark::kMillisecond);

// Floor: the field inserted into a soft copy behind the status and link
// checks, the dirty byte, and write32 through the bus for a dirty word.
void BM_CartridgeSetFieldAndFlush_Floor(benchmark::State& state) {
  tQuietSlot quiet;
  const uint32_t handle = nQoSim::tSimBus::handleOf(quiet.window);
  iBus* bus = nQoBench::opaque<iBus*>(&quiet.bus);
  uint32_t soft = 0;
  uint8_t dirty = 0;
  for (auto _ : state) {
    for (int i = 0; i < kPasses; ++i) {
      if (quiet.status.isFatal() || bus == nullptr) continue;
      const uint32_t next =
          (soft & ~0x30u) | ((kFieldValues[i % kFieldValues.size()] << 4) & 0x30u);
      if (next != soft) {
        soft = next;
        dirty = 1;
      }
      if (quiet.status.isFatal() || bus == nullptr || dirty == 0) continue;
      bus->write32(handle, 0x0FC, soft, 0x40000000, nullptr);
      dirty = 0;
    }
  }
  benchmark::DoNotOptimize(soft);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_CartridgeSetFieldAndFlush_Floor)->Unit(benchmark::kMillisecond);

// Physical floor: the register words precomputed, write32 only for a changed word.
void BM_CartridgeSetFieldAndFlush_PhysicalFloor(benchmark::State& state) {
  tQuietSlot quiet;
  const uint32_t handle = nQoSim::tSimBus::handleOf(quiet.window);
  std::array<uint32_t, 1000> words{};
  for (std::size_t i = 0; i < words.size(); ++i) words[i] = kFieldValues[i] << 4;
  iBus& bus = quiet.bus;
  uint32_t last = 0;
  for (auto _ : state) {
    for (int i = 0; i < kPasses; ++i) {
      const uint32_t word = words[i % words.size()];
      if (word == last) continue;
      bus.write32(handle, 0x0FC, word, 0x40000000, nullptr);
      last = word;
    }
  }
  benchmark::DoNotOptimize(last);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_CartridgeSetFieldAndFlush_PhysicalFloor)->Unit(benchmark::kMillisecond);

}  // namespace
