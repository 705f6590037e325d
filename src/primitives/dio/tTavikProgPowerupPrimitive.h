// Power-up states of the static digital ports in the board's EEPROM. The
// multi-port primitive keeps one entry per port (fields 0 and 2 at the port
// number: the enable mask's complement and the value); the single-port one
// keeps the whole port in one entry (field 1: enabled or not, field 2: the
// value placed after the lines of the ports before it, or split in nibbles).
//
//   tPowerupPorts ports{0, {16, 8, 8}};
//   tTavikProgPowerupPrimitive powerup(&eeprom, ports, 3, status);
#pragma once

#include <cstdint>

#include "mrl/iProgPowerupPrim.h"
#include "primitives/eeprom/tEEPROM.h"

namespace nQoUdR100 {

// What the power-up primitives need of the digital subsystem: its kind and
// the width in lines of each port (32, 16 or 8).
struct tPowerupPorts {
  static constexpr uint32_t kMaxPorts = 3;
  uint32_t kind = 0;
  uint32_t widths[kMaxPorts] = {};
};

class tTavikProgPowerupPrimitive : public nQoSDR000::iProgPowerupPrim {
 public:
  // A port count above 3 is refused (-50150) and leaves no port. Writes the
  // EEPROM signature when it is not there.
  tTavikProgPowerupPrimitive(nQoUdP100::tEEPROM* eeprom, const tPowerupPorts& ports,
                             uint32_t portCount, nQoMDBG100::tStatus2& status);
  nQoSDR000::tPowerupEntry* readPowerupStates(uint32_t& count,
                                              nQoMDBG100::tStatus2& status) override;
  // A count above the port count is refused (-50150) and writes nothing.
  void writePowerupStates(const nQoSDR000::tPowerupEntry* entries, uint32_t count,
                          nQoMDBG100::tStatus2& status) override;
  uint32_t getPortCount() const { return _portCount; }

 private:
  void checkSignature(nQoMDBG100::tStatus2& status);

  nQoSDR000::tPowerupEntry _entries[tPowerupPorts::kMaxPorts] = {};
  uint32_t _portCount = 0;
  nQoUdP100::tEEPROM* _eeprom;
  tPowerupPorts _ports;
};

class tTavikSinglePortProgPowerupPrimitive : public nQoSDR000::iProgPowerupPrim {
 public:
  // split: 0 places the value after the first line; 4 spreads its nibbles.
  tTavikSinglePortProgPowerupPrimitive(nQoUdP100::tEEPROM* eeprom, const tPowerupPorts& ports,
                                       uint32_t eepromIndex, uint32_t port, uint32_t split);
  nQoSDR000::tPowerupEntry* readPowerupStates(uint32_t& count,
                                              nQoMDBG100::tStatus2& status) override;
  void writePowerupStates(const nQoSDR000::tPowerupEntry* entries, uint32_t count,
                          nQoMDBG100::tStatus2& status) override;

 private:
  uint32_t _width = 0;
  uint32_t _firstLine = 0;
  uint32_t _eepromIndex;
  uint32_t _split;
  nQoUdP100::tEEPROM* _eeprom;
  uint32_t _kind;
  // The board builds this primitive with EEPROM index 0, so its one entry
  // is the first.
  nQoSDR000::tPowerupEntry _entry = {};
};

}  // namespace nQoUdR100
