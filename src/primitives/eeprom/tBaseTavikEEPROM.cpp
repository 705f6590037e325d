#include "primitives/eeprom/tBaseTavikEEPROM.h"

#include <cstring>

#include "apal/nQoAPALMemory.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdP100 {

namespace {
using nQoMDBG100::tStatus2;
constexpr const char kFile[] = "qomiop/tavik/eeprom/tBaseTavikEEPROM";
}  // namespace

tBaseTavikEEPROM::tBaseTavikEEPROM(uint32_t size, uint32_t noHardware, tStatus2& status)
    : _noHardware(noHardware) {
  if (size != kSizeFromBoard) allocate(size, status);
}

tBaseTavikEEPROM::~tBaseTavikEEPROM() {
  _memDelete(_shadow);
  _memDelete(_pending);
}

void tBaseTavikEEPROM::allocate(uint32_t size, tStatus2& status) {
  if (status.isFatal()) return;
  _shadow = static_cast<uint8_t*>(_memNewUsingCRT(size == 0 ? 1 : size, 0, nullptr));
  _pending = static_cast<uint8_t*>(_memNewUsingCRT(size / 8 + 1, 0, nullptr));
  if (_shadow == nullptr || _pending == nullptr) {
    nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, {kFile, 60});
    return;
  }
  _size = size;
  std::memset(_shadow, 0, size);
  clearPending();
}

void tBaseTavikEEPROM::read(uint32_t address, uint32_t length, uint8_t* buffer, tStatus2& status,
                            uint32_t order) {
  if (status.isFatal()) {
    std::memset(buffer, 0, length);
    return;
  }
  if (!inside(address, length, _size)) {
    nQoUdR100::setCode(status, nQoUdR100::kEEPROMReadRange, {kFile, 90});
    return;
  }
  std::memcpy(buffer, _shadow + address, length);
  turnRound(buffer, length, order);
}

void tBaseTavikEEPROM::write(uint32_t address, uint32_t length, uint8_t* buffer, tStatus2& status,
                             uint32_t order) {
  if (status.isFatal()) return;
  if (!inside(address, length, _size)) {
    nQoUdR100::setCode(status, nQoUdR100::kEEPROMWriteRange, {kFile, 101});
    return;
  }
  turnRound(buffer, length, order);
  for (uint32_t i = 0; i < length; ++i) {
    _shadow[address + i] = buffer[i];
    setPending(address + i, true);
  }
  turnRound(buffer, length, order);
}

void tBaseTavikEEPROM::readFromDevice(uint32_t address, uint32_t length, uint8_t* buffer,
                                      tStatus2& status, uint32_t order) {
  if (status.isFatal()) return;
  if (_noHardware != 0) {
    std::memset(buffer, 0, length);
    return;
  }
  for (uint32_t i = 0; i < length && !status.isFatal(); ++i) {
    if (i >= _size || address >= _size - i) {
      nQoUdR100::setCode(status, nQoUdR100::kEEPROMReadRange, {kFile, 135});
      return;
    }
    const uint32_t at = address + i;
    if (isPending(at)) {
      const uint8_t value = readByte(at, status);
      if (status.isFatal()) break;
      _shadow[at] = value;
      setPending(at, false);
    }
    buffer[i] = _shadow[at];
  }
  turnRound(buffer, length, order);
}

void tBaseTavikEEPROM::writeToDevice(uint32_t address, uint32_t length, uint8_t* buffer,
                                     tStatus2& status, uint32_t order) {
  if (status.isFatal() || _noHardware != 0) return;
  turnRound(buffer, length, order);
  for (uint32_t i = 0; i < length && !status.isFatal(); ++i) {
    if (i >= _size || address >= _size - i) {
      nQoUdR100::setCode(status, nQoUdR100::kEEPROMWriteRange, {kFile, 160});
      break;
    }
    const uint32_t at = address + i;
    if (!isPending(at) && _shadow[at] == buffer[i]) continue;
    writeByte(at, buffer[i], status);
    if (status.isFatal()) break;
    _shadow[at] = buffer[i];
    setPending(at, false);
  }
  turnRound(buffer, length, order);
}

void tBaseTavikEEPROM::commit(tStatus2& status) {
  if (status.isFatal()) return;
  if (_accessState != kWrite) {
    nQoUdR100::setCode(status, nQoUdR100::kCannotWrite, {kFile, 185});
    return;
  }
  // A byte whose write failed, and every byte after it, stays pending for
  // the next commit.
  for (uint32_t at = 0; at < _size && status.isNotFatal(); ++at) {
    if (!isPending(at)) continue;
    writeByte(at, _shadow[at], status);
    if (status.isNotFatal()) setPending(at, false);
  }
}

void tBaseTavikEEPROM::revert(tStatus2& status) {
  if (status.isFatal()) return;
  if (_accessState != kRead) {
    nQoUdR100::setCode(status, nQoUdR100::kCannotRead, {kFile, 199});
    return;
  }
  // A byte whose read failed keeps its shadow value and, with every byte
  // after it, stays pending.
  for (uint32_t at = 0; at < _size && status.isNotFatal(); ++at) {
    if (!isPending(at)) continue;
    const uint8_t value = readByte(at, status);
    if (status.isFatal()) break;
    _shadow[at] = value;
    setPending(at, false);
  }
}

uint32_t tBaseTavikEEPROM::pendingCount() const {
  uint32_t count = 0;
  for (uint32_t at = 0; at < _size; ++at) count += isPending(at) ? 1 : 0;
  return count;
}

void tBaseTavikEEPROM::clearPending() { std::memset(_pending, 0, _size / 8 + 1); }

}  // namespace nQoUdP100
