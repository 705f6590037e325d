#include "primitives/eeprom/tEEPROM.h"

#include "apal/nQoAPALMemory.h"
#include "frame/freshStatus.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdP100 {

namespace {

using nQoMDBG100::tStatus2;

constexpr const char kFile[] = "qomiop/eeprom/tEEPROM";
constexpr uint32_t kUnit = 2;
constexpr uint32_t kUnitOrder = 0;  // each string unit turned round

}  // namespace

void tEEPROM::reportMissing(tStatus2& status, unsigned line) {
  nQoUdR100::setCode(status, nQoUdR100::kNullPointer, {kFile, line});
}

uint32_t tEEPROM::headerWord(uint32_t address, tStatus2& status) {
  uint8_t bytes[2] = {};
  _device->readFromDevice(address, 2, bytes, status, 0);
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8;
}

void tEEPROM::load(tStatus2& status) {
  if (!ready(true, status, 20)) return;
  _device->enableRead(status);
  tEEPROMHeader header;
  header.stringBase = headerWord(16, status);
  header.areaOtherAddress = headerWord(20, status);
  header.area14693Address = headerWord(24, status);
  header.field14690Address = headerWord(28, status);
  header.headerWord18 = headerWord(18, status);
  header.areaOtherSize = headerWord(22, status);
  header.area14693Size = headerWord(26, status);
  header.field14690Size = headerWord(30, status);
  uint8_t format = 0;
  _device->readFromDevice(2, 1, &format, status, 0);
  header.formatByte = format;
  // Access is closed also after a failed read.
  nQoUdR100::onFreshStatus(status, [&](tStatus2& s) { _device->disableAccess(s); });
  _map->setHeader(header, status);
  _byteOrder = _map->getByteOrder(status);
  if (!status.isFatal()) _initialized = 1;
}

void tEEPROM::readArray(uint32_t address, uint32_t count, uint32_t size, uint8_t* buffer,
                        tStatus2& status) {
  // Elements of no bytes hold nothing to read, however many are asked for.
  if (!ready(false, status, 289) || size == 0) return;
  for (uint64_t i = 0; i < count && !status.isFatal(); ++i) {
    const uint64_t at = address + i * size;
    if (at > 0xFFFFFFFF) {
      nQoUdR100::setCode(status, nQoUdR100::kEEPROMReadRange, {kFile, 293});
      return;
    }
    _device->read(static_cast<uint32_t>(at), size, buffer + i * size, status, _byteOrder);
  }
}

void tEEPROM::revert(tStatus2& status) {
  if (ready(false, status, 223)) _device->revert(status);
}
void tEEPROM::commit(tStatus2& status) {
  if (ready(false, status, 210)) _device->commit(status);
}
void tEEPROM::enableRead(tStatus2& status) {
  if (ready(false, status, 163)) _device->enableRead(status);
}
void tEEPROM::enableWrite(tStatus2& status) {
  if (ready(false, status, 180)) _device->enableWrite(status);
}
void tEEPROM::disableAccess(tStatus2& status) {
  if (ready(false, status, 193)) _device->disableAccess(status);
}

void tEEPROM::selectArea(uint32_t tag, tStatus2& status) {
  if (ready(true, status, 85)) _map->selectArea(tag);
}
uint32_t tEEPROM::getSelectedArea(tStatus2& status) {
  return ready(true, status, 98) ? _map->getSelectedArea() : 0;
}
uint32_t tEEPROM::getAreaAddress(uint32_t tag, tStatus2& status) {
  return ready(true, status, 124) ? _map->getAreaAddress(tag, status) : 0;
}
uint32_t tEEPROM::getAreaSize(uint32_t tag, tStatus2& status) {
  return ready(true, status, 111) ? _map->getAreaSize(tag, status) : 0;
}
uint32_t tEEPROM::getContentMapValue(tStatus2& status) {
  return ready(true, status, 70) ? _map->getContentMapValue(status) : 0;
}
uint32_t tEEPROM::getFormatByte(tStatus2& status) {
  return ready(true, status, 938) ? _map->getFormatByte(status) : 0;
}
void tEEPROM::setContentMapInfo(uint8_t* data, uint32_t count, tStatus2& status) {
  if (ready(true, status, 44)) _map->setContentMapInfo(data, count);
}
uint32_t tEEPROM::getContentMapWord18(uint32_t word, tStatus2& status) {
  return ready(true, status, 137) ? _map->getContentMapWord18(word, status) : 0;
}
uint32_t tEEPROM::getContentMapWord19(uint32_t word, tStatus2& status) {
  return ready(true, status, 150) ? _map->getContentMapWord19(word, status) : 0;
}

void tEEPROM::sized(tAccess access, uint32_t address, uint32_t mapSize, uint32_t size,
                    uint8_t* buffer, tStatus2& status, unsigned line) {
  if (status.isFatal()) return;
  if (size != mapSize) {
    nQoUdR100::setCode(status, nQoUdR100::kValueTooWide, {kFile, line});
    return;
  }
  (_device->*access)(address, size, buffer, status, _byteOrder);
}

void tEEPROM::field(tAccess access, uint32_t id, uint32_t size, uint8_t* buffer, tStatus2& status,
                    unsigned line) {
  if (!ready(true, status, line)) return;
  uint32_t address = 0;
  uint32_t mapSize = 0;
  _map->getFieldAddress(id, address, mapSize, status);
  sized(access, address, mapSize, size, buffer, status, line + 1);
}

void tEEPROM::indexed(tAccess access, uint32_t kind, uint32_t index, uint32_t size, uint8_t* buffer,
                      tStatus2& status, unsigned line) {
  if (!ready(true, status, line)) return;
  uint32_t address = 0;
  uint32_t mapSize = 0;
  _map->getIndexedFieldAddress(kind, index, address, mapSize, status);
  sized(access, address, mapSize, size, buffer, status, line + 1);
}

void tEEPROM::coefficient(tAccess access, const tCoefficient& which, uint32_t size, uint8_t* buffer,
                          tStatus2& status, unsigned line) {
  if (!ready(true, status, line)) return;
  uint32_t address = 0;
  uint32_t mapSize = 0;
  _map->getCoefficientAddress(which.kind, which.section, which.index, which.range, which.mode,
                              address, mapSize, status);
  sized(access, address, mapSize, size, buffer, status, line + 1);
}

void tEEPROM::string(tAccess access, bool writing, uint32_t id, uint32_t length, uint8_t* buffer,
                     tStatus2& status, unsigned line) {
  if (!ready(true, status, line)) return;
  uint32_t address = 0;
  uint32_t capacity = 0;
  _map->getStringFieldAddress(id, address, capacity, status);
  if (status.isFatal()) return;
  if (length > capacity) {
    nQoUdR100::setCode(status, nQoUdR100::kValueTooWide, {kFile, line + 1});
    return;
  }
  const uint32_t units = capacity / kUnit;
  const uint32_t callerUnits = length / kUnit;
  for (uint32_t k = 0; k < units && !status.isFatal(); ++k) {
    if (!writing && k >= callerUnits) return;
    const uint32_t fieldUnit = _byteOrder != 0 ? units - 1 - k : k;
    const uint64_t at = uint64_t{address} + uint64_t{fieldUnit} * kUnit;
    if (at > 0xFFFFFFFF) {
      nQoUdR100::setCode(status,
                         writing ? nQoUdR100::kEEPROMWriteRange : nQoUdR100::kEEPROMReadRange,
                         {kFile, line + 2});
      return;
    }
    uint8_t zero[kUnit] = {};
    uint8_t* unit = k < callerUnits ? buffer + std::size_t{k} * kUnit : zero;
    (_device->*access)(static_cast<uint32_t>(at), kUnit, unit, status, kUnitOrder);
  }
}

void tEEPROM::readField(uint32_t id, uint32_t size, uint8_t* buffer, tStatus2& status) {
  field(&iBaseEEPROM::read, id, size, buffer, status, 300);
}
void tEEPROM::writeField(uint32_t id, uint32_t size, uint8_t* buffer, tStatus2& status) {
  field(&iBaseEEPROM::write, id, size, buffer, status, 310);
}
void tEEPROM::readFieldFromDevice(uint32_t id, uint32_t size, uint8_t* buffer, tStatus2& status) {
  field(&iBaseEEPROM::readFromDevice, id, size, buffer, status, 320);
}
void tEEPROM::writeFieldToDevice(uint32_t id, uint32_t size, uint8_t* buffer, tStatus2& status) {
  field(&iBaseEEPROM::writeToDevice, id, size, buffer, status, 330);
}
void tEEPROM::readIndexedField(uint32_t kind, uint32_t index, uint32_t size, uint8_t* buffer,
                               tStatus2& status) {
  indexed(&iBaseEEPROM::read, kind, index, size, buffer, status, 340);
}
void tEEPROM::writeIndexedField(uint32_t kind, uint32_t index, uint32_t size, uint8_t* buffer,
                                tStatus2& status) {
  indexed(&iBaseEEPROM::write, kind, index, size, buffer, status, 350);
}
void tEEPROM::readCalibrationCoefficient(const tCoefficient& which, uint32_t size, uint8_t* buffer,
                                         tStatus2& status) {
  coefficient(&iBaseEEPROM::read, which, size, buffer, status, 360);
}
void tEEPROM::writeCalibrationCoefficient(const tCoefficient& which, uint32_t size, uint8_t* buffer,
                                          tStatus2& status) {
  coefficient(&iBaseEEPROM::write, which, size, buffer, status, 370);
}
void tEEPROM::readCalibrationCoefficientFromDevice(const tCoefficient& which, uint32_t size,
                                                   uint8_t* buffer, tStatus2& status) {
  coefficient(&iBaseEEPROM::readFromDevice, which, size, buffer, status, 380);
}
void tEEPROM::writeCalibrationCoefficientToDevice(const tCoefficient& which, uint32_t size,
                                                  uint8_t* buffer, tStatus2& status) {
  coefficient(&iBaseEEPROM::writeToDevice, which, size, buffer, status, 390);
}
void tEEPROM::readStringField(uint32_t id, uint32_t length, uint8_t* buffer, tStatus2& status) {
  string(&iBaseEEPROM::read, false, id, length, buffer, status, 400);
}
void tEEPROM::writeStringField(uint32_t id, uint32_t length, uint8_t* buffer, tStatus2& status) {
  string(&iBaseEEPROM::write, true, id, length, buffer, status, 410);
}
void tEEPROM::readStringFieldFromDevice(uint32_t id, uint32_t length, uint8_t* buffer,
                                        tStatus2& status) {
  string(&iBaseEEPROM::readFromDevice, false, id, length, buffer, status, 420);
}
void tEEPROM::writeStringFieldToDevice(uint32_t id, uint32_t length, uint8_t* buffer,
                                       tStatus2& status) {
  string(&iBaseEEPROM::writeToDevice, true, id, length, buffer, status, 430);
}

void tEEPROM::copyCalibrationArea(tStatus2& status) {
  if (!ready(true, status, 440)) return;
  const uint32_t from = 14694;
  const uint32_t onto = 14693;
  const uint32_t before = _map->getSelectedArea();
  const uint32_t fromAddress = _map->getAreaAddress(from, status);
  const uint32_t ontoAddress = _map->getAreaAddress(onto, status);
  const uint32_t size = _map->getAreaSize(from, status);
  if (status.isFatal()) return;
  auto* buffer = static_cast<uint8_t*>(_memNewUsingCRT(size == 0 ? 1 : size, 0, nullptr));
  if (buffer == nullptr) {
    nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, {kFile, 452});
    return;
  }
  _map->selectArea(from);
  _device->read(fromAddress, size, buffer, status, 1);
  _map->selectArea(onto);
  _device->write(ontoAddress, size, buffer, status, 1);
  _map->selectArea(before);
  _memDelete(buffer);
}

}  // namespace nQoUdP100
