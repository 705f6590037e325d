// The settings of the EEPROM resource: its identifier and one setting word
// that the EEPROM supervisor keeps. The one settings class with an equality.
#pragma once

#include <cstdint>
#include <tuple>

#include "frame/tStatusSite.h"
#include "mrl/tGeneralIdentifier.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"

namespace nQoUdR100 {

struct tEEPROMSettingsFields {
  nQoMRL100::tGeneralIdentifier identifier;
  uint32_t eepromSetting = 0xFFFFFFFF;
  static constexpr auto kStreamOrder =
      std::tuple(&tEEPROMSettingsFields::identifier, &tEEPROMSettingsFields::eepromSetting);
};

struct tEEPROMSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tEEPROMSettings";
  using tRecords = std::tuple<tFieldRecord<tEEPROMSettingsFields>>;
  static constexpr tStatusSite kReadBracket{"tEEPROMSettings", 90};
  static constexpr tStatusSite kWriteBracket{"tEEPROMSettings", 75};
};

using tEEPROMSettings = tSettings<tEEPROMSettingsRow>;

// Equal identifiers and equal setting words; the base part takes no part.
inline bool operator==(const tEEPROMSettings& a, const tEEPROMSettings& b) {
  return a.record<0>() == b.record<0>();
}

}  // namespace nQoUdR100
