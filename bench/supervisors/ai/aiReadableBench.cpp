// tAIReadable::read of 512-byte blocks (256 16-bit samples) from a FIFO
// double whose readSamples copies from memory, beside a 512-byte memcpy of
// the same bytes. The measured path must not allocate.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>

#include "primitives/ai/tBaseAIDeviceFIFOPrimitive.h"
#include "sim/simAllocator.h"
#include "supervisors/ai/tAIReadable.h"

namespace {

constexpr uint32_t kBytes = 512;

// Always full: every read copies the samples asked for from one array.
class tMemoryFIFO : public nQoUdP100::tBaseAIDeviceFIFOPrimitive {
 public:
  explicit tMemoryFIFO(nQoMDBG100::tStatus2& status) : tBaseAIDeviceFIFOPrimitive(nullptr, status) {
    for (uint32_t i = 0; i < kBytes; ++i) bytes[i] = static_cast<uint8_t>(i);
  }
  uint32_t readSamples(void* buffer, uint32_t count, nQoMDBG100::tStatus2&) override {
    std::memcpy(buffer, bytes, count * 2);
    return count;
  }
  uint32_t isEmpty(nQoMDBG100::tStatus2*) override { return 0; }
  uint32_t getFIFOMode() const override { return 0; }
  void commit(nQoMDBG100::tStatus2&) override {}
  void arm(nQoMDBG100::tStatus2&) override {}
  void disarm(nQoMDBG100::tStatus2&) override {}
  void uncommit(nQoMDBG100::tStatus2&) override {}
  void setFIFOMode(int32_t, nQoMDBG100::tStatus2&, bool) override {}
  void setThreshold(uint32_t, nQoMDBG100::tStatus2&, bool) override {}
  uint32_t readStatusBit10(nQoMDBG100::tStatus2*) override { return 0; }
  uint32_t readStatusBit14(nQoMDBG100::tStatus2*) override { return 0; }
  uint32_t readStatusBit13(nQoMDBG100::tStatus2*) override { return 0; }
  void enableFIFOInterrupt(nQoMDBG100::tStatus2&) override {}
  void disableFIFOInterrupt(nQoMDBG100::tStatus2*) override {}
  uint32_t readSample(void*, nQoMDBG100::tStatus2&) override { return 0; }
  void clearFIFO(nQoMDBG100::tStatus2*) override {}
  void programFIFOMode(nQoMDBG100::tStatus2*) override {}
  void enableOverflowInterrupt(nQoMDBG100::tStatus2&) override {}
  void disableOverflowInterrupt(nQoMDBG100::tStatus2*) override {}
  uint8_t bytes[kBytes];
};

void BM_AIReadableRead512(benchmark::State& state) {
  nQoMDBG100::tStatus2 status;
  tMemoryFIFO fifo(status);
  nQoUdR100::tAIReadable readable;
  readable.setSource(&fifo, fifo.sampleWidth());
  uint8_t out[kBytes];
  uint32_t read = 0;
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    read = readable.read(out, kBytes, status);
    benchmark::DoNotOptimize(out);
  }
  if (status.code != 0 || read != kBytes || out[511] != 255) state.SkipWithError("the read failed");
  if (nQoSim::totalAllocations() != before) state.SkipWithError("the measured path allocated");
}
BENCHMARK(BM_AIReadableRead512);

void BM_AIReadableRead512_Floor(benchmark::State& state) {
  nQoMDBG100::tStatus2 status;
  tMemoryFIFO fifo(status);
  uint8_t out[kBytes];
  uint8_t* volatile source = fifo.bytes;
  for (auto _ : state) {
    std::memcpy(out, source, kBytes);
    benchmark::DoNotOptimize(out);
  }
}
BENCHMARK(BM_AIReadableRead512_Floor);

}  // namespace
