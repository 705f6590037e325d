#include "primitives/eeprom/tEEPROMCache.h"

#include <cstring>

#include "apal/nQoAPALMemory.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdP100 {

namespace {
using nQoMDBG100::tStatus2;
constexpr const char kFile[] = "qomiop/eeprom/tEEPROMCache";
constexpr uint32_t kAsIs = 1;  // bytes, no value order
}  // namespace

tEEPROMCache::tEEPROMCache(uint32_t size, iBaseEEPROM* device, tStatus2& status) : _device(device) {
  if (status.isFatal()) return;
  _block = static_cast<uint8_t*>(_memNewUsingCRT(2 * uint64_t{size} + 1, 0, nullptr));
  if (_block == nullptr) {
    nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, {kFile, 24});
    return;
  }
  _size = size;
  _data = _block;
  _flags = _block + size;
  invalidate();
}

tEEPROMCache::~tEEPROMCache() { _memDelete(_block); }

bool tEEPROMCache::inRange(uint32_t address, uint32_t length, tStatus2& status, unsigned line) {
  if (status.isFatal()) return false;
  if (inside(address, length, _size)) return true;
  nQoUdR100::setCode(status, nQoUdR100::kEEPROMCacheRange, {kFile, line});
  return false;
}

uint32_t tEEPROMCache::runEnd(uint32_t at, uint32_t end, bool dirty) const {
  while (at < end && ((_flags[at] & kDirty) != 0) == dirty) ++at;
  return at;
}

void tEEPROMCache::read(uint32_t address, uint32_t length, uint8_t* buffer, tStatus2& status) {
  if (!inRange(address, length, status, 45)) return;
  const uint32_t end = address + length;
  bool allValid = true;
  for (uint32_t at = address; at < end; ++at) allValid = allValid && (_flags[at] & kValid) != 0;
  // Refill the clean bytes, a run at a time; dirty bytes hold newer data.
  for (uint32_t at = address; !allValid && at < end && !status.isFatal();) {
    const uint32_t clean = runEnd(at, end, false);
    if (clean > at) {
      _device->readFromDevice(at, clean - at, _data + at, status, kAsIs);
      if (!status.isFatal()) std::memset(_flags + at, kValid, clean - at);
    }
    at = runEnd(clean, end, true);
  }
  if (!status.isFatal()) std::memcpy(buffer, _data + address, length);
}

void tEEPROMCache::write(uint32_t address, uint32_t length, const uint8_t* buffer,
                         tStatus2& status) {
  if (!inRange(address, length, status, 63)) return;
  std::memcpy(_data + address, buffer, length);
  std::memset(_flags + address, kValid | kDirty, length);
}

void tEEPROMCache::storeClean(uint32_t address, uint32_t length, const uint8_t* buffer,
                              tStatus2& status) {
  if (!inRange(address, length, status, 71)) return;
  write(address, length, buffer, status);
  std::memset(_flags + address, kValid, length);
}

void tEEPROMCache::invalidate() {
  if (_block != nullptr) std::memset(_block, 0, 2 * uint64_t{_size});
}

void tEEPROMCache::flush(tStatus2& status) {
  for (uint32_t at = 0; at < _size && !status.isFatal();) {
    const uint32_t dirty = runEnd(at, _size, true);
    if (dirty > at) _device->writeToDevice(at, dirty - at, _data + at, status, kAsIs);
    at = runEnd(dirty, _size, false);
  }
}

}  // namespace nQoUdP100
