#include "supervisors/eeprom/tEEPROMSupervisor.h"

#include "frame/statusCodes.h"
#include "frame/tInterval.h"
#include "frame/tStatusSite.h"
#include "mrl/iControlParameterBlock.h"
#include "orb/castToClass.h"
#include "settings/tParameterBlockValidateHelper.h"
#include "supervisors/blockBytes.h"

namespace nQoUdR100 {

namespace {

using nQoMDBG100::tStatus2;
using nQoMRL100::iControlParameterBlock;
using nQoUdP100::tEEPROM;
using tHelper = tParameterBlockValidateHelper;

constexpr const char* kFile = tBaseEEPROMSupervisor::kFile;
constexpr uint32_t kFirstUnknownCode = 287;
constexpr unsigned kUnknownLine = 797;

// Requests without blocks.
struct tPlainRequest {
  uint32_t code;
  void (tEEPROM::*operation)(tStatus2&);
};
constexpr tPlainRequest kPlainRequests[] = {
    {261, &tEEPROM::enableRead}, {262, &tEEPROM::enableWrite}, {263, &tEEPROM::disableAccess},
    {269, &tEEPROM::commit},     {270, &tEEPROM::revert},      {271, &tEEPROM::copyCalibrationArea},
    {285, &tEEPROM::load}};

// Requests that answer one word.
struct tWordRequest {
  uint32_t code;
  uint32_t (tEEPROM::*operation)(tStatus2&);
};
constexpr tWordRequest kWordRequests[] = {{256, &tEEPROM::getSelectedArea},
                                          {259, &tEEPROM::getContentMapValue},
                                          {286, &tEEPROM::getFormatByte}};

// A facade operation on bytes as a plain function: a row calls it in one
// step, and the facade's inline accesses are compiled into it.
template <void (tEEPROM::*operation)(uint32_t, uint32_t, uint8_t*, tStatus2&)>
void onBytes(tEEPROM& eeprom, uint32_t where, uint32_t length, uint8_t* bytes, tStatus2& status) {
  (eeprom.*operation)(where, length, bytes, status);
}

// Requests that take an address or field id and a byte length: a write
// takes its bytes from the in block after the two words, a read fills the
// out block's data area. The line is that of the length check.
struct tByteRequest {
  uint32_t code;
  void (*operation)(tEEPROM&, uint32_t, uint32_t, uint8_t*, tStatus2&);
  bool writes;
  unsigned line;
};
constexpr tByteRequest kByteRequests[] = {
    {264, onBytes<&tEEPROM::writeToDevice>, true, 293},
    {265, onBytes<&tEEPROM::write>, true, 321},
    {266, onBytes<&tEEPROM::readFromDevice>, false, 342},
    {267, onBytes<&tEEPROM::read>, false, 363},
    {277, onBytes<&tEEPROM::writeFieldToDevice>, true, 545},
    {278, onBytes<&tEEPROM::writeField>, true, 572},
    {279, onBytes<&tEEPROM::readFieldFromDevice>, false, 599},
    {280, onBytes<&tEEPROM::readField>, false, 626},
    {281, onBytes<&tEEPROM::writeStringFieldToDevice>, true, 653},
    {282, onBytes<&tEEPROM::writeStringField>, true, 680},
    {283, onBytes<&tEEPROM::readStringFieldFromDevice>, false, 706},
    {284, onBytes<&tEEPROM::readStringField>, false, 733}};

// Requests on one calibration coefficient, which a 36-byte header selects.
struct tCoefficientRequest {
  uint32_t code;
  void (tEEPROM::*operation)(const tEEPROM::tCoefficient&, uint32_t, uint8_t*, tStatus2&);
  bool writes;
  unsigned line;
};
constexpr tCoefficientRequest kCoefficientRequests[] = {
    {273, &tEEPROM::writeCalibrationCoefficientToDevice, true, 429},
    {274, &tEEPROM::writeCalibrationCoefficient, true, 457},
    {275, &tEEPROM::readCalibrationCoefficientFromDevice, false, 488},
    {276, &tEEPROM::readCalibrationCoefficient, false, 518}};

constexpr uint32_t kWordsBeforeBytes = 8;
constexpr uint32_t kCoefficientHeader = 36;
constexpr uint32_t kSmallestCoefficientBlock = 27;

// Which table holds a code's row, and the row: one entry per code from 255 to
// 286, so that a request finds its row in one step.
enum class tTable : uint8_t { kNone, kPlain, kWord, kByte, kCoefficient };
struct tRoute {
  tTable table = tTable::kNone;
  uint8_t row = 0;
};
constexpr uint32_t kFirstRoutedCode = 255;
struct tRoutes {
  tRoute at[kFirstUnknownCode - kFirstRoutedCode];
};

template <class tRow, std::size_t N>
constexpr void enter(tRoutes& routes, const tRow (&table)[N], tTable which) {
  for (std::size_t i = 0; i < N; ++i)
    routes.at[table[i].code - kFirstRoutedCode] = {which, static_cast<uint8_t>(i)};
}

constexpr tRoutes kRoutes = [] {
  tRoutes routes{};
  enter(routes, kPlainRequests, tTable::kPlain);
  enter(routes, kWordRequests, tTable::kWord);
  enter(routes, kByteRequests, tTable::kByte);
  enter(routes, kCoefficientRequests, tTable::kCoefficient);
  return routes;
}();

tRoute routeOf(uint32_t code) {
  if (code < kFirstRoutedCode || code >= kFirstUnknownCode) return {};
  return kRoutes.at[code - kFirstRoutedCode];
}

// The in block (and out block, when used) checked in that order; the helper
// is asked only when one is missing.
bool blocksPresent(iControlParameterBlock* in, iControlParameterBlock* out, bool needsIn,
                   bool needsOut, tStatus2& status) {
  if ((needsIn && in == nullptr) || (needsOut && out == nullptr)) {
    if (needsIn) tHelper::checkNotNull(in, status);
    if (needsOut) tHelper::checkNotNull(out, status);
  }
  return status.isNotFatal();
}

// The code of a block's accesses merged into the caller's status, which held
// no error before them; a clean one merges nothing. True while the status
// holds no error.
bool mergeBlock(int blockCode, tStatus2& status) {
  if (blockCode == 0) return true;
  const tStatus2 block(blockCode);
  tHelper::mergeValidationStatus(block, status);
  return status.isNotFatal();
}

// Writes words to the out block on a code of their own merged into the
// caller's status.
template <class... tWords>
void answerWords(iControlParameterBlock& out, tStatus2& status, tWords... words) {
  int blockCode = 0;
  (out.writeU32(static_cast<uint32_t>(words), blockCode), ...);
  mergeBlock(blockCode, status);
}

// Compiled once for reads and once for writes, so that neither asks the row
// which it is.
template <bool writes>
void byteRequest(tEEPROM& eeprom, const tByteRequest& row, iControlParameterBlock* in,
                 iControlParameterBlock* out, tStatus2& status) {
  if (!blocksPresent(in, out, true, !writes, status)) return;
  int blockCode = 0;
  const uint32_t where = in->readU32(blockCode);
  const uint32_t length = in->readU32(blockCode);
  if (!mergeBlock(blockCode, status)) return;
  const bool fits = writes ? fitsBehind(*in, kWordsBeforeBytes, length) : length <= out->getSize();
  if (!fits) {
    setCode(status, kRefused, {kFile, row.line});
    return;
  }
  uint8_t* bytes = writes ? dataOf(*in) + kWordsBeforeBytes : dataOf(*out);
  row.operation(eeprom, where, length, bytes, status);
}

void coefficientRequest(tEEPROM& eeprom, const tCoefficientRequest& row, iControlParameterBlock* in,
                        iControlParameterBlock* out, tStatus2& status) {
  if (!blocksPresent(in, out, true, !row.writes, status)) return;
  if (in->getSize() < kSmallestCoefficientBlock) {
    setCode(status, kRefused, {kFile, 837});
    return;
  }
  tEEPROM::tCoefficient which{};
  int blockCode = 0;
  which.kind = in->readU32(blockCode);
  which.section = in->readU32(blockCode);
  which.index = in->readU32(blockCode);
  which.range.lower.readExternal(*in, blockCode);
  which.range.upper.readExternal(*in, blockCode);
  which.mode = in->readU32(blockCode);
  const uint32_t length = in->readU32(blockCode);
  if (!mergeBlock(blockCode, status)) return;
  const bool fits =
      row.writes ? fitsBehind(*in, kCoefficientHeader, length) : length <= out->getSize();
  if (!fits) {
    setCode(status, kRefused, {kFile, row.line});
    return;
  }
  uint8_t* bytes = row.writes ? dataOf(*in) + kCoefficientHeader : dataOf(*out);
  (eeprom.*row.operation)(which, length, bytes, status);
}

// The element count times the element size, in 64 bits so that no product
// wraps below the out block's size.
void arrayRequest(tEEPROM& eeprom, iControlParameterBlock* in, iControlParameterBlock* out,
                  tStatus2& status) {
  if (!blocksPresent(in, out, true, true, status)) return;
  int blockCode = 0;
  const uint32_t address = in->readU32(blockCode);
  const uint32_t elementSize = in->readU32(blockCode);
  const uint32_t count = in->readU32(blockCode);
  if (!mergeBlock(blockCode, status)) return;
  if (uint64_t{elementSize} * count > out->getSize()) {
    setCode(status, kRefused, {kFile, 385});
    return;
  }
  eeprom.readArray(address, count, elementSize, dataOf(*out), status);
}

// Request 260: the out block's data area, at least count bytes, handed to
// the content map.
void infoRequest(tEEPROM& eeprom, iControlParameterBlock* in, iControlParameterBlock* out,
                 tStatus2& status) {
  if (!blocksPresent(in, out, true, true, status)) return;
  int blockCode = 0;
  const uint32_t count = in->readU32(blockCode);
  if (!mergeBlock(blockCode, status)) return;
  if (count > out->getSize()) {
    setCode(status, kRefused, {kFile, 250});
    return;
  }
  eeprom.setContentMapInfo(dataOf(*out), count, status);
}

// Requests 257 and 258: one signed word in, two words out.
void pairRequest(tEEPROM& eeprom, uint32_t (tEEPROM::*first)(uint32_t, tStatus2&),
                 uint32_t (tEEPROM::*second)(uint32_t, tStatus2&), iControlParameterBlock* in,
                 iControlParameterBlock* out, tStatus2& status) {
  if (!blocksPresent(in, out, true, true, status)) return;
  int blockCode = 0;
  const auto argument = static_cast<uint32_t>(in->readI32(blockCode));
  if (!mergeBlock(blockCode, status)) return;
  const uint32_t a = (eeprom.*first)(argument, status);
  const uint32_t b = (eeprom.*second)(argument, status);
  if (status.isNotFatal()) answerWords(*out, status, a, b);
}

}  // namespace

void tBaseEEPROMSupervisor::commitCancel(tStatus2& status) {
  if (status.isNotFatal()) tPlainSupervisor::commitCancel(status);
}

void tBaseEEPROMSupervisor::onControl(tEEPROM* reserved, uint32_t code, iControlParameterBlock* in,
                                      iControlParameterBlock* out, tStatus2& status) {
  if (reserved == nullptr) {
    setCode(status, kNullPointer, {kFile, 145});
    return;
  }
  tEEPROM& eeprom = *reserved;
  const tRoute route = routeOf(code);
  switch (route.table) {
    case tTable::kPlain: (eeprom.*kPlainRequests[route.row].operation)(status); return;
    case tTable::kWord: {
      if (!blocksPresent(in, out, false, true, status)) return;
      const uint32_t value = (eeprom.*kWordRequests[route.row].operation)(status);
      if (status.isNotFatal()) answerWords(*out, status, value);
      return;
    }
    case tTable::kByte: {
      const tByteRequest& row = kByteRequests[route.row];
      if (row.writes)
        byteRequest<true>(eeprom, row, in, out, status);
      else
        byteRequest<false>(eeprom, row, in, out, status);
      return;
    }
    case tTable::kCoefficient:
      coefficientRequest(eeprom, kCoefficientRequests[route.row], in, out, status);
      return;
    case tTable::kNone: break;
  }
  if (code == 268) {
    arrayRequest(eeprom, in, out, status);
  } else if (code == 257) {
    pairRequest(eeprom, &tEEPROM::getAreaSize, &tEEPROM::getAreaAddress, in, out, status);
  } else if (code == 258) {
    pairRequest(eeprom, &tEEPROM::getContentMapWord19, &tEEPROM::getContentMapWord18, in, out,
                status);
  } else if (code == 260) {
    infoRequest(eeprom, in, out, status);
  } else if (code == 255) {
    if (!blocksPresent(in, out, true, false, status)) return;
    int blockCode = 0;
    const auto tag = static_cast<uint32_t>(in->readI32(blockCode));
    if (mergeBlock(blockCode, status)) eeprom.selectArea(tag, status);
  } else if (code == kPlainCommit) {
    _state = kPlainCommitted;
  } else if (code == kPlainUncommit) {
    _state = kPlainResourcesLinked;
  } else {
    setCode(status, kRefused, {kFile, kUnknownLine});
  }
}

void* tEEPROMSupervisor::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tEEPROMSupervisor, tBaseEEPROMSupervisor>(this, classID);
}
const void* tEEPROMSupervisor::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tEEPROMSupervisor*>(this)->___CPPKRLDynamicCast(classID);
}
nQoORB100::tClass tEEPROMSupervisor::getClass(int& status) const {
  return tClassRegistration<tEEPROMSupervisor>::getClass(*this, status);
}

void tEEPROMSupervisor::initialize(const nQoMRL100::iPrimitiveSettings& settings,
                                   nQoMRL100::iRuntimeFacade* facade, tStatus2& status) {
  if (status.isFatal()) return;
  _reserver.setRuntimeFacade(facade);
  tBaseEEPROMSupervisor::initialize(settings, facade, status);
}

// A refused or foreign answer holds nothing (the reserver hands a foreign
// pool back at once).
void tEEPROMSupervisor::reserveResource(tStatus2& status) {
  if (status.isFatal()) return;
  _reserver.setIdentifier(&_identifier.next());
  _reserver.reserveResource(status);
  _identifier.hold(_reserver.getPrimitive() != nullptr);
  if (status.isFatal()) return;
  if (tEEPROM* eeprom = _reserver.getPrimitive()) {
    tStatus2 read;
    _areaAtReserve = eeprom->getSelectedArea(read);
  }
  hold(_reserver.getPrimitive());
  _state = kPlainReserved;
}

// Only a held tEEPROM is handed back, under the identifier it was granted
// under, with the area it was reserved with selected again (code 255 may
// have changed it: the board's own coefficient reads go through it) and its
// access closed.
void tEEPROMSupervisor::releaseResource(tStatus2& status) {
  takeOut([&](tEEPROM* eeprom) {
    tStatus2 area;
    if (eeprom != nullptr && _areaAtReserve != 0 && eeprom->getSelectedArea(area) != _areaAtReserve)
      eeprom->selectArea(_areaAtReserve, area);
    // Access that requests 261 and 262 opened is closed, as the EEPROM
    // rests between tasks.
    tStatus2 access;
    if (eeprom != nullptr) eeprom->disableAccess(access);
    _areaAtReserve = 0;
    _reserver.releaseResource(status);
    _identifier.hold(_reserver.getPrimitive() != nullptr);
  });
  noteReleased();
}

}  // namespace nQoUdR100
