// The change interrupt's primary handler with a readable and 0, 1 or 8
// latching lines (window logging off), beside a floor that does the same
// observable work by hand: each line's register read, the change-status
// read, the readable's 4 bytes into the half that the shared counter picks
// of a buffer that is held, the record that the half was filled (which a
// read checks before it takes the half), and the 64-bit count increment.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "frame/kernelShims.h"
#include "mdbg/tStatus2.h"
#include "mrl/iDigReadablePrimSup.h"
#include "opaque.h"
#include "primitives/dio/tImmedDigLatchingPrimitive.h"
#include "primitives/dio/tPCITavikChangeDetectionPrimitive.h"
#include "primitives/dio/tTavikImmedDigPrimitive.h"
#include "sync/tSyncAtomicU32.h"
#include "tavik/tTavikInterruptDispatcher.h"
#include "tavikWindow.h"

namespace {

constexpr int kPasses = 100000;
constexpr uint32_t kSampleBytes = 4;

// Copies the lines it was given into the half, as a board's readable does.
class tCopyingReadable : public nQoCDR100::iDigReadablePrim {
 public:
  void read(uint32_t, uint8_t* buffer, uint32_t size, uint32_t, uint32_t* result,
            nQoMDBG100::tStatus2&) override {
    std::memcpy(buffer, &lines, size);
    *result = 1;
  }
  uint32_t lines = 0x5AA5C33C;
};

struct tQuietBoard : nQoBench::tTavikWindow {
  explicit tQuietBoard(int lineCount) {
    windows.setLogging(false);
    bus.setLogging(false);
    for (int i = 0; i < lineCount; ++i)
      latching.push_back(new nQoUdP100::tImmedDigLatchingPrimitive(&port));
    detector = new nQoUdR100::tPCITavikChangeDetectionPrimitive(
        &map, &dispatcher, info, latching.data(), latching.size(), status);
    detector->setReadable(&readable);
    detector->allocateBuffer(kSampleBytes, status);
  }
  ~tQuietBoard() {
    detector->releaseBuffer(status);
    delete detector;
    for (auto* line : latching) delete line;
  }
  nQoUdRLP100::tTavikInterruptDispatcher dispatcher{&map, 1, &status};
  nQoUdP100::tTavikImmedDigPrimitive port{map, status};
  nQoUdP100::tDeviceInfo info;
  std::vector<nQoUdP100::tImmedDigLatchingPrimitive*> latching;
  tCopyingReadable readable;
  nQoUdR100::tPCITavikChangeDetectionPrimitive* detector = nullptr;
};

void BM_ChangeInterrupt(benchmark::State& state) {
  const auto held = std::make_unique<tQuietBoard>(static_cast<int>(state.range(0)));
  tQuietBoard& board = *held;
  uint32_t answers = 0;
  for (auto _ : state)
    for (int i = 0; i < kPasses; ++i) answers += board.detector->handleInterrupt();
  benchmark::DoNotOptimize(answers);
  if (board.status.code != 0) state.SkipWithError("the board was not built");
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_ChangeInterrupt)->Arg(0)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

// Floor: the register reads through the kernel layer, the readable asked for
// the half by the counter while a buffer is held, the half's filled mark set
// once, the live run noted for the second pass, and the count.
void BM_ChangeInterrupt_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tQuietBoard>(0);
  tQuietBoard& board = *held;
  const int lineCount = static_cast<int>(state.range(0));
  const uintptr_t base = board.windows.base(board.window);
  uint8_t halves[2 * kSampleBytes];
  std::atomic<uint8_t*> buffer = nQoBench::opaque<uint8_t*>(halves);
  std::atomic<uint32_t> filled = 0;
  tSyncAtomicU32 sampleCounter;
  uint32_t latched[8] = {};
  uint64_t count = 0;
  uint64_t changes = 0;
  const std::atomic<uint32_t> runWord = nQoBench::opaque(2u);
  std::atomic<uint32_t> passRun = 0;
  nQoCDR100::iDigReadablePrim* readable =
      nQoBench::opaque<nQoCDR100::iDigReadablePrim*>(&board.readable);
  const uint32_t size = nQoBench::opaque(kSampleBytes);
  nQoMDBG100::tStatus2 completion;
  for (auto _ : state) {
    for (int i = 0; i < kPasses; ++i) {
      for (int line = 0; line < lineCount; ++line)
        latched[line] = nQoUdR100::memoryRead32(base + 0x24);
      if (nQoUdR100::memoryRead32(base + 0x244) != 0) ++changes;
      if (uint8_t* const at = buffer.load()) {
        uint32_t result = 0;
        const uint32_t counter = sampleCounter.get();
        uint8_t* to = (counter & 1) == 0 ? at : at + kSampleBytes;
        readable->read(0, to, size, 0xFFFFFFFF, &result, completion);
        const uint32_t bit = 1u << (counter & 1);
        if ((filled.load(std::memory_order_relaxed) & bit) == 0) filled.fetch_or(bit);
        const uint32_t word = runWord.load();
        passRun.store((word & 1) != 0 ? 0 : word >> 1, std::memory_order_relaxed);
      }
      benchmark::DoNotOptimize(halves);
      ++count;
    }
  }
  benchmark::DoNotOptimize(latched);
  benchmark::DoNotOptimize(count + changes + passRun.load());
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_ChangeInterrupt_Floor)->Arg(0)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace
