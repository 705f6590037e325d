// The settings of a correlated digital input interrupt transfer: two partner
// map keys, then the transfer words and mode.
#pragma once

#include <cstdint>
#include <tuple>

#include "frame/tStatusSite.h"
#include "mrl/tGeneralIdentifier.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"

namespace nQoUdR100 {

struct tCDIInterruptTransferSettingsFields {
  using T = tCDIInterruptTransferSettingsFields;
  nQoMRL100::tGeneralIdentifier identifier;
  uint32_t firstPartnerSupervisorKey = 0xFFFFFFFF;
  uint32_t secondPartnerSupervisorKey = 0xFFFFFFFF;  // no partner
  uint32_t transferWord1 = 0;
  int32_t transferMode = 3;
  uint32_t transferWord2 = 0;
  uint32_t transferWord3 = 0;
  static constexpr auto kStreamOrder =
      std::tuple(&T::firstPartnerSupervisorKey, &T::secondPartnerSupervisorKey, &T::transferWord1,
                 &T::transferMode, &T::transferWord2, &T::transferWord3, &T::identifier);
};

struct tCDIInterruptTransferSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tCDIInterruptTransferSettings";
  using tRecords = std::tuple<tFieldRecord<tCDIInterruptTransferSettingsFields>>;
  static constexpr tStatusSite kReadBracket{"tCDIInterruptTransferSettings", 99};
  static constexpr tStatusSite kWriteBracket{"tCDIInterruptTransferSettings", 67};
};

using tCDIInterruptTransferSettings = tSettings<tCDIInterruptTransferSettingsRow>;

}  // namespace nQoUdR100
