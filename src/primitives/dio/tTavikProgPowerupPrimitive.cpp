#include "primitives/dio/tTavikProgPowerupPrimitive.h"

#include <cstring>

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdR100 {

namespace {

using nQoMDBG100::tStatus2;
using nQoSDR000::tPowerupEntry;
using nQoUdP100::tEEPROM;

constexpr const char kFile[] = "tTavikProgPowerupPrimitive";

constexpr uint32_t kEnableComplement = 0;  // multi-port: the enable mask, complemented
constexpr uint32_t kPortEnabled = 1;       // single-port: 0 enabled, else kNotEnabled
constexpr uint32_t kValue = 2;
constexpr uint32_t kNotEnabled = 0x01010101;

// The signature: {field, index, byte}, in the order it is written.
struct tSignatureByte {
  uint32_t field;
  uint32_t index;
  uint8_t byte;
};
constexpr tSignatureByte kSignature[] = {{3, 0, 0x28}, {4, 0, 0x24}, {3, 1, 0x72}, {4, 1, 0xDE}};

// All lines of a port of that width; a 32-line port is all ones.
constexpr uint32_t lineMask(uint32_t width) { return width >= 32 ? ~0u : (1u << width) - 1; }
// Shifts of 32 and more move every bit out.
constexpr uint32_t shiftLeft(uint32_t value, uint32_t by) { return by >= 32 ? 0 : value << by; }
constexpr uint32_t shiftRight(uint32_t value, uint32_t by) { return by >= 32 ? 0 : value >> by; }

uint32_t readWord(tEEPROM& eeprom, uint32_t field, uint32_t index, uint32_t size,
                  tStatus2& status) {
  uint32_t word = 0;
  uint8_t bytes[4] = {};
  eeprom.readIndexedField(field, index, size, bytes, status);
  std::memcpy(&word, bytes, size);
  return word;
}

void writeWord(tEEPROM& eeprom, uint32_t field, uint32_t index, uint32_t size, uint32_t word,
               tStatus2& status) {
  uint8_t bytes[4] = {};
  std::memcpy(bytes, &word, size);
  eeprom.writeIndexedField(field, index, size, bytes, status);
}

// Closes access on a fresh status whose error never replaces an earlier one.
void close(tEEPROM& eeprom, tStatus2& status) {
  tStatus2 local;
  eeprom.disableAccess(local);
  status.assign(local);
}

// Opens access; a failure closes it again and answers false.
bool open(tEEPROM& eeprom, void (tEEPROM::*enable)(tStatus2&), tStatus2& status) {
  (eeprom.*enable)(status);
  if (status.isNotFatal()) return true;
  close(eeprom, status);
  return false;
}

// Port 0 takes a 4-byte field, the other ports one byte.
uint32_t fieldSize(uint32_t port) { return port == 0 ? 4 : 1; }
// The lines a port's fields keep: 32, 16, else 8.
uint32_t portMask(uint32_t port, uint32_t width) {
  if (port != 0) return 0xFF;
  return width >= 32 ? ~0u : width == 16 ? 0xFFFF : 0xFF;
}

}  // namespace

tTavikProgPowerupPrimitive::tTavikProgPowerupPrimitive(tEEPROM* eeprom, const tPowerupPorts& ports,
                                                       uint32_t portCount, tStatus2& status)
    : _eeprom(eeprom), _ports(ports) {
  if (status.isFatal()) return;
  if (portCount > tPowerupPorts::kMaxPorts) {
    setCode(status, kRefused, {kFile, 60});
    return;
  }
  _portCount = portCount;
  checkSignature(status);
}

void tTavikProgPowerupPrimitive::checkSignature(tStatus2& status) {
  if (!open(*_eeprom, &tEEPROM::enableRead, status)) return;
  bool mismatch = false;
  for (const tSignatureByte& expected : kSignature) {
    uint8_t byte = 0;
    _eeprom->readIndexedField(expected.field, expected.index, 1, &byte, status);
    mismatch = mismatch || byte != expected.byte;
  }
  close(*_eeprom, status);
  if (status.isFatal() || !mismatch) return;
  if (!open(*_eeprom, &tEEPROM::enableWrite, status)) return;
  for (tSignatureByte signature : kSignature)
    _eeprom->writeIndexedField(signature.field, signature.index, 1, &signature.byte, status);
  if (status.isNotFatal()) _eeprom->commit(status);
  close(*_eeprom, status);
}

tPowerupEntry* tTavikProgPowerupPrimitive::readPowerupStates(uint32_t& count, tStatus2& status) {
  if (status.isFatal()) return nullptr;
  if (!open(*_eeprom, &tEEPROM::enableRead, status)) return _entries;
  count = _portCount;
  for (uint32_t port = 0; port < _portCount; ++port) {
    const uint32_t mask = portMask(port, _ports.widths[port]);
    const uint32_t size = fieldSize(port);
    tPowerupEntry& entry = _entries[port];
    entry.valid = 1;
    entry.enable = ~readWord(*_eeprom, kEnableComplement, port, size, status) & mask;
    entry.value = readWord(*_eeprom, kValue, port, size, status) & mask;
  }
  close(*_eeprom, status);
  return _entries;
}

void tTavikProgPowerupPrimitive::writePowerupStates(const tPowerupEntry* entries, uint32_t count,
                                                    tStatus2& status) {
  if (status.isFatal()) return;
  if (count > _portCount) {
    setCode(status, kRefused, {kFile, 120});
    return;
  }
  if (!open(*_eeprom, &tEEPROM::enableWrite, status)) return;
  for (uint32_t port = 0; port < count; ++port) {
    const tPowerupEntry& entry = entries[port];
    if (entry.valid == 0) continue;
    const uint32_t mask = portMask(port, _ports.widths[port]);
    const uint32_t size = fieldSize(port);
    writeWord(*_eeprom, kEnableComplement, port, size, ~entry.enable & mask, status);
    writeWord(*_eeprom, kValue, port, size, entry.value & mask, status);
  }
  if (status.isNotFatal()) _eeprom->commit(status);
  close(*_eeprom, status);
}

tTavikSinglePortProgPowerupPrimitive::tTavikSinglePortProgPowerupPrimitive(
    tEEPROM* eeprom, const tPowerupPorts& ports, uint32_t eepromIndex, uint32_t port,
    uint32_t split)
    : _eepromIndex(eepromIndex), _split(split), _eeprom(eeprom), _kind(ports.kind) {
  for (uint32_t before = 0; before < port && before < tPowerupPorts::kMaxPorts; ++before)
    _firstLine += ports.widths[before];
  if (port < tPowerupPorts::kMaxPorts) _width = ports.widths[port];
}

tPowerupEntry* tTavikSinglePortProgPowerupPrimitive::readPowerupStates(uint32_t& count,
                                                                       tStatus2& status) {
  if (status.isFatal()) return nullptr;
  if (!open(*_eeprom, &tEEPROM::enableRead, status)) return &_entry;
  count = 1;
  _entry.valid = 1;
  const uint32_t enabled = readWord(*_eeprom, kPortEnabled, 0, 4, status);
  _entry.enable = (_kind != 3 && enabled == 0) ? lineMask(_width) : 0;
  const uint32_t stored = readWord(*_eeprom, kValue, 0, 4, status);
  if (_split == 0) {
    _entry.value = shiftRight(stored, _firstLine);
  } else {
    const uint32_t m = lineMask(_split);
    _entry.value = shiftRight(stored & shiftLeft(m, 3 * _split), 2 * _split) |
                   shiftRight(stored & shiftLeft(m, _split), _split);
  }
  close(*_eeprom, status);
  return &_entry;
}

void tTavikSinglePortProgPowerupPrimitive::writePowerupStates(const tPowerupEntry* entries,
                                                              uint32_t count, tStatus2& status) {
  if (status.isFatal()) return;
  if (!open(*_eeprom, &tEEPROM::enableWrite, status)) return;
  if (count != 0 && entries[0].valid != 0) {
    const tPowerupEntry& entry = entries[0];
    const bool anyEnabled = (entry.enable & lineMask(_width)) != 0;
    writeWord(*_eeprom, kPortEnabled, _eepromIndex, 4, anyEnabled ? 0 : kNotEnabled, status);
    uint32_t stored = shiftLeft(entry.value, _firstLine);
    if (_split != 0) {
      const uint32_t m = lineMask(_split);
      stored = shiftLeft(entry.value & shiftLeft(m, _split), 2 * _split) |
               shiftLeft(entry.value & m, _split);
    }
    writeWord(*_eeprom, kValue, _eepromIndex, 4, stored, status);
  }
  if (status.isNotFatal()) _eeprom->commit(status);
  close(*_eeprom, status);
}

}  // namespace nQoUdR100
