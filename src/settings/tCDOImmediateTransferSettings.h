// The settings of a correlated digital output immediate transfer: the
// transfer words and mode.
#pragma once

#include <cstdint>
#include <tuple>

#include "frame/tStatusSite.h"
#include "mrl/tGeneralIdentifier.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"

namespace nQoUdR100 {

struct tCDOImmediateTransferSettingsFields {
  using T = tCDOImmediateTransferSettingsFields;
  nQoMRL100::tGeneralIdentifier identifier;
  uint32_t transferWord0 = 0xFFFFFFFF;
  uint32_t transferWord1 = 0;
  int32_t transferMode = 3;
  uint32_t transferWord2 = 0;
  uint32_t transferWord3 = 0;
  uint32_t transferWord4 = 0;
  static constexpr auto kStreamOrder =
      std::tuple(&T::transferWord0, &T::transferWord1, &T::transferMode, &T::transferWord2,
                 &T::transferWord3, &T::transferWord4, &T::identifier);
};

struct tCDOImmediateTransferSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tCDOImmediateTransferSettings";
  using tRecords = std::tuple<tFieldRecord<tCDOImmediateTransferSettingsFields>>;
  static constexpr tStatusSite kReadBracket{"tCDOImmediateTransferSettings", 101};
  static constexpr tStatusSite kWriteBracket{"tCDOImmediateTransferSettings", 69};
};

using tCDOImmediateTransferSettings = tSettings<tCDOImmediateTransferSettingsRow>;

}  // namespace nQoUdR100
