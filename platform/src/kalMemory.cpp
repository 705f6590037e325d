// The counting allocator under nQoKAL100_malloc and _memNewUsingCRT.
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "apal/nQoAPALMemory.h"
#include "kal/nQoKAL.h"
#include "mdbg/tStatus2.h"
#include "sim/simAllocator.h"
#include "sim/simInterrupts.h"

namespace {
std::atomic<uint64_t> gFailAt{0};
std::atomic<uint64_t> gAttempts{0};
std::atomic<int64_t> gLive{0};
std::atomic<uint64_t> gTotal{0};
std::atomic<uint64_t> gAtInterruptLevel{0};
// Larger requests come only from a hostile count: they are refused, never
// handed to the host allocator.
constexpr size_t kLargestBlock = size_t{1} << 30;
}  // namespace

namespace nQoSim {
void failAllocation(uint64_t nth) { gFailAt = nth == 0 ? 0 : gAttempts.load() + nth; }
int64_t liveAllocations() { return gLive.load(); }
uint64_t totalAllocations() { return gTotal.load(); }
uint64_t interruptLevelAllocations() { return gAtInterruptLevel.load(); }
}  // namespace nQoSim

extern "C" void* nQoKAL100_malloc(size_t size) {
  if (nQoSim::atInterruptLevel()) ++gAtInterruptLevel;
  const uint64_t attempt = ++gAttempts;
  if (size > kLargestBlock) return nullptr;
  if (attempt == gFailAt.load()) {
    gFailAt = 0;
    return nullptr;
  }
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block != nullptr) {
    std::memset(block, nQoSim::kFreshByte, size);
    ++gLive;
    ++gTotal;
  }
  return block;
}

extern "C" void nQoKAL100_free(void* block) {
  if (block == nullptr) return;
  --gLive;
  std::free(block);
}

void* _memNewUsingCRT(std::size_t size, uint32_t, nQoMDBG100::tStatus2* status) {
  void* block = nQoKAL100_malloc(size);
  if (block == nullptr && status != nullptr)
    status->setCode(-50352, "qoapal", "qoapal/quarks/memory", 120);
  return block;
}

void _memDelete(void* block) { nQoKAL100_free(block); }
