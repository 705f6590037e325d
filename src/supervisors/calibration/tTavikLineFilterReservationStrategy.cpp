#include "supervisors/calibration/tTavikLineFilterReservationStrategy.h"

#include <cstdarg>

#include "frame/statusCodes.h"
#include "frame/tGenericStatusDescription.h"
#include "frame/tStatusSite.h"
#include "kal/nQoKAL.h"
#include "mdbg/tGUIDReportable.h"

namespace nQoUdR100 {

namespace {

using tIdentifier = tTavikLineFilterIdentifier;

const char* filterSettingName(uint32_t setting) {
  static constexpr const char* kNames[] = {"No filter", "Small Filter", "Medium Filter",
                                           "Large Filter"};
  return setting < 4 ? kNames[setting] : "Illegal";
}

void formatText(char* buffer, std::size_t size, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  nQoKAL100_vsnPrintf(buffer, size, format, arguments);
  va_end(arguments);
}

const tIdentifier* lineFilterRequest(const nQoMRL100::iResourceIdentifier* identifier) {
  if (identifier == nullptr) return nullptr;
  return static_cast<const tIdentifier*>(
      identifier->___CPPKRLDynamicCast(&tIdentifier::___classID));
}

}  // namespace

uint32_t tTavikLineFilterReservationStrategy::reserve(
    const nQoMRL100::iResourceIdentifier* identifier, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return 0;
  const tIdentifier* request = lineFilterRequest(identifier);
  if (request == nullptr) {
    setCode(status, kCastFailed, {"tTavikLineFilterReservationStrategy", 120});
    return 0;
  }
  _deviceGUID = request->getDeviceGUID();
  const uint32_t* asked = request->getSettings();
  for (uint32_t i = 0; i < tIdentifier::kLines; ++i) {
    if (asked[i] != tIdentifier::kNoPreference && _useCounts[i] != 0 && _settings[i] != asked[i]) {
      reportConflict(i, asked[i], status);
      return 0;
    }
  }
  for (uint32_t i = 0; i < tIdentifier::kLines; ++i) {
    if (asked[i] == tIdentifier::kNoPreference) continue;
    ++_useCounts[i];
    _settings[i] = asked[i];
  }
  return 1;
}

void tTavikLineFilterReservationStrategy::release(const nQoMRL100::iResourceIdentifier* identifier,
                                                  nQoMDBG100::tStatus2& status) {
  const tIdentifier* request = lineFilterRequest(identifier);
  if (request == nullptr) {
    setCode(status, kCastFailed, {"tTavikLineFilterReservationStrategy", 150});
    return;
  }
  const uint32_t* asked = request->getSettings();
  for (uint32_t i = 0; i < tIdentifier::kLines; ++i)
    if (asked[i] != tIdentifier::kNoPreference && _useCounts[i] != 0) --_useCounts[i];
}

bool tTavikLineFilterReservationStrategy::isAnyLineInUse() const {
  for (uint32_t count : _useCounts)
    if (count != 0) return true;
  return false;
}

uint32_t tTavikLineFilterReservationStrategy::getUseCount(uint32_t group, uint32_t line) const {
  const uint32_t index = tIdentifier::lineIndex(group, line);
  return index < tIdentifier::kLines ? _useCounts[index] : 0;
}

uint32_t tTavikLineFilterReservationStrategy::getCurrentSetting(uint32_t group,
                                                                uint32_t line) const {
  const uint32_t index = tIdentifier::lineIndex(group, line);
  return index < tIdentifier::kLines ? _settings[index] : 0;
}

void tTavikLineFilterReservationStrategy::reportConflict(uint32_t index, uint32_t requested,
                                                         nQoMDBG100::tStatus2& status) const {
  // Without a description the conflict is still reported.
  auto* description = new nQoKABBO_1_0::tGenericStatusDescription;
  if (description != nullptr) {
    description->addProperty(1, nQoMDBG100::tGUIDReportable(_deviceGUID), status);
    char lineName[16];
    if (index < tIdentifier::kPFILines)
      formatText(lineName, sizeof lineName, "PFI%lu", static_cast<unsigned long>(index));
    else
      formatText(lineName, sizeof lineName, "RIVO%lu",
                 static_cast<unsigned long>(index - tIdentifier::kPFILines));
    description->set(nQoMSTS100::kUsageResourceName, lineName);
    description->set(nQoMSTS100::kUsageRequestedValue, filterSettingName(requested));
    description->set(nQoMSTS100::kUsageCurrentValue, filterSettingName(_settings[index]));
  }
  setCode(status, kLineFilterConflict, {"tTavikLineFilterReservationStrategy", 211}, description);
}

}  // namespace nQoUdR100
