#include "primitives/eeprom/tPralEEPROMContentMap.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdP100 {

namespace {

using nQoMDBG100::tStatus2;
using nQoUdRLP100::tInterval;

constexpr const char kFile[] = "qomiop/eeprom/tPralEEPROMContentMap";

constexpr uint32_t kVolts = 1;
constexpr uint32_t kIndexedBase = 896;

// The calibration area.
constexpr uint32_t kRecordsStart = 16;
constexpr uint32_t kAIRecord = 124;
constexpr uint32_t kAIRangePart = 68;
constexpr uint32_t kFixedBlock = 17;
constexpr uint32_t kAORecord = 49;
constexpr uint32_t kRangeEntry = 8;

// Fixed fields of an area: {field, offset, size}; 15914 follows the AI records.
struct tField {
  uint32_t id;
  uint32_t offset;
  uint32_t size;
};
constexpr tField kFields[] = {{14687, 0, 8}, {14688, 8, 4}, {14689, 12, 4}};
constexpr uint32_t kAOFactors = 15914;

constexpr tInterval volts(int32_t low, int32_t high, int16_t exponent) {
  return {{low, exponent, kVolts}, {high, exponent, kVolts}};
}
// Ranges by index: AI all seven, AO the first four.
constexpr tInterval kRanges[] = {volts(-10, 10, 0),   volts(-5, 5, 0),      volts(-2, 2, 0),
                                 volts(-1, 1, 0),     volts(-500, 500, -3), volts(-200, 200, -3),
                                 volts(-100, 100, -3)};
constexpr uint32_t kAIRanges = 7;
constexpr uint32_t kAORanges = 4;

// Offset of a coefficient kind (1 to 5) in a fixed block.
constexpr uint32_t kBlockOffsets[] = {0, 13, 9, 5, 1, 0};

constexpr tIndexedFieldRow kCalibrationIndexed[] = {
    {{{20, 4}, {0, 0}, {12, 4}, {19, 1}, {11, 1}}},
    {{{63, 1}, {0, 0}, {35, 1}, {61, 1}, {33, 1}}},
    {{{62, 1}, {0, 0}, {34, 1}, {61, 1}, {33, 1}}},
};
constexpr tIndexedFieldRow kTenDIOIndexed[] = {
    {{{0, 0}, {68, 4}, {4, 4}, {0, 0}, {0, 0}}},
};

void refuse(tStatus2& status, unsigned line) {
  nQoUdR100::setCode(status, nQoUdR100::kBadIndex, {kFile, line});
}

}  // namespace

tPralEEPROMContentMap::tPralEEPROMContentMap(uint32_t aiRecordCount)
    : tPralEEPROMContentMap(aiRecordCount, kCalibrationIndexed, 3) {}

tPralEEPROMContentMap::tPralEEPROMContentMap(uint32_t aiRecordCount,
                                             const tIndexedFieldRow* indexed, uint32_t indexedRows)
    : _aiRecordCount(aiRecordCount), _indexed(indexed), _indexedRows(indexedRows) {}

tUdSeries10DIOEEPROMContentMap::tUdSeries10DIOEEPROMContentMap(uint32_t aiRecordCount)
    : tPralEEPROMContentMap(aiRecordCount, kTenDIOIndexed, 1) {}

void tPralEEPROMContentMap::setHeader(const tEEPROMHeader& header, tStatus2& status) {
  if (!status.isFatal()) _header = header;
}

uint32_t tPralEEPROMContentMap::areaBase() const {
  if (_mapVersion != 1) return 0;
  return _selectedArea == kArea ? _header.area14693Address : _header.areaOtherAddress;
}

void tPralEEPROMContentMap::getCoefficientAddress(uint32_t kind, uint32_t section, uint32_t index,
                                                  const tInterval& range, uint32_t mode,
                                                  uint32_t& address, uint32_t& size,
                                                  tStatus2& status) {
  address = 0;
  size = 0;
  if (status.isFatal()) return;
  const bool ai = section == 1;
  if (!ai && section != 2) return refuse(status, 120);
  uint32_t offset = 0;
  if (mode == 0) {
    if (kind != 3 && kind != 4) return refuse(status, 125);
    const uint32_t ranges = ai ? kAIRanges : kAORanges;
    uint32_t found = ranges;
    for (uint32_t r = 0; r < ranges && found == ranges; ++r) {
      if (tInterval::equal(&range, &kRanges[r], status.code)) found = r;
      if (status.isFatal()) return;
    }
    if (found == ranges) return refuse(status, 133);
    offset = (ai ? kAIRangePart : kFixedBlock) + kRangeEntry * found + (kind == 4 ? 4 : 0);
  } else {
    if (kind < 1 || kind > 5 || mode > (ai ? 4u : 1u)) return refuse(status, 137);
    offset = (mode - 1) * kFixedBlock + kBlockOffsets[kind];
  }
  // An AI index past the n records would land in the AO records. In 64 bits
  // no index wraps onto another record's bytes; an address past 32 bits is
  // refused.
  if (ai && index >= _aiRecordCount) return refuse(status, 141);
  const uint64_t record =
      ai ? kRecordsStart + uint64_t{index} * kAIRecord
         : kRecordsStart + uint64_t{_aiRecordCount} * kAIRecord + uint64_t{index} * kAORecord;
  const uint64_t at = record + offset + areaBase();
  if (at > UINT32_MAX) return refuse(status, 146);
  address = static_cast<uint32_t>(at);
  size = kind == 5 ? 1 : 4;
}

void tPralEEPROMContentMap::getFieldAddress(uint32_t field, uint32_t& address, uint32_t& size,
                                            tStatus2& status) {
  address = 0;
  size = 0;
  if (status.isFatal()) return;
  if (field == kAOFactors) {
    address = kRecordsStart + _aiRecordCount * kAIRecord + areaBase();
    size = 4 * _aiRecordCount;
    return;
  }
  for (const tField& known : kFields) {
    if (known.id != field) continue;
    address = known.offset + areaBase();
    size = known.size;
    return;
  }
  refuse(status, 170);
}

void tPralEEPROMContentMap::getStringFieldAddress(uint32_t field, uint32_t& address,
                                                  uint32_t& capacity, tStatus2& status) {
  address = 0;
  capacity = 0;
  if (status.isFatal()) return;
  if (field == 14691) {
    address = _header.stringBase + 10;
    capacity = 10;
  } else if (field == 14692) {
    address = _header.stringBase;
    capacity = 10;
  } else if (field == 14690) {
    address = _header.field14690Address;
    capacity = _header.field14690Size;
  } else {
    refuse(status, 192);
  }
}

void tPralEEPROMContentMap::getIndexedFieldAddress(uint32_t kind, uint32_t index, uint32_t& address,
                                                   uint32_t& size, tStatus2& status) {
  address = 0;
  size = 0;
  if (status.isFatal()) return;
  if (index >= _indexedRows || kind >= 5 || _indexed[index].kinds[kind].size == 0)
    return refuse(status, 204);
  address = _indexed[index].kinds[kind].address + kIndexedBase;
  size = _indexed[index].kinds[kind].size;
}

uint32_t tPralEEPROMContentMap::getAreaAddress(uint32_t tag, tStatus2& status) {
  if (status.isFatal()) return 0;
  return tag == kArea ? _header.area14693Address : _header.areaOtherAddress;
}

uint32_t tPralEEPROMContentMap::getAreaSize(uint32_t tag, tStatus2& status) {
  if (status.isFatal()) return 0;
  return tag == kArea ? _header.area14693Size : _header.areaOtherSize;
}

uint32_t tPralEEPROMContentMap::getContentMapWord18(uint32_t, tStatus2& status) {
  if (!status.isFatal()) nQoUdR100::setCode(status, nQoUdR100::kNotSupported, {kFile, 226});
  return 0xFFFFFFFF;
}

uint32_t tPralEEPROMContentMap::getContentMapWord19(uint32_t, tStatus2& status) {
  if (!status.isFatal()) nQoUdR100::setCode(status, nQoUdR100::kNotSupported, {kFile, 231});
  return 0xFFFFFFFF;
}

}  // namespace nQoUdP100
