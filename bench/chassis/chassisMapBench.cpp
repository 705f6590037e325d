// 10^6 field changes with flush on a second-generation cartridge control
// register (tCYA, field 5: bits 5:4), nine in ten values unchanged, over a bus
// window with logging off; the floor calls the bus's write32 itself with the
// precomputed register words, only where the word changes.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

#include "chassis/maps/tMorro2Cartridge.h"
#include "mdbg/tStatus2.h"
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

// Floor: the register words precomputed, write32 only for a changed word.
void BM_BusWindowWrite32Floor(benchmark::State& state) {
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
BENCHMARK(BM_BusWindowWrite32Floor)->Unit(benchmark::kMillisecond);

}  // namespace
