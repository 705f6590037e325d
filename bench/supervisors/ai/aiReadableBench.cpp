// tAIReadable::read of 512-byte blocks (256 16-bit samples) from a FIFO
// double whose readSamples copies from memory, beside the read's checks and
// one readSamples call through the FIFO's interface by hand (the physical
// floor: a 512-byte memcpy of the same bytes). The FIFO's bytes and the
// destination lie in one piece, at one distance in every benchmark. The
// measured path must not allocate.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>

#include "opaque.h"
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

// The FIFO and the destination in one piece.
struct tParts {
  nQoMDBG100::tStatus2 status;
  tMemoryFIFO fifo{status};
  uint8_t out[kBytes] = {};
};

void BM_AIReadableRead512(benchmark::State& state) {
  tParts parts;
  nQoMDBG100::tStatus2& status = parts.status;
  nQoUdR100::tAIReadable readable;
  readable.setSource(&parts.fifo, parts.fifo.sampleWidth());
  uint32_t read = 0;
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    read = readable.read(parts.out, kBytes, status);
    benchmark::DoNotOptimize(parts.out);
  }
  if (status.code != 0 || read != kBytes || parts.out[511] != 255)
    state.SkipWithError("the read failed");
  if (nQoSim::totalAllocations() != before) state.SkipWithError("the measured path allocated");
}
BENCHMARK(BM_AIReadableRead512);

// Floor: the status, source and width checks, the whole samples asked of the
// FIFO through its interface, the bytes stored counted.
void BM_AIReadableRead512_Floor(benchmark::State& state) {
  tParts parts;
  nQoUdP100::tBaseAIDeviceFIFOPrimitive* fifo =
      nQoBench::opaque<nQoUdP100::tBaseAIDeviceFIFOPrimitive*>(&parts.fifo);
  const uint32_t width = nQoBench::opaque(parts.fifo.sampleWidth());
  uint32_t read = 0;
  for (auto _ : state) {
    if (parts.status.isFatal() || fifo == nullptr || width == 0) continue;
    const uint32_t samples = kBytes / width;
    const uint32_t got = fifo->readSamples(parts.out, samples, parts.status);
    read = (got < samples ? got : samples) * width;
    benchmark::DoNotOptimize(parts.out);
  }
  if (read != kBytes || parts.out[511] != 255) state.SkipWithError("the read failed");
}
BENCHMARK(BM_AIReadableRead512_Floor);

// Physical floor: the same bytes copied.
void BM_AIReadableRead512_PhysicalFloor(benchmark::State& state) {
  tParts parts;
  uint8_t* volatile source = parts.fifo.bytes;
  for (auto _ : state) {
    std::memcpy(parts.out, source, kBytes);
    benchmark::DoNotOptimize(parts.out);
  }
}
BENCHMARK(BM_AIReadableRead512_PhysicalFloor);

}  // namespace
