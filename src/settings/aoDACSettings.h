// The settings of the AO DAC (seven words, then the identifier) and of the AO
// ground reference (the identifier first, then its skip flag): flat rows that
// stream on a local status bracketed at their own read and write sites.
#pragma once

#include <cstdint>
#include <tuple>

#include "frame/tStatusSite.h"
#include "mrl/tGeneralIdentifier.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"

namespace nQoUdR100 {

// Words 2 to 6 become the DAC primitive's five configuration words, word 7
// its further one.
struct tAO_DACFields {
  using T = tAO_DACFields;
  nQoMRL100::tGeneralIdentifier identifier;
  uint32_t word1 = 0;
  int32_t word2 = 0;
  int32_t word3 = 1;
  int32_t word4 = 0;
  int32_t word5 = 0;
  int32_t word6 = 7;
  uint32_t word7 = 0;
  static constexpr auto kStreamOrder = std::tuple(&T::word1, &T::word2, &T::word3, &T::word4,
                                                  &T::word5, &T::word6, &T::word7, &T::identifier);
};

struct tAO_DACSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tAO_DACSettings";
  using tRecords = std::tuple<tFieldRecord<tAO_DACFields>>;
  static constexpr tStatusSite kReadBracket{"tAO_DACSettings", 134};
  static constexpr tStatusSite kWriteBracket{"tAO_DACSettings", 93};
};
using tAO_DACSettings = tSettings<tAO_DACSettingsRow>;

struct tAOGroundRefFields {
  using T = tAOGroundRefFields;
  nQoMRL100::tGeneralIdentifier identifier;
  int32_t skipFlag = 0;  // non-zero: the ground reference is left as it is
  static constexpr auto kStreamOrder = std::tuple(&T::identifier, &T::skipFlag);
};

struct tAOGroundRefSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tAOGroundRefSettings";
  using tRecords = std::tuple<tFieldRecord<tAOGroundRefFields>>;
  static constexpr tStatusSite kReadBracket{"tAOGroundRefSettings", 104};
  static constexpr tStatusSite kWriteBracket{"tAOGroundRefSettings", 82};
};
using tAOGroundRefSettings = tSettings<tAOGroundRefSettingsRow>;

}  // namespace nQoUdR100
