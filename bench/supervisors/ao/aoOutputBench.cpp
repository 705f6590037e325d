// The analog-output write paths: 512 bytes through the stream adapter into a
// FIFO double, beside the adapter's checks and the one writeSamples call
// through the FIFO's interface by hand (the physical floor: the copy the
// double makes); and 64 scans of 8 channels through the DAC transfer
// supervisor, beside the write's checks and each channel's writeValue through
// the DAC's interface by hand (the physical floor: the calls made straight
// from a table). The measured paths must not allocate.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "frame/tPassCount.h"
#include "mrl/iPrimitiveSupervisorMap.h"
#include "mrl/iResourceBroker.h"
#include "opaque.h"
#include "sim/simAllocator.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "supervisors/ao/tAOStreamAdapter.h"
#include "supervisors/ao/tBaseAO_DACSupervisor.h"
#include "supervisors/ao/tBaseAO_DACTransferSupervisor.h"

namespace {

constexpr uint32_t kBytes = 512;
constexpr uint32_t kChannels = 8;
constexpr uint32_t kScans = 64;

struct tDescribed {
  nQoMDBG100::tStatus2 built;
  nQoUdP100::tAODescription description{.fifoDepth = 1024, .maxChannels = 4};
};

// Keeps the samples it is given.
class tArrayFIFO : private tDescribed, public nQoUdP100::tBaseAO_FIFOPrimitive {
 public:
  tArrayFIFO() : tBaseAO_FIFOPrimitive(&description, built) {}
  void commit(tStatus2&) override {}
  void uncommit(tStatus2&) override {}
  void arm(tStatus2&) override {}
  void complete(tStatus2&) override {}
  void start(tStatus2&) override {}
  void restoreArmed(tStatus2&) override {}
  void clearFIFO(tStatus2&) override {}
  uint32_t writeSample(const int16_t* sample, tStatus2&) override {
    samples[0] = *sample;
    return 1;
  }
  uint32_t writeSamples(const int16_t* source, uint32_t count, tStatus2&) override {
    for (uint32_t k = 0; k < count; ++k) samples[k] = source[k];
    return count;
  }
  int16_t samples[kBytes / 2] = {};
};

// Keeps the last value it is given.
class tLastValueDAC : public nQoUdP100::tBaseAO_DACPrimitive {
 public:
  tLastValueDAC() : tBaseAO_DACPrimitive(0, 0) {}
  uint32_t writeValue(const int16_t* value, tStatus2&) override {
    last = *value;
    return 1;
  }
  void commit(tStatus2&) override {}
  void uncommit(tStatus2&) override {}
  int16_t last = 0;
};

class tArrayMap : public nQoMRL100::iPrimitiveSupervisorMap {
 public:
  nQoMRL100::iPrimitiveSupervisor* lookup(uint32_t key, nQoMDBG100::tStatus2&) override {
    return key < kChannels ? entries[key] : nullptr;
  }
  nQoMRL100::iPrimitiveSupervisor* entries[kChannels] = {};
};

void BM_AOAdapterWrite(benchmark::State& state) {
  nQoSim::setStatusLogging(false);
  tArrayFIFO fifo;
  nQoUdR100::tAOStreamAdapter adapter;
  adapter.linkInterrupt(&fifo, nullptr, nullptr);
  alignas(2) unsigned char bytes[kBytes];
  for (uint32_t k = 0; k < kBytes; ++k) bytes[k] = static_cast<unsigned char>(k);
  nQoMDBG100::tStatus2 status;
  uint32_t taken = 0;
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    taken = adapter.write(bytes, kBytes, status);
    benchmark::DoNotOptimize(fifo.samples);
  }
  if (status.code != 0 || taken != kBytes) state.SkipWithError("the write failed");
  if (nQoSim::totalAllocations() != before) state.SkipWithError("the measured path allocated");
  nQoSim::setStatusLogging(true);
}
BENCHMARK(BM_AOAdapterWrite);

// Floor: the adapter's link and alignment checks, then one writeSamples call
// through the FIFO's interface, counted in and out: the least that lets an
// unlink on another thread wait for it.
void BM_AOAdapterWrite_Floor(benchmark::State& state) {
  tArrayFIFO fifo;
  nQoUdP100::tBaseAO_FIFOPrimitive* linked =
      nQoBench::opaque<nQoUdP100::tBaseAO_FIFOPrimitive*>(&fifo);
  alignas(2) unsigned char bytes[kBytes];
  for (uint32_t k = 0; k < kBytes; ++k) bytes[k] = static_cast<unsigned char>(k);
  const unsigned char* from = nQoBench::opaque<const unsigned char*>(bytes);
  nQoUdR100::tPassCount writes;
  nQoMDBG100::tStatus2 status;
  uint32_t taken = 0;
  for (auto _ : state) {
    const nQoUdR100::tPassCount::tInside inside(writes);
    if (linked != nullptr && reinterpret_cast<uintptr_t>(from) % alignof(int16_t) == 0)
      taken = linked->writeSamples(reinterpret_cast<const int16_t*>(from), kBytes >> 1, status) * 2;
    benchmark::DoNotOptimize(fifo.samples);
  }
  if (taken != kBytes) state.SkipWithError("the write failed");
}
BENCHMARK(BM_AOAdapterWrite_Floor);

// Physical floor: the copy the FIFO double makes.
void BM_AOAdapterWrite_PhysicalFloor(benchmark::State& state) {
  alignas(2) unsigned char bytes[kBytes];
  for (uint32_t k = 0; k < kBytes; ++k) bytes[k] = static_cast<unsigned char>(k);
  int16_t samples[kBytes / 2];
  const int16_t* volatile source = reinterpret_cast<const int16_t*>(bytes);
  for (auto _ : state) {
    const int16_t* from = source;
    for (uint32_t k = 0; k < kBytes / 2; ++k) samples[k] = from[k];
    benchmark::DoNotOptimize(samples);
  }
}
BENCHMARK(BM_AOAdapterWrite_PhysicalFloor);

void BM_AODACTransfer(benchmark::State& state) {
  nQoSim::resetResourceBroker();
  nQoSim::setStatusLogging(false);
  nQoMDBG100::tStatus2 status;
  tLastValueDAC dacs[kChannels];
  nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseAO_DACPrimitive*>* pools[kChannels] = {};
  nQoUdR100::tAO_DACSettings dacSettings[kChannels];
  nQoUdR100::tBaseAO_DACSupervisor dacSupervisors[kChannels];
  tArrayMap map;
  nQoUdR100::tAO_DACTransferSettings settings;
  for (uint32_t k = 0; k < kChannels; ++k) {
    pools[k] = new nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseAO_DACPrimitive*>(&dacs[k]);
    nQoMRL100::tGeneralIdentifier& identifier = dacSettings[k].record<0>().identifier;
    identifier.setString("AO", status);
    identifier.setIndex(k);
    nQoMRL100::getResourceBroker(status)->registerPool(&identifier, pools[k], status);
    dacSupervisors[k].initialize(dacSettings[k], nullptr, status);
    dacSupervisors[k].reserveResource(status);
    map.entries[k] = &dacSupervisors[k];
    settings.list.append(k);
  }
  nQoUdR100::tBaseAO_DACTransferSupervisor transfer;
  transfer.initialize(settings, nullptr, status);
  transfer.link(map, status);
  transfer.linkResource(status);
  int16_t samples[kChannels * kScans];
  for (uint32_t k = 0; k < kChannels * kScans; ++k) samples[k] = static_cast<int16_t>(k);
  uint32_t written = 0;
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    written = transfer.write(kScans, 0, samples, nullptr, status);
    benchmark::DoNotOptimize(dacs);
  }
  if (status.code != 0 || written != kScans) state.SkipWithError("the transfer failed");
  if (nQoSim::totalAllocations() != before) state.SkipWithError("the measured path allocated");
  transfer.unlinkResource(status);
  transfer.unlink(status);
  for (uint32_t k = 0; k < kChannels; ++k) {
    dacSupervisors[k].releaseResource(status);
    delete pools[k];
  }
  nQoSim::resetResourceBroker();
  nQoSim::setStatusLogging(true);
}
BENCHMARK(BM_AODACTransfer);

// Floor: the write's status, channel and link checks, then scan by scan each
// channel's writeValue through the DAC's interface, its mask entry asked, and
// the test for an update pulse after the scan.
void BM_AODACTransfer_Floor(benchmark::State& state) {
  tLastValueDAC dacs[kChannels];
  nQoUdP100::tBaseAO_DACPrimitive* channels[kChannels];
  for (uint32_t k = 0; k < kChannels; ++k)
    channels[k] = nQoBench::opaque<nQoUdP100::tBaseAO_DACPrimitive*>(&dacs[k]);
  int16_t samples[kChannels * kScans];
  for (uint32_t k = 0; k < kChannels * kScans; ++k) samples[k] = static_cast<int16_t>(k);
  const uint16_t* mask = nQoBench::opaque<const uint16_t*>(nullptr);
  const uint32_t pulse = nQoBench::opaque(0u);
  const uint32_t count = nQoBench::opaque(kChannels);
  nQoMDBG100::tStatus2 status;
  uint32_t written = 0;
  uint32_t pulses = 0;
  for (auto _ : state) {
    if (status.isFatal() || count == 0) continue;
    bool linked = true;
    for (uint32_t k = 0; k < count; ++k) linked = linked && channels[k] != nullptr;
    if (!linked) continue;
    uint64_t values = 0;
    const int16_t* scan = samples;
    for (uint32_t s = 0; s < kScans; ++s, scan += count) {
      for (uint32_t k = 0; k < count; ++k) {
        if (mask != nullptr && mask[k] == 0) continue;
        channels[k]->writeValue(scan + k, status);
        ++values;
      }
      if (pulse != 0) ++pulses;
    }
    written = static_cast<uint32_t>(values / count);
    benchmark::DoNotOptimize(dacs);
  }
  benchmark::DoNotOptimize(pulses);
  if (written != kScans) state.SkipWithError("the transfer failed");
}
BENCHMARK(BM_AODACTransfer_Floor);

// Physical floor: the same writeValue calls made straight from a table.
void BM_AODACTransfer_PhysicalFloor(benchmark::State& state) {
  tLastValueDAC dacs[kChannels];
  nQoUdP100::tBaseAO_DACPrimitive* volatile channels[kChannels];
  for (uint32_t k = 0; k < kChannels; ++k) channels[k] = &dacs[k];
  int16_t samples[kChannels * kScans];
  for (uint32_t k = 0; k < kChannels * kScans; ++k) samples[k] = static_cast<int16_t>(k);
  nQoMDBG100::tStatus2 status;
  for (auto _ : state) {
    for (uint32_t s = 0; s < kScans; ++s)
      for (uint32_t k = 0; k < kChannels; ++k)
        channels[k]->writeValue(samples + s * kChannels + k, status);
    benchmark::DoNotOptimize(dacs);
  }
}
BENCHMARK(BM_AODACTransfer_PhysicalFloor);

}  // namespace
