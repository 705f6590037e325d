// The board's EEPROM as the simulated Tavik window shows it: 1024 bytes at
// offset 0x400 + address, and the busy bit (bit 0 of 0x84), which each byte
// write sets for the next busyPolls reads (kForEver: never clears again).
//
//   nQoSim::tSimEEPROM eeprom(windows, tavikWindow);
//   eeprom.bytes[24] = 0x01;           // what the board holds
//   eeprom.busyPolls = 2;              // after a write: busy, busy, ready
#pragma once

#include <cstdint>
#include <vector>

#include "sim/tSimRegisterWindows.h"

namespace nQoSim {

class tSimEEPROM {
 public:
  static constexpr uint32_t kBase = 0x400;
  static constexpr uint32_t kSize = 1024;
  static constexpr uint32_t kBusy = 0x84;
  static constexpr uint32_t kForEver = 0xFFFFFFFF;

  tSimEEPROM(tSimRegisterWindows& windows, unsigned window) : bytes(kSize, 0) {
    for (uint32_t at = 0; at < kSize; ++at) {
      windows.setReadCallback(window, kBase + at, [this, at](unsigned) { return bytes[at]; });
      windows.setWriteCallback(window, kBase + at, [this, at](unsigned, uint32_t value) {
        bytes[at] = static_cast<uint8_t>(value);
        writes.push_back(at);
        _busyLeft = busyPolls;
      });
    }
    windows.setReadCallback(window, kBusy, [this](unsigned) -> uint32_t {
      ++busyReads;
      if (_busyLeft == 0) return 0;
      if (_busyLeft != kForEver) --_busyLeft;
      return 1;
    });
  }

  std::vector<uint8_t> bytes;
  uint32_t busyPolls = 0;
  // Addresses written, in order, and reads of the busy register.
  std::vector<uint32_t> writes;
  unsigned busyReads = 0;

 private:
  uint32_t _busyLeft = 0;
};

}  // namespace nQoSim
