// The board's EEPROM device: a shadow copy of every byte, read when the
// object is built; shadow writes are pending until commit sends them to
// the hardware in ascending address order (write state) or revert reads
// them back (read state). The hardware side belongs to the derived class.
//
//   eeprom.write(5, 2, bytes, status, 0);   // shadow 5, 6; pending {5, 6}
//   eeprom.enableWrite(status);
//   eeprom.commit(status);                  // hardware 5, then 6
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "primitives/eeprom/iBaseEEPROM.h"

namespace nQoUdP100 {

class tBaseTavikEEPROM : public iBaseEEPROM {
 public:
  static constexpr uint32_t kSizeFromBoard = 0xFFFFFFFF;

  ~tBaseTavikEEPROM() override;

  // Shadow runs outside the EEPROM give kEEPROMReadRange or
  // kEEPROMWriteRange and copy nothing; a failed status reads zeros.
  void read(uint32_t address, uint32_t length, uint8_t* buffer, nQoMDBG100::tStatus2& status,
            uint32_t order) override;
  void write(uint32_t address, uint32_t length, uint8_t* buffer, nQoMDBG100::tStatus2& status,
             uint32_t order) override;
  // Byte by byte; the first byte past the end stops the run with the code,
  // and a byte whose hardware access fails stops it with its shadow value
  // and pending mark unchanged.
  void readFromDevice(uint32_t address, uint32_t length, uint8_t* buffer,
                      nQoMDBG100::tStatus2& status, uint32_t order) override;
  void writeToDevice(uint32_t address, uint32_t length, uint8_t* buffer,
                     nQoMDBG100::tStatus2& status, uint32_t order) override;
  // kCannotWrite outside the write state, kCannotRead outside the read
  // state; the pending set is kept then. A byte whose hardware access fails
  // ends the run and stays pending, with every byte after it.
  void commit(nQoMDBG100::tStatus2& status) override;
  void revert(nQoMDBG100::tStatus2& status) override;

  uint32_t size() const { return _size; }
  bool isPending(uint32_t address) const {
    return address < _size && (_pending[address / 8] & (1u << (address % 8))) != 0;
  }
  uint32_t pendingCount() const;

 protected:
  enum tAccessState : uint32_t { kRead = 0, kWrite = 1, kClosed = 2 };

  tBaseTavikEEPROM(uint32_t size, uint32_t noHardware, nQoMDBG100::tStatus2& status);
  // The shadow and pending set of size bytes (kOutOfMemory when they cannot be had).
  void allocate(uint32_t size, nQoMDBG100::tStatus2& status);

  virtual uint8_t readByte(uint32_t address, nQoMDBG100::tStatus2& status) = 0;
  virtual void writeByte(uint32_t address, uint8_t value, nQoMDBG100::tStatus2& status) = 0;

  uint32_t _noHardware;
  uint32_t _size = 0;
  uint8_t* _shadow = nullptr;
  uint32_t _accessState = kClosed;

 private:
  void setPending(uint32_t address, bool on) {
    const uint8_t bit = static_cast<uint8_t>(1u << (address % 8));
    _pending[address / 8] =
        static_cast<uint8_t>(on ? _pending[address / 8] | bit : _pending[address / 8] & ~bit);
  }
  void clearPending();

  // One bit per address: an ordered set that cannot fail to grow.
  uint8_t* _pending = nullptr;
};

}  // namespace nQoUdP100
