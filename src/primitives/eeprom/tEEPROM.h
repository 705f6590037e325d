// The EEPROM facade that the EEPROM supervisor calls: it asks the content
// map where a value lies and moves the bytes through the device, from the
// shadow copy or the hardware. Neither map nor device is owned; a missing
// one gives kNullPointer. Sizes given by the caller must equal the map's
// (kValueTooWide otherwise, nothing moved).
//
//   tEEPROM eeprom(&map, &device);
//   eeprom.load(status);                                  // the header to the map
//   eeprom.readField(15914, 4, bytes, status);
//   eeprom.readStringField(14692, 4, text, status);       // 16-bit units
#pragma once

#include <cstdint>

#include "frame/tInterval.h"
#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "primitives/eeprom/iBaseEEPROM.h"
#include "primitives/eeprom/iEEPROMContentMap.h"

namespace nQoUdP100 {

class tEEPROM : public nQoUdR100::tModuleObject {
 public:
  static inline void* ___classID = nullptr;

  // The selectors of one calibration coefficient.
  struct tCoefficient {
    uint32_t kind;
    uint32_t section;
    uint32_t index;
    nQoUdRLP100::tInterval range;
    uint32_t mode;
  };

  tEEPROM(iEEPROMContentMap* map, iBaseEEPROM* device) : _map(map), _device(device) {}
  virtual ~tEEPROM() = default;
  virtual void* ___CPPKRLDynamicCast(void* const* classID) {
    return classID == &___classID ? this : nullptr;
  }
  // Reads the header directly from the device and hands it to the map.
  virtual void load(nQoMDBG100::tStatus2& status);
  uint32_t isInitialized() const { return _initialized; }

  // By address, through the shadow copy or straight to the device; inline, so
  // that a caller's one call reaches the device.
  void read(uint32_t address, uint32_t length, uint8_t* buffer, nQoMDBG100::tStatus2& status) {
    run(&iBaseEEPROM::read, address, length, buffer, status, 275);
  }
  void write(uint32_t address, uint32_t length, uint8_t* buffer, nQoMDBG100::tStatus2& status) {
    run(&iBaseEEPROM::write, address, length, buffer, status, 249);
  }
  void readFromDevice(uint32_t address, uint32_t length, uint8_t* buffer,
                      nQoMDBG100::tStatus2& status) {
    run(&iBaseEEPROM::readFromDevice, address, length, buffer, status, 262);
  }
  void writeToDevice(uint32_t address, uint32_t length, uint8_t* buffer,
                     nQoMDBG100::tStatus2& status) {
    run(&iBaseEEPROM::writeToDevice, address, length, buffer, status, 236);
  }
  // count elements of size bytes from consecutive addresses, each in the byte
  // order; elements of size 0 read nothing.
  void readArray(uint32_t address, uint32_t count, uint32_t size, uint8_t* buffer,
                 nQoMDBG100::tStatus2& status);
  void revert(nQoMDBG100::tStatus2& status);
  void commit(nQoMDBG100::tStatus2& status);
  void enableRead(nQoMDBG100::tStatus2& status);
  void enableWrite(nQoMDBG100::tStatus2& status);
  void disableAccess(nQoMDBG100::tStatus2& status);

  void selectArea(uint32_t tag, nQoMDBG100::tStatus2& status);
  uint32_t getSelectedArea(nQoMDBG100::tStatus2& status);
  uint32_t getAreaAddress(uint32_t tag, nQoMDBG100::tStatus2& status);
  uint32_t getAreaSize(uint32_t tag, nQoMDBG100::tStatus2& status);
  uint32_t getContentMapValue(nQoMDBG100::tStatus2& status);
  uint32_t getFormatByte(nQoMDBG100::tStatus2& status);
  void setContentMapInfo(uint8_t* data, uint32_t count, nQoMDBG100::tStatus2& status);
  uint32_t getContentMapWord18(uint32_t word, nQoMDBG100::tStatus2& status);
  uint32_t getContentMapWord19(uint32_t word, nQoMDBG100::tStatus2& status);

  void readField(uint32_t field, uint32_t size, uint8_t* buffer, nQoMDBG100::tStatus2& status);
  void writeField(uint32_t field, uint32_t size, uint8_t* buffer, nQoMDBG100::tStatus2& status);
  void readFieldFromDevice(uint32_t field, uint32_t size, uint8_t* buffer,
                           nQoMDBG100::tStatus2& status);
  void writeFieldToDevice(uint32_t field, uint32_t size, uint8_t* buffer,
                          nQoMDBG100::tStatus2& status);
  void readIndexedField(uint32_t kind, uint32_t index, uint32_t size, uint8_t* buffer,
                        nQoMDBG100::tStatus2& status);
  void writeIndexedField(uint32_t kind, uint32_t index, uint32_t size, uint8_t* buffer,
                         nQoMDBG100::tStatus2& status);
  void readCalibrationCoefficient(const tCoefficient& which, uint32_t size, uint8_t* buffer,
                                  nQoMDBG100::tStatus2& status);
  void writeCalibrationCoefficient(const tCoefficient& which, uint32_t size, uint8_t* buffer,
                                   nQoMDBG100::tStatus2& status);
  void readCalibrationCoefficientFromDevice(const tCoefficient& which, uint32_t size,
                                            uint8_t* buffer, nQoMDBG100::tStatus2& status);
  void writeCalibrationCoefficientToDevice(const tCoefficient& which, uint32_t size,
                                           uint8_t* buffer, nQoMDBG100::tStatus2& status);
  // length in bytes, at most the field's capacity; an odd length moves
  // length / 2 units. Writes fill the rest of the field with zero units.
  void readStringField(uint32_t field, uint32_t length, uint8_t* buffer,
                       nQoMDBG100::tStatus2& status);
  void writeStringField(uint32_t field, uint32_t length, uint8_t* buffer,
                        nQoMDBG100::tStatus2& status);
  void readStringFieldFromDevice(uint32_t field, uint32_t length, uint8_t* buffer,
                                 nQoMDBG100::tStatus2& status);
  void writeStringFieldToDevice(uint32_t field, uint32_t length, uint8_t* buffer,
                                nQoMDBG100::tStatus2& status);
  // Copies area 14694 onto area 14693 through the shadow; the area selected
  // before is selected again also on failure.
  void copyCalibrationArea(nQoMDBG100::tStatus2& status);

 private:
  using tAccess = void (iBaseEEPROM::*)(uint32_t, uint32_t, uint8_t*, nQoMDBG100::tStatus2&,
                                        uint32_t);

  // False (with kNullPointer at line) when the device or the map it needs is missing.
  bool ready(bool needsMap, nQoMDBG100::tStatus2& status, unsigned line) const {
    if (status.isFatal()) return false;
    if (_device != nullptr && (!needsMap || _map != nullptr)) return true;
    reportMissing(status, line);
    return false;
  }
  // kNullPointer at line, out of line so that the checks stay small.
  [[gnu::cold, gnu::noinline]] static void reportMissing(nQoMDBG100::tStatus2& status,
                                                         unsigned line);
  void run(tAccess access, uint32_t address, uint32_t length, uint8_t* buffer,
           nQoMDBG100::tStatus2& status, unsigned line) {
    if (ready(false, status, line)) (_device->*access)(address, length, buffer, status, _byteOrder);
  }
  // The caller's size against the map's, then the access.
  void sized(tAccess access, uint32_t address, uint32_t mapSize, uint32_t size, uint8_t* buffer,
             nQoMDBG100::tStatus2& status, unsigned line);
  void field(tAccess access, uint32_t id, uint32_t size, uint8_t* buffer,
             nQoMDBG100::tStatus2& status, unsigned line);
  void indexed(tAccess access, uint32_t kind, uint32_t index, uint32_t size, uint8_t* buffer,
               nQoMDBG100::tStatus2& status, unsigned line);
  void coefficient(tAccess access, const tCoefficient& which, uint32_t size, uint8_t* buffer,
                   nQoMDBG100::tStatus2& status, unsigned line);
  void string(tAccess access, bool writing, uint32_t id, uint32_t length, uint8_t* buffer,
              nQoMDBG100::tStatus2& status, unsigned line);
  uint32_t headerWord(uint32_t address, nQoMDBG100::tStatus2& status);

  iEEPROMContentMap* _map;
  iBaseEEPROM* _device;
  uint32_t _byteOrder = 0;
  uint32_t _initialized = 0;
};

}  // namespace nQoUdP100
