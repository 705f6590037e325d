// DMA memory blocks over the host allocator; physical addresses are handed
// out in order from a base below 4 GiB unless a test placed them elsewhere,
// and a client mapping is the kernel address with a fixed tag in the high
// bits.
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

#include "apal/tMemBlockReferenceBase.h"
#include "sim/simAllocator.h"
#include "sim/simMemBlocks.h"
#include "sim/tBoundedLog.h"

namespace {
constexpr int kOutOfMemory = -50352;
constexpr uint64_t kUserTag = 0x7F00000000000000ull;

std::mutex gLock;
constexpr uint64_t kDefaultPhysicalBase = 0x1000'0000;
uint64_t gNextPhysical = kDefaultPhysicalBase;
constinit nQoSim::tBoundedLog<nQoSim::tUserMapping> gLog;
int gLiveMappings = 0;
int gLiveBlocks = 0;
// Every block allocated and not freed, by its first physical address: its
// size in bytes and where it lies (a test that placed blocks again may place
// two at one address).
struct tLiveBlock {
  uint32_t size;
  const uint8_t* bytes;
};
std::multimap<uint64_t, tLiveBlock> gLiveRanges;

// The live block that holds size bytes from physical on, or nullptr.
const uint8_t* liveBytes(uint64_t physical, uint32_t size) {
  for (auto at = gLiveRanges.upper_bound(physical); at != gLiveRanges.begin();) {
    const auto& [first, block] = *--at;
    if (physical - first < block.size && block.size - (physical - first) >= size)
      return block.bytes + (physical - first);
  }
  return nullptr;
}
}  // namespace

void* tMemBlockReferenceBase::allocate(uint32_t size, uint32_t align, int* status) {
  free();
  if (status != nullptr && *status < 0) return nullptr;
  const uint64_t step = align == 0 ? 1 : align;
  _block = std::malloc(size + step);
  if (_block == nullptr) {
    if (status != nullptr) *status = kOutOfMemory;
    return nullptr;
  }
  const uint64_t raw = reinterpret_cast<uintptr_t>(_block);
  _pointer = static_cast<char*>(_block) + (step - raw % step) % step;
  _size = size;
  std::memset(_pointer, nQoSim::kFreshByte, size);
  const std::lock_guard<std::mutex> hold(gLock);
  ++gLiveBlocks;
  _physical = gNextPhysical;
  gNextPhysical += (size + step - 1) / step * step;
  gLiveRanges.emplace(_physical, tLiveBlock{size, static_cast<const uint8_t*>(_pointer)});
  return _pointer;
}

void tMemBlockReferenceBase::free() {
  if (_block == nullptr) return;
  std::free(_block);
  _block = _pointer = nullptr;
  _size = 0;
  const std::lock_guard<std::mutex> hold(gLock);
  --gLiveBlocks;
  gLiveRanges.erase(gLiveRanges.find(_physical));
  _physical = 0;
}

uint64_t tMemBlockReferenceBase::mapMemoryToUserMode(int* status) {
  if (_pointer == nullptr) {
    if (status != nullptr && *status >= 0) *status = kOutOfMemory;
    return 0;
  }
  const uint64_t address = reinterpret_cast<uintptr_t>(_pointer) | kUserTag;
  const std::lock_guard<std::mutex> hold(gLock);
  gLog.add({nQoSim::tUserMapping::kMap, _pointer, address});
  ++gLiveMappings;
  return address;
}

void tMemBlockReferenceBase::unmapMemoryFromUserMode(uint64_t address, int*) {
  const std::lock_guard<std::mutex> hold(gLock);
  gLog.add({nQoSim::tUserMapping::kUnmap, _pointer, address});
  --gLiveMappings;
}

namespace nQoSim {
void setPhysicalBase(uint64_t base) {
  const std::lock_guard<std::mutex> hold(gLock);
  gNextPhysical = base != 0 ? base : kDefaultPhysicalBase;
}
std::vector<tUserMapping> userMappingLog() {
  const std::lock_guard<std::mutex> hold(gLock);
  return gLog.records();
}
void clearUserMappingLog() {
  const std::lock_guard<std::mutex> hold(gLock);
  gLog.clear();
}
int liveUserMappings() { return gLiveMappings; }
int liveMemBlocks() { return gLiveBlocks; }
bool insideLiveBlock(uint64_t physical) {
  const std::lock_guard<std::mutex> hold(gLock);
  return liveBytes(physical, 1) != nullptr;
}
bool readLive(uint64_t physical, void* out, uint32_t size) {
  const std::lock_guard<std::mutex> hold(gLock);
  const uint8_t* bytes = liveBytes(physical, size);
  if (bytes != nullptr) std::memcpy(out, bytes, size);
  return bytes != nullptr;
}
}  // namespace nQoSim
