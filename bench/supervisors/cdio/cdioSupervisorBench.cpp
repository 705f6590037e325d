// The correlated digital supervisors' data paths beside their floors:
//  - a transfer object's read through tCDIReadable (64 samples of 4 bytes)
//    beside the same read called on the FIFO primitive directly;
//  - a one-sample read of the CDI immediate supervisor with an attributes
//    object beside the primitive's read, the two attribute calls and the
//    128-bit add of one period by hand.
// Windows keep no log; a run that allocates from the platform is skipped.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "frame/tFixedPoint128.h"
#include "mdbg/tStatus2.h"
#include "mrl/iEvent.h"
#include "mrl/iRuntimeFacade.h"
#include "msrl/iStreamAttributes.h"
#include "opaque.h"
#include "primitives/cdio/tBaseCDIImmediateTransferPrimitive.h"
#include "primitives/cdio/tTavikCDIODispatcher.h"
#include "primitives/cdio/tTavikCDI_FIFOPrimitive.h"
#include "reservation/tSingularResourcePool.h"
#include "sim/simAllocator.h"
#include "sim/simResourceBroker.h"
#include "sim/tSimCDIOFIFOs.h"
#include "supervisors/cdio/cdioImmediateSupervisors.h"
#include "supervisors/cdio/digitalEndpoints.h"
#include "tavik/tTavikInterruptDispatcher.h"
#include "tavikWindow.h"

namespace {

using nQoMDBG100::tStatus2;

constexpr uint32_t kSamples = 64;
constexpr uint32_t kWidth = 4;

// A CDI FIFO whose input never runs dry.
struct tCDIInput : nQoBench::tTavikWindow {
  tCDIInput() {
    fifos.pushInput(std::vector<uint32_t>(kSamples, 7));
    fifos.onInputRead([&](uint64_t) { fifos.pushInput({7}); });
    windows.setLogging(false);
    bus.setLogging(false);
    bus.recordAccesses(false);
  }

  nQoUdRLP100::tTavikInterruptDispatcher board{&map, 1, &status};
  nQoUdP100::tTavikCDIODispatcher cdio{&board};
  nQoSim::tSimCDIOFIFOs fifos{windows, window};
  nQoUdP100::tCDIODescription description{.cdiFIFODepth = 1024, .sampleWidth = kWidth};
  nQoUdP100::tTavikCDI_FIFOPrimitive fifo{&cdio, &description, &map, status};
  uint8_t buffer[kSamples * kWidth] = {};
};

void BM_CDIReadableRead(benchmark::State& state) {
  const auto held = std::make_unique<tCDIInput>();
  tCDIInput& input = *held;
  nQoUdR100::tCDIReadable readable;
  readable.setFIFO(&input.fifo, kWidth);
  nQoMXSL100::iReadable<unsigned char>& stream = readable;
  const uint64_t allocations = nQoSim::totalAllocations();
  uint64_t bytes = 0;
  for (auto _ : state) bytes += stream.read(input.buffer, sizeof input.buffer, input.status);
  if (nQoSim::totalAllocations() != allocations) state.SkipWithError("allocated");
  if (input.status.code != 0 || bytes != state.iterations() * sizeof input.buffer)
    state.SkipWithError("failed");
  state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_CDIReadableRead);

// Floor: the FIFO primitive's read, called directly through its interface.
void BM_CDIReadableRead_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tCDIInput>();
  tCDIInput& input = *held;
  nQoUdP100::tBaseCDI_FIFOPrimitive& fifo =
      *nQoBench::opaque<nQoUdP100::tBaseCDI_FIFOPrimitive*>(&input.fifo);
  uint64_t bytes = 0;
  for (auto _ : state) bytes += fifo.readSamples(input.buffer, sizeof input.buffer, input.status);
  benchmark::DoNotOptimize(bytes);
  state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_CDIReadableRead_Floor);

// Counts the attribute calls.
class tCountingAttributes : public nQoMSRL100::iStreamAttributes {
 public:
  void setStartTime(uint64_t, tStatus2&) override {}
  void finish(tStatus2&) override {}
  void setTimeStamp(const tPALTime128& stamp, tStatus2&) override { last = stamp.integer; }
  void setInterval(const tPALTime128&, tStatus2&) override { ++calls; }
  int64_t last = 0;
  uint64_t calls = 0;
};

// The task: its event takes registrations and posts and keeps nothing.
class tBenchTask : public nQoMRL100::iRuntimeFacade,
                   public nQoMRL110::iEvent,
                   public virtual nQoORB100::tObject {
 public:
  void* ___CPPKRLDynamicCast(void* const* id) override {
    if (id == &nQoMRL110::iEvent::___classID) return static_cast<nQoMRL110::iEvent*>(this);
    return nQoORB100::tObject::___CPPKRLDynamicCast(id);
  }
  nQoORB100::tObject* getEventObject(const nQoMRL110::tEventIdentifier&, tStatus2&) override {
    return this;
  }
  uint32_t mayBlock(tStatus2&) override { return 1; }
  void endBlocking(tStatus2&) override {}
  void post(const nQoMRL110::tSoftwareAction&, tStatus2&) override {}
  void registerEvent(uint32_t, tStatus2&) override {}
  void unregisterEvent(uint32_t, tStatus2&) override {}
};

// The input with a committed and started immediate transfer.
struct tCDIImmediateInput : tCDIInput {
  tCDIImmediateInput() {
    transfer.commitTransfer(status);
    transfer.commitChannel(status);
    transfer.startTransfer(status);
    transfer.startChannel(status);
  }
  nQoORB100::tGUID identity{1, 2};
  nQoUdP100::tBaseCDIImmediateTransferPrimitive transfer{nullptr, &description, &fifo, &identity,
                                                         status};
};

void BM_CDIImmediateSupervisorRead(benchmark::State& state) {
  tCDIImmediateInput input;
  nQoSim::resetResourceBroker();
  tStatus2 s;
  nQoUdR100::tCDIImmediateTransferSettings settings;
  settings.record<0>().transferMode = 0;
  settings.record<0>().samplePeriod.integer = 1;
  auto& identifier = settings.record<0>().identifier;
  identifier.setString("CDIImmediateTransfer", s);
  nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseCDIImmediateTransferPrimitive*> pool(
      &input.transfer);
  nQoMRL100::getResourceBroker(s)->registerPool(&identifier, &pool, s);
  nQoUdR100::tBaseCDIImmediateTransferSupervisor supervisor;
  tBenchTask task;
  supervisor.initialize(settings, &task, s);
  supervisor.reserveResource(s);
  nQoMSRL100::iInputStream& stream = supervisor;
  tCountingAttributes attributes;
  uint8_t sample[kWidth] = {};
  const uint64_t allocations = nQoSim::totalAllocations();
  uint64_t samples = 0;
  for (auto _ : state) samples += stream.read(1, 0xFFFFFFFF, sample, nullptr, &attributes, s);
  if (nQoSim::totalAllocations() != allocations) state.SkipWithError("allocated");
  if (s.code != 0 || samples != static_cast<uint64_t>(state.iterations()))
    state.SkipWithError("failed");
  tStatus2 down;
  supervisor.releaseResource(down);
  nQoSim::resetResourceBroker();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CDIImmediateSupervisorRead);

// Floor: the time-out and the read on the primitive, the two attribute calls
// and the next stamp moved on by one period.
void BM_CDIImmediateSupervisorRead_Floor(benchmark::State& state) {
  tCDIImmediateInput input;
  tCountingAttributes attributes;
  nQoMSRL100::iStreamAttributes& sink = attributes;
  nQoSS100::tFixedPoint128<64u, true> period(1);
  nQoSS100::tFixedPoint128<64u, true> next(0);
  uint8_t sample[kWidth] = {};
  uint64_t samples = 0;
  for (auto _ : state) {
    input.transfer.setTimeout(0xFFFFFFFF);
    const uint32_t read = input.transfer.read(sample, 1, input.status);
    if (read != 0) {
      tStatus2 local;
      sink.setTimeStamp(next.words(), local);
      sink.setInterval(period.words(), local);
      next += period;
    }
    samples += read;
  }
  benchmark::DoNotOptimize(samples);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CDIImmediateSupervisorRead_Floor);

}  // namespace
