// The calibration content map (map format 1) and its 10DIO variant (format
// 2), which differs only in its indexed-field table. A calibration area
// holds three fixed fields, n AI records of 124 bytes and the AO records of
// 49 bytes; with map version 1 its addresses are relative to the selected
// area (14693, or the other area for any other tag).
//
//   tPralEEPROMContentMap map(1);           // one AI record
//   map.setHeader(header, status);
//   map.getFieldAddress(15914, address, size, status);   // 16 + 124 + area
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "primitives/eeprom/iEEPROMContentMap.h"

namespace nQoUdP100 {

// One row of an indexed-field table: {address, size} per kind 0 to 4, size
// 0 where the map has no such kind.
struct tIndexedFieldRow {
  struct tEntry {
    uint32_t address;
    uint32_t size;
  };
  tEntry kinds[5];
};

class tPralEEPROMContentMap : public iEEPROMContentMap {
 public:
  static constexpr uint32_t kArea = 14693;
  static constexpr uint32_t kOtherArea = 14694;

  explicit tPralEEPROMContentMap(uint32_t aiRecordCount);

  void setHeader(const tEEPROMHeader& header, nQoMDBG100::tStatus2& status) override;
  void setContentMapInfo(uint8_t*, uint32_t) override {}
  uint32_t getContentMapValue(nQoMDBG100::tStatus2&) override { return 0; }
  void setMapVersion(uint32_t version) override { _mapVersion = version; }
  uint32_t getMapVersion() const override { return _mapVersion; }
  void selectArea(uint32_t tag) override { _selectedArea = tag; }
  uint32_t getSelectedArea() const override { return _selectedArea; }
  // section 1 (AI) or 2 (AO); mode 0 range coefficients of kinds 3 and 4,
  // modes 1 to 4 (AI) or 1 (AO) the fixed blocks. kBadIndex, and both
  // outputs 0, for an AI index past the n records or an address past 32 bits.
  void getCoefficientAddress(uint32_t kind, uint32_t section, uint32_t index,
                             const nQoUdRLP100::tInterval& range, uint32_t mode, uint32_t& address,
                             uint32_t& size, nQoMDBG100::tStatus2& status) override;
  void getFieldAddress(uint32_t field, uint32_t& address, uint32_t& size,
                       nQoMDBG100::tStatus2& status) override;
  void getStringFieldAddress(uint32_t field, uint32_t& address, uint32_t& capacity,
                             nQoMDBG100::tStatus2& status) override;
  // kBadIndex for an index past the table or a kind the map lacks.
  void getIndexedFieldAddress(uint32_t kind, uint32_t index, uint32_t& address, uint32_t& size,
                              nQoMDBG100::tStatus2& status) override;
  uint32_t getAreaAddress(uint32_t tag, nQoMDBG100::tStatus2& status) override;
  uint32_t getAreaSize(uint32_t tag, nQoMDBG100::tStatus2& status) override;
  uint32_t getContentMapWord18(uint32_t word, nQoMDBG100::tStatus2& status) override;
  uint32_t getContentMapWord19(uint32_t word, nQoMDBG100::tStatus2& status) override;
  uint32_t getFormatByte(nQoMDBG100::tStatus2& status) override {
    return status.isFatal() ? 0 : _header.formatByte;
  }
  uint32_t getByteOrder(nQoMDBG100::tStatus2&) override { return 0; }

 protected:
  tPralEEPROMContentMap(uint32_t aiRecordCount, const tIndexedFieldRow* indexed,
                        uint32_t indexedRows);

 private:
  // The selected area's address with map version 1, else 0.
  uint32_t areaBase() const;

  tEEPROMHeader _header;
  uint32_t _aiRecordCount;
  const tIndexedFieldRow* _indexed;
  uint32_t _indexedRows;
  uint32_t _selectedArea = kArea;
  uint32_t _mapVersion = 1;
};

class tUdSeries10DIOEEPROMContentMap final : public tPralEEPROMContentMap {
 public:
  explicit tUdSeries10DIOEEPROMContentMap(uint32_t aiRecordCount);
};

}  // namespace nQoUdP100
