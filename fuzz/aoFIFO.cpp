// AO FIFO fields from outside: the bytes give the board's FIFO depth and
// order size, the transfer mechanism, FIFO mode, channel count, total, DMA
// channel, regeneration, the channel order, the group-B and serial status
// words and how many samples the data source writes; then commit, arm, one
// interrupt with its secondary pass, a direct write and uncommit run. Every
// access stays inside the map (the simulated bus halts otherwise), and only
// the FIFO's own codes appear.
//
// Layout (missing bytes read as 0): depth choice, order size, mechanism,
// FIFO mode, channel count, total (16 bits), DMA channel, regeneration,
// 0x106 (16 bits), 0xA1, data-source budget (16 bits), then the order entries.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "mdbg/tStatus2.h"
#include "primitives/ao/tTavikAOTimingControllerPrimitive.h"
#include "primitives/ao/tTavikAO_FIFOPrimitive.h"
#include "sim/tSimBus.h"
#include "sim/tSimRegisterWindows.h"
#include "support/tFreshSimulation.h"
#include "tavik/tTavik.h"
#include "tavik/tTavikHelper.h"
#include "tavik/tTavikInterruptDispatcher.h"

namespace {

using W = nQoSim::tSimRegisterWindows;

void check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz_aoFIFO: %s\n", what);
  std::abort();
}

bool oneOf(int code, std::initializer_list<int> codes) {
  for (int allowed : codes)
    if (code == allowed) return true;
  return false;
}

class tBytes {
 public:
  tBytes(const uint8_t* data, size_t size) : _data(data), _size(size) {}
  uint32_t take(unsigned bytes) {
    uint32_t value = 0;
    for (unsigned at = 0; at < bytes; ++at, ++_at)
      if (_at < _size) value |= uint32_t(_data[_at]) << (8 * at);
    return value;
  }

 private:
  const uint8_t* _data;
  size_t _size;
  size_t _at = 0;
};

// Writes samples until its budget is spent, then nothing.
class tBudgetSource : public nQoUdP100::iAODataSource {
 public:
  explicit tBudgetSource(uint32_t budget) : _budget(budget) {}
  uint32_t writeSample(nQoMDBG100::tStatus2&, uint64_t) override { return take(1); }
  uint32_t writeSamples(uint32_t count, nQoMDBG100::tStatus2&) override { return take(count); }
  void finish(const nQoMDBG100::tStatus2& fifoStatus) override {
    ++finishes;
    check(oneOf(fifoStatus.code, {0, -200166, -200290, -200016, -200018}), "own status code");
  }
  int finishes = 0;

 private:
  uint32_t take(uint32_t count) {
    const uint32_t taken = count < _budget ? count : _budget;
    _budget -= taken;
    return taken;
  }
  uint32_t _budget;
};

constexpr uint32_t kDepths[] = {0, 1, 16, 2048};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  static W windows;
  static const unsigned window = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  static nQoSim::tSimBus bus(windows);
  bus.setLogging(false);
  windows.setLogging(false);
  windows.clearLog();

  tBytes bytes(data, size);
  nQoUdP100::tAODescription description;
  description.fifoDepth = kDepths[bytes.take(1) % 4];
  description.refillChunk = 4;
  description.maxChannels = bytes.take(1) % 24;
  const uint32_t mechanism = bytes.take(1);
  const uint32_t fifoMode = bytes.take(1);
  const uint32_t channelCount = bytes.take(1);
  const uint32_t total = bytes.take(2);
  const uint32_t dmaChannel = bytes.take(1);
  const uint32_t regenerate = bytes.take(1) & 1;
  windows.setRead(window, 0x106, 16, bytes.take(2));
  windows.setRead(window, 0xA1, 8, bytes.take(1));
  tBudgetSource source(bytes.take(2));
  {
    nQoMDBG100::tStatus2 status;
    nQoUdRLP100::nTavik::tTavik map(&bus, window, &status);
    nQoUdRLP100::tTavikHelper helper(&map);
    nQoUdRLP100::tTavikInterruptDispatcher dispatcher(&map, 1, &status);
    const nQoUdP100::tAOResources resources{&map, &helper, &dispatcher, nullptr};
    nQoUdP100::tTavikAO_FIFOPrimitive fifo(&description, resources, status);
    nQoUdP100::tTavikAOTimingControllerPrimitive timing(&description, resources, &fifo, status);
    fifo.setTimingController(&timing);
    check(status.code == 0, "set-up failed");

    fifo.deploy({.transferMechanism = mechanism,
                 .channelCount = channelCount,
                 .fifoMode = fifoMode,
                 .totalSamples = total,
                 .dmaChannel = dmaChannel});
    fifo.setDataSource(&source);
    for (uint32_t k = 0; k < fifo.maxChannels(); ++k) fifo.channelOrder()[k] = bytes.take(1);
    fifo.setRegenerateFromFIFO(regenerate, status);
    check(oneOf(status.code, {0, -223749}), "regeneration code");

    nQoMDBG100::tStatus2 commit;
    fifo.commit(commit);
    check(oneOf(commit.code, {0, -223749}), "commit code");
    nQoMDBG100::tStatus2 run;
    if (commit.code == 0) {
      fifo.arm(run);
      check(run.code == 0, "arm code");
    }
    dispatcher.resolvePrimaryInterrupt();
    dispatcher.resolveSecondaryInterrupt();
    const int16_t samples[4] = {1, -1, 0x7FFF, -0x8000};
    nQoMDBG100::tStatus2 direct;
    fifo.writeSamples(samples, 4, direct);
    fifo.writeSample(samples, direct);
    check(oneOf(direct.code, {0, -200795, 209801}), "write code");
    fifo.uncommit(run);
    check(run.code == 0, "uncommit code");
    check(source.finishes <= 1, "completion reported twice");
  }
  return 0;
}
