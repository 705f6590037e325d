// The settings of a correlated digital output interrupt transfer: two partner
// map keys, then the transfer words and mode.
#pragma once

#include <cstdint>
#include <tuple>

#include "frame/tStatusSite.h"
#include "mrl/tGeneralIdentifier.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"

namespace nQoUdR100 {

struct tCDOInterruptTransferSettingsFields {
  using T = tCDOInterruptTransferSettingsFields;
  nQoMRL100::tGeneralIdentifier identifier;
  uint32_t firstPartnerSupervisorKey = 0xFFFFFFFF;
  uint32_t secondPartnerSupervisorKey = 0xFFFFFFFF;  // no partner
  uint32_t transferWord1 = 0;
  int32_t transferMode = 3;
  uint32_t transferWord2 = 0;
  uint32_t transferWord3 = 0;
  uint32_t transferWord4 = 0;
  static constexpr auto kStreamOrder = std::tuple(
      &T::firstPartnerSupervisorKey, &T::secondPartnerSupervisorKey, &T::transferWord1,
      &T::transferMode, &T::transferWord2, &T::transferWord3, &T::transferWord4, &T::identifier);
};

struct tCDOInterruptTransferSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tCDOInterruptTransferSettings";
  using tRecords = std::tuple<tFieldRecord<tCDOInterruptTransferSettingsFields>>;
  static constexpr tStatusSite kReadBracket{"tCDOInterruptTransferSettings", 103};
  static constexpr tStatusSite kWriteBracket{"tCDOInterruptTransferSettings", 69};
};

using tCDOInterruptTransferSettings = tSettings<tCDOInterruptTransferSettingsRow>;

}  // namespace nQoUdR100
