// The AO data path: the FIFO's direct writeSamples of 1,024 samples beside a
// raw loop that reads the FIFO status once, writes the 1,024 sign-extended
// samples and flushes the bus; one refill interrupt of a 1,024-sample chunk
// (status reads, the data source writing the chunk) beside the same raw
// accesses; and the DAC and PWM DAC value writes beside raw writes of the
// same registers. Windows and bus keep no log; a run that allocates from the
// platform is skipped.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "kal/nQoKAL.h"
#include "mdbg/tStatus2.h"
#include "noAllocationCheck.h"
#include "opaque.h"
#include "primitives/ao/tTavikAO_DACPrimitive.h"
#include "primitives/ao/tTavikAO_FIFOPrimitive.h"
#include "sim/tSimRegisterWindows.h"
#include "tavik/tTavikHelper.h"
#include "tavik/tTavikInterruptDispatcher.h"
#include "tavikWindow.h"

namespace {

using nQoBench::tNoAllocationCheck;
using W = nQoSim::tSimRegisterWindows;
using nQoUdP100::tAOFIFOFields;

constexpr uint32_t kSamples = 1024;

struct tAOBoard : nQoBench::tTavikWindow {
  tAOBoard() {
    windows.setLogging(false);
    bus.setLogging(false);
    for (uint32_t i = 0; i < kSamples; ++i) samples[i] = static_cast<int16_t>(i * 61 - 30000);
  }
  // The floors' bus flush, through the bus's interface as the map makes it.
  void flushBus() {
    int code = 0;
    nQoBench::opaque<iBus*>(&bus)->flush(&code);
  }

  nQoUdRLP100::tTavikHelper helper{&map};
  nQoUdRLP100::tTavikInterruptDispatcher dispatcher{&map, 1, &status};
  nQoUdP100::tAOResources resources{&map, &helper, &dispatcher, nullptr};
  nQoUdP100::tAODescription description{
      .fifoDepth = 2048, .refillChunk = 1024, .channelCount = 2, .maxChannels = 2};
  int16_t samples[kSamples] = {};
};

struct tFIFOBoard : tAOBoard {
  tFIFOBoard() { fifo.deploy({.channelCount = 2}); }
  nQoUdP100::tTavikAO_FIFOPrimitive fifo{&description, resources, status};
};

void BM_AOFIFODirectWriteSamples(benchmark::State& state) {
  const auto held = std::make_unique<tFIFOBoard>();
  tFIFOBoard& board = *held;
  board.fifo.deploy({.transferMechanism = tAOFIFOFields::kDirect, .channelCount = 2});
  board.fifo.commit(board.status);
  tNoAllocationCheck check(state);
  for (auto _ : state) {
    benchmark::DoNotOptimize(board.fifo.writeSamples(board.samples, kSamples, board.status));
    benchmark::ClobberMemory();
  }
  if (board.status.code != 0) state.SkipWithError("refused");
  state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_AOFIFODirectWriteSamples);

// Floor: the status read, 1,024 raw 32-bit writes, the bus flush.
void BM_AOFIFODirectWriteSamples_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tFIFOBoard>();
  tFIFOBoard& board = *held;
  const uintptr_t status = board.address(0x106);
  const uintptr_t data = board.address(0xA4);
  for (auto _ : state) {
    benchmark::DoNotOptimize(nQoKAL100_memoryRead16(status));
    for (uint32_t i = 0; i < kSamples; ++i)
      nQoKAL100_memoryWrite32(data, static_cast<uint32_t>(int32_t{board.samples[i]}));
    board.flushBus();
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_AOFIFODirectWriteSamples_Floor);

// Writes each chunk it is asked for into the FIFO.
class tChunkSource : public nQoUdP100::iAODataSource {
 public:
  tChunkSource(nQoUdP100::tTavikAO_FIFOPrimitive& fifo, const int16_t* samples)
      : _fifo(fifo), _samples(samples) {}
  uint32_t writeSample(nQoMDBG100::tStatus2& status, uint64_t) override {
    return _fifo.writeSample(_samples, status);
  }
  uint32_t writeSamples(uint32_t count, nQoMDBG100::tStatus2& status) override {
    return _fifo.writeSamples(_samples, count, status);
  }
  void finish(const nQoMDBG100::tStatus2&) override {}

 private:
  nQoUdP100::tTavikAO_FIFOPrimitive& _fifo;
  const int16_t* _samples;
};

// The status reads of one refill: bit 1 set (and bit 13 clear), then clear.
struct tRefillStatus {
  uint32_t reads = 0;
  uint32_t operator()(unsigned) { return ++reads % 3 == 0 ? 0x0000 : 0x8002; }
};

void BM_AOFIFORefill(benchmark::State& state) {
  const auto held = std::make_unique<tFIFOBoard>();
  tFIFOBoard& board = *held;
  tChunkSource source(board.fifo, board.samples);
  board.fifo.setDataSource(&source);
  board.fifo.deploy({.channelCount = 2, .fifoMode = 1});
  board.fifo.commit(board.status);
  board.fifo.arm(board.status);
  board.windows.setReadCallback(board.window, 0x106, tRefillStatus{});
  tNoAllocationCheck check(state);
  for (auto _ : state) {
    benchmark::DoNotOptimize(board.fifo.handleInterruptCode(1));
    benchmark::ClobberMemory();
  }
  if (board.fifo.refillChunk() != kSamples) state.SkipWithError("no refill");
  board.windows.setReadCallback(board.window, 0x106, nullptr);
  board.fifo.uncommit(board.status);
  state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_AOFIFORefill);

// Floor: the three status reads, the chunk's raw writes, the bus flush.
void BM_AOFIFORefill_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tFIFOBoard>();
  tFIFOBoard& board = *held;
  board.windows.setReadCallback(board.window, 0x106, tRefillStatus{});
  const uintptr_t status = board.address(0x106);
  const uintptr_t data = board.address(0xA4);
  for (auto _ : state) {
    while ((nQoKAL100_memoryRead16(status) & 0x2) != 0) {
      benchmark::DoNotOptimize(nQoKAL100_memoryRead16(status));
      for (uint32_t i = 0; i < kSamples; ++i)
        nQoKAL100_memoryWrite32(data, static_cast<uint32_t>(int32_t{board.samples[i]}));
      board.flushBus();
    }
    benchmark::ClobberMemory();
  }
  board.windows.setReadCallback(board.window, 0x106, nullptr);
  state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_AOFIFORefill_Floor);

void BM_DACWriteValue(benchmark::State& state) {
  const auto held = std::make_unique<tAOBoard>();
  tAOBoard& board = *held;
  nQoUdP100::tTavikAO_DACPrimitive dac(board.resources, 1, 1, false, board.status);
  tNoAllocationCheck check(state);
  uint32_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(dac.writeValue(&board.samples[i++ % kSamples], board.status));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DACWriteValue);

// Floor: the raw 32-bit write of the sign-extended code and the bus flush.
void BM_DACWriteValue_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tAOBoard>();
  tAOBoard& board = *held;
  const uintptr_t data = board.address(0xC4);
  uint32_t i = 0;
  for (auto _ : state) {
    nQoKAL100_memoryWrite32(data, static_cast<uint32_t>(int32_t{board.samples[i++ % kSamples]}));
    board.flushBus();
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DACWriteValue_Floor);

void BM_PWMDACWriteValue(benchmark::State& state) {
  const auto held = std::make_unique<tAOBoard>();
  tAOBoard& board = *held;
  nQoUdP100::tTavikAO_PWM_DACPrimitive pwm(board.resources, 0, board.status);
  tNoAllocationCheck check(state);
  uint32_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(pwm.writeValue(&board.samples[i++ % kSamples], board.status));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PWMDACWriteValue);

// Floor: the coarse and fine values into bits 9:0 of the two registers
// (bits 15:10 kept from a copy), two raw 16-bit writes and the bus flush.
void BM_PWMDACWriteValue_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tAOBoard>();
  tAOBoard& board = *held;
  const uintptr_t coarseAt = board.address(0x48);
  const uintptr_t fineAt = board.address(0x4C);
  uint16_t coarseCopy = 0;
  uint16_t fineCopy = 0;
  uint32_t i = 0;
  for (auto _ : state) {
    const int32_t sample = board.samples[i++ % kSamples];
    const uint32_t coarse = (static_cast<uint32_t>(sample >> 7) & 0x1FF) + 0x100;
    const uint32_t fine = (static_cast<uint32_t>(sample) & 0x7F) * 1564 / 1000 + 768;
    coarseCopy = static_cast<uint16_t>((coarseCopy & 0xFC00) | coarse);
    fineCopy = static_cast<uint16_t>((fineCopy & 0xFC00) | fine);
    nQoKAL100_memoryWrite16(coarseAt, coarseCopy);
    nQoKAL100_memoryWrite16(fineAt, fineCopy);
    board.flushBus();
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PWMDACWriteValue_Floor);

}  // namespace
