// Where each stored value of the EEPROM lies: field identifiers, string
// fields, indexed fields and calibration coefficients turned into EEPROM
// byte addresses and sizes. Every lookup answers 0 and 0 on a failed status.
#pragma once

#include <cstdint>

#include "frame/tInterval.h"
#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"

namespace nQoUdP100 {

// The header values of the EEPROM, in the order the map keeps them.
struct tEEPROMHeader {
  uint32_t area14693Address = 0xFFFFFFFF;   // EEPROM address 24
  uint32_t areaOtherAddress = 0xFFFFFFFF;   // 20
  uint32_t stringBase = 0xFFFFFFFF;         // 16
  uint32_t field14690Address = 0xFFFFFFFF;  // 28
  uint32_t area14693Size = 0;               // 26
  uint32_t areaOtherSize = 0;               // 22
  uint32_t headerWord18 = 0;                // 18
  uint32_t field14690Size = 0;              // 30
  uint32_t formatByte = 0;                  // the byte at 2
};

class iEEPROMContentMap : public nQoUdR100::tModuleObject {
 public:
  virtual ~iEEPROMContentMap() = default;
  virtual void setHeader(const tEEPROMHeader& header, nQoMDBG100::tStatus2& status) = 0;
  // A caller's data area of count bytes that the map may fill with what it
  // tells of itself.
  virtual void setContentMapInfo(uint8_t* data, uint32_t count) = 0;
  virtual uint32_t getContentMapValue(nQoMDBG100::tStatus2& status) = 0;
  virtual void setMapVersion(uint32_t version) = 0;
  virtual uint32_t getMapVersion() const = 0;
  virtual void selectArea(uint32_t tag) = 0;
  virtual uint32_t getSelectedArea() const = 0;
  virtual void getCoefficientAddress(uint32_t kind, uint32_t section, uint32_t index,
                                     const nQoUdRLP100::tInterval& range, uint32_t mode,
                                     uint32_t& address, uint32_t& size,
                                     nQoMDBG100::tStatus2& status) = 0;
  virtual void getFieldAddress(uint32_t field, uint32_t& address, uint32_t& size,
                               nQoMDBG100::tStatus2& status) = 0;
  virtual void getStringFieldAddress(uint32_t field, uint32_t& address, uint32_t& capacity,
                                     nQoMDBG100::tStatus2& status) = 0;
  virtual void getIndexedFieldAddress(uint32_t kind, uint32_t index, uint32_t& address,
                                      uint32_t& size, nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t getAreaAddress(uint32_t tag, nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t getAreaSize(uint32_t tag, nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t getContentMapWord18(uint32_t word, nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t getContentMapWord19(uint32_t word, nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t getFormatByte(nQoMDBG100::tStatus2& status) = 0;
  // The byte-order word of the EEPROM's values.
  virtual uint32_t getByteOrder(nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoUdP100
