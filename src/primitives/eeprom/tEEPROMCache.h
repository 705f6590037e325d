// A byte cache over an EEPROM device with a valid and a dirty flag per
// byte. A read fills the bytes of its range that are not valid from the
// device (dirty bytes keep what was written); flush writes every run of
// dirty bytes. Ranges past the n cached bytes give kEEPROMCacheRange.
//
//   tEEPROMCache cache(1024, &device, status);
//   cache.write(5, 2, bytes, status);   // valid and dirty
//   cache.flush(status);                // one writeToDevice(5, 2)
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "primitives/eeprom/iBaseEEPROM.h"

namespace nQoUdP100 {

class tEEPROMCache final {
 public:
  static constexpr uint8_t kDirty = 1;
  static constexpr uint8_t kValid = 2;

  tEEPROMCache(uint32_t size, iBaseEEPROM* device, nQoMDBG100::tStatus2& status);
  virtual ~tEEPROMCache();
  tEEPROMCache(const tEEPROMCache&) = delete;
  tEEPROMCache& operator=(const tEEPROMCache&) = delete;

  virtual void read(uint32_t address, uint32_t length, uint8_t* buffer,
                    nQoMDBG100::tStatus2& status);
  virtual void write(uint32_t address, uint32_t length, const uint8_t* buffer,
                     nQoMDBG100::tStatus2& status);
  // write, then the range counts as clean.
  virtual void storeClean(uint32_t address, uint32_t length, const uint8_t* buffer,
                          nQoMDBG100::tStatus2& status);
  virtual void invalidate();
  virtual void flush(nQoMDBG100::tStatus2& status);

  uint8_t flags(uint32_t address) const { return address < _size ? _flags[address] : 0; }

 private:
  bool inRange(uint32_t address, uint32_t length, nQoMDBG100::tStatus2& status, unsigned line);
  // The end of the run from at whose bytes have (dirty) or lack (!dirty) the dirty flag.
  uint32_t runEnd(uint32_t at, uint32_t end, bool dirty) const;

  uint32_t _size = 0;
  iBaseEEPROM* _device;
  uint8_t* _block = nullptr;
  uint8_t* _data = nullptr;
  uint8_t* _flags = nullptr;
};

}  // namespace nQoUdP100
