// An EEPROM device: byte runs from and to a shadow copy (read, write) or
// the hardware (readFromDevice, writeToDevice), pending shadow writes that
// commit sends to the hardware or revert drops, and the access state.
// order 0 stores multi-byte values with their bytes reversed (host order
// turned round); 1 and 2 copy them as they are.
#pragma once

#include <cstdint>

#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"

namespace nQoUdP100 {

class iBaseEEPROM : public nQoUdR100::tModuleObject {
 public:
  virtual ~iBaseEEPROM() = default;
  virtual void readFromDevice(uint32_t address, uint32_t length, uint8_t* buffer,
                              nQoMDBG100::tStatus2& status, uint32_t order) = 0;
  // The buffer is turned round for the write and back after it.
  virtual void writeToDevice(uint32_t address, uint32_t length, uint8_t* buffer,
                             nQoMDBG100::tStatus2& status, uint32_t order) = 0;
  virtual void read(uint32_t address, uint32_t length, uint8_t* buffer,
                    nQoMDBG100::tStatus2& status, uint32_t order) = 0;
  virtual void write(uint32_t address, uint32_t length, uint8_t* buffer,
                     nQoMDBG100::tStatus2& status, uint32_t order) = 0;
  virtual void revert(nQoMDBG100::tStatus2& status) = 0;
  virtual void commit(nQoMDBG100::tStatus2& status) = 0;
  virtual void enableRead(nQoMDBG100::tStatus2& status) = 0;
  virtual void enableWrite(nQoMDBG100::tStatus2& status) = 0;
  virtual void disableAccess(nQoMDBG100::tStatus2& status) = 0;
};

// Reverses a multi-byte value of order 0 in place.
inline void turnRound(uint8_t* buffer, uint32_t length, uint32_t order) {
  if (order != 0 || length < 2) return;
  for (uint32_t i = 0, j = length - 1; i < j; ++i, --j) {
    const uint8_t byte = buffer[i];
    buffer[i] = buffer[j];
    buffer[j] = byte;
  }
}

// True when [address, address + length) lies inside size bytes.
constexpr bool inside(uint32_t address, uint32_t length, uint32_t size) {
  return length <= size && address <= size - length;
}

}  // namespace nQoUdP100
