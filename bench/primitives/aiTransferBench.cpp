// The AI transfers' data paths on a simulated window without log: the
// immediate transfer's read of one 1,024-sample set beside a raw loop that
// reads the status word and the data register per sample and checks the
// overrun and overflow bits once; the interrupt transfer's FIFO pass moving
// blocks of 16 into a destination beside the same threshold reads and moves
// done by hand; the immediate DMA transfer's resolve of one finished block
// beside the raw status read, acknowledge and event set. A run that allocates
// from the platform is skipped.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "kal/nQoKAL.h"
#include "mdbg/tStatus2.h"
#include "noAllocationCheck.h"
#include "opaque.h"
#include "primitives/ai/tAIDeviceFIFOPrimitive.h"
#include "primitives/ai/tAIImmediateDMATransferPrimitive.h"
#include "primitives/ai/tAIInterruptTransferPrimitive.h"
#include "primitives/ai/tAIScanningFrontEndPrimitive.h"
#include "primitives/ai/tAI_ADCPrimitive.h"
#include "primitives/ai/tBaseAIImmediateTransferPrimitive.h"
#include "primitives/ai/tTavikAITimingControllerPrimitive.h"
#include "sim/tSimRegisterWindows.h"
#include "sync/iSync.h"
#include "tavik/tTavikHelper.h"
#include "tavik/tTavikInterruptDispatcher.h"
#include "tavikWindow.h"

namespace {

using nQoBench::tNoAllocationCheck;
using nQoMDBG100::tStatus2;
using W = nQoSim::tSimRegisterWindows;

constexpr uint32_t kSamples = 1024;
constexpr uint32_t kBlock = 16;
constexpr uint32_t kBlocksPerPass = 64;
constexpr uint32_t kEmptyBit = 0x1000;
constexpr uint32_t kErrorBits = 0x0C00;

// Every range is gain 1, polarity 0.
struct tAnyRange : nQoUdP100::iAIRangeCodes {
  void findRange(const nQoUdRLP100::tInterval*, uint16_t* gain, uint16_t* polarity,
                 tStatus2&) const override {
    *gain = 1;
    *polarity = 0;
  }
};

// The AI road with a never-empty FIFO and one channel of 1,024 samples.
struct tAIBoard : nQoBench::tTavikWindow {
  tAIBoard() {
    windows.setRead(window, 0x1C, 32, 0x12345678);
    windows.setRead(window, 0x104, 16, 0);
    windows.setLogging(false);
    bus.setLogging(false);
    nQoUdP100::tAITimingControllerPrimitiveConfig config;
    config.timing.timingMode = 2;
    config.timing.strobeLoadValue = kSamples;
    config.hasRouting = 1;
    config.routing.words[7] = 19;
    // The engine committed, as the subsystem commits it before the
    // transfers, whose sets and scans go by what it programmed.
    timing.setConfiguration(config, status);
    timing.commit(status);
    nQoUdP100::tAIScanningFrontEndPrimitiveConfig channels;
    nQoUdP100::tAIScanningFrontEndConfig channel;
    channel.channelFlags = 1;
    channels.channels.append(channel);
    // Committed, as the subsystem commits it before the transfers, whose
    // commits go by the channels it programmed.
    frontEndDescription.rangeCodes = &ranges;
    frontEnd.setConfiguration(channels, status);
    frontEnd.commit(status);
    description.fifo = &fifoDescription;
    description.firstEntry = &entry;
    description.samples = &samples;
  }

  nQoUdRLP100::tTavikHelper helper{&map};
  nQoUdRLP100::tTavikInterruptDispatcher dispatcher{&map, 1, &status};
  nQoUdP100::tAIFirstEntry entry;
  nQoUdP100::tAIFIFODescription fifoDescription{4096, 4, 0};
  nQoUdP100::tAISampleDescription samples{kBlock};
  tAnyRange ranges;
  nQoUdP100::tAIFrontEndDescription frontEndDescription;
  nQoUdP100::tAIDescription description;
  nQoUdP100::tDeviceInfo deviceInfo;
  nQoUdP100::tAI_ADCPrimitive converter{&entry, &map, &dispatcher, status};
  nQoUdP100::tTavikAITimingControllerPrimitive timing{&entry, &map, &helper, &dispatcher, status};
  nQoUdP100::tAIDeviceFIFOPrimitive fifo{&fifoDescription, &map, &dispatcher, status};
  nQoUdP100::tAIScanningFrontEndPrimitive frontEnd{&frontEndDescription, &map, &helper, status};
  nQoUdP100::tBaseAI_WFNSCPrimitive wfnsc{&timing, &converter};
  uint32_t buffer[kSamples] = {};
};

void BM_ImmediateReadOneSet(benchmark::State& state) {
  const auto held = std::make_unique<tAIBoard>();
  tAIBoard& board = *held;
  nQoUdP100::tBaseAIImmediateTransferPrimitive immediate(
      &board.bus, &board.deviceInfo, &board.frontEnd, &board.wfnsc, &board.converter, &board.timing,
      &board.fifo, &board.description, board.status);
  immediate.setReadOption1(false);
  immediate.reserveTransfer(board.status);
  immediate.commitTransfer(board.status);
  immediate.armTransfer(board.status);
  immediate.startTransfer(board.status);
  tNoAllocationCheck check(state);
  for (auto _ : state) {
    uint32_t bytes = 0;
    benchmark::DoNotOptimize(immediate.read(board.buffer, 1, board.status, &bytes, 0xFFFFFFFF,
                                            kTimerTimeUnitMillisecond));
    benchmark::ClobberMemory();
  }
  if (board.status.code != 0) state.SkipWithError("read failed");
  state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_ImmediateReadOneSet);

// Floor: per sample the status word's empty bit and one data read, then the
// overrun and overflow bits.
void BM_ImmediateReadOneSet_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tAIBoard>();
  tAIBoard& board = *held;
  const uintptr_t statusWord = board.address(0x104);
  const uintptr_t data = board.address(0x1C);
  for (auto _ : state) {
    uint32_t read = 0;
    while (read < kSamples && (nQoKAL100_memoryRead16(statusWord) & kEmptyBit) == 0)
      board.buffer[read++] = nQoKAL100_memoryRead32(data);
    benchmark::DoNotOptimize((nQoKAL100_memoryRead16(statusWord) & kErrorBits) != 0 ||
                             (nQoKAL100_memoryRead16(statusWord) & kErrorBits) != 0);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_ImmediateReadOneSet_Floor);

// Moves what it is asked for with one raw read per sample.
class tRawDestination : public nQoUdP100::tBaseAIInterruptTransferPrimitive::iDestination {
 public:
  tRawDestination(uintptr_t data, uint32_t* buffer) : _data(data), _buffer(buffer) {}
  uint32_t move(uint32_t count, tStatus2&) override {
    for (uint32_t i = 0; i < count; ++i) _buffer[i] = nQoKAL100_memoryRead32(_data);
    return count;
  }
  void transferEnded(const tStatus2&, tStatus2&) override {}

 private:
  uintptr_t _data;
  uint32_t* _buffer;
};

// The status word reads not empty for kBlocksPerPass reads, then empty.
void scriptPass(tAIBoard& board, uint32_t& reads) {
  board.windows.setReadCallback(board.window, 0x104, [&reads](unsigned) {
    return reads++ % (kBlocksPerPass + 1) == kBlocksPerPass ? kEmptyBit : 0u;
  });
}

void BM_InterruptFIFOPass(benchmark::State& state) {
  const auto held = std::make_unique<tAIBoard>();
  tAIBoard& board = *held;
  uint32_t reads = 0;
  scriptPass(board, reads);
  nQoUdP100::tAIInterruptTransferPrimitive transfer(&board.description, &board.converter,
                                                    &board.timing, &board.fifo, board.deviceInfo,
                                                    &board.map, board.status);
  tRawDestination destination(board.address(0x1C), board.buffer);
  transfer.setDestination(&destination);
  transfer.commit(board.status);
  transfer.arm(board.status);
  tNoAllocationCheck check(state);
  for (auto _ : state) {
    benchmark::DoNotOptimize(transfer.fifoReady(&board.fifo, board.status));
    benchmark::ClobberMemory();
  }
  if (board.status.code != 0) state.SkipWithError("pass failed");
  state.SetItemsProcessed(state.iterations() * kBlocksPerPass * kBlock);
}
BENCHMARK(BM_InterruptFIFOPass);

// Floor: the same threshold reads and block moves by hand, the destination
// called through its interface.
void BM_InterruptFIFOPass_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tAIBoard>();
  tAIBoard& board = *held;
  uint32_t reads = 0;
  scriptPass(board, reads);
  tRawDestination raw(board.address(0x1C), board.buffer);
  nQoUdP100::tBaseAIInterruptTransferPrimitive::iDestination* destination =
      nQoBench::opaque<nQoUdP100::tBaseAIInterruptTransferPrimitive::iDestination*>(&raw);
  const uintptr_t statusWord = board.address(0x104);
  for (auto _ : state) {
    tStatus2 local;
    while ((nQoKAL100_memoryRead16(statusWord) & kEmptyBit) == 0)
      benchmark::DoNotOptimize(destination->move(kBlock, local));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kBlocksPerPass * kBlock);
}
BENCHMARK(BM_InterruptFIFOPass_Floor);

// A committed immediate DMA transfer whose client named its event, and a
// channel whose status shows a finished block.
struct tImmediateDMABoard : tAIBoard {
  static constexpr uint64_t kKey = 0x77;
  tImmediateDMABoard() {
    windows.setRead(vesk, 0x3C, 32, 0x80000);
    transfer.deployHeaderWords({.word12 = 1});
    transfer.setListenerKey(kKey);
    bus.setDMAChannelNumber(0);
    transfer.reserveDMAChannel(status);
    transfer.commitChannel(status);
    transfer.commit(status);
    uint8_t request[24] = {};
    std::memcpy(request, &kKey, sizeof kKey);
    uint8_t reply[16];
    uint32_t replySize = 0;
    transfer.listener().handleRequest(request, sizeof request, reply, sizeof reply, &replySize, 3,
                                      0, status);
  }
  const unsigned vesk = windows.addWindow(0x84);
  nQoUdRLP100::tVESKChannel channel{&bus, vesk, &status};
  nQoUdRLP100::tVESKChannel* channels[1] = {&channel};
  nQoUdP100::tAIImmediateDMATransferPrimitive transfer{
      &bus, &deviceInfo, &frontEnd, &converter, &timing, &fifo, &map, channels, 1, status};
};

void BM_ImmediateDMAResolve(benchmark::State& state) {
  const auto held = std::make_unique<tImmediateDMABoard>();
  tImmediateDMABoard& board = *held;
  iBusInterruptResolver* resolver = board.transfer.resolver();
  if (resolver == nullptr) return state.SkipWithError("no resolver");
  tNoAllocationCheck check(state);
  for (auto _ : state) benchmark::DoNotOptimize(resolver->resolve());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ImmediateDMAResolve);

// Floor: the status read, the acknowledge and the event set by hand.
void BM_ImmediateDMAResolve_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tImmediateDMABoard>();
  tImmediateDMABoard& board = *held;
  iSync::tParam param;
  param.kind = 2;
  int code = 0;
  iSync* event = syncOpen(param, &code);
  const uintptr_t base = static_cast<uintptr_t>(board.windows.base(board.vesk));
  for (auto _ : state) {
    if ((nQoKAL100_memoryRead32(base + 0x3C) & 0x80000) != 0) {
      nQoKAL100_memoryWrite32(base, 0x20);
      event->releaseOrSet(&code);
    }
    benchmark::ClobberMemory();
  }
  syncClose(event);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ImmediateDMAResolve_Floor);

}  // namespace
