// The settings of a correlated digital input immediate transfer: the
// transfer words and mode, and the sample period that the supervisor takes.
#pragma once

#include <cstdint>
#include <tuple>

#include "frame/tStatusSite.h"
#include "mrl/tGeneralIdentifier.h"
#include "settings/settingsFields.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"

namespace nQoUdR100 {

struct tCDIImmediateTransferSettingsFields {
  using T = tCDIImmediateTransferSettingsFields;
  nQoMRL100::tGeneralIdentifier identifier;
  uint32_t transferWord0 = 0xFFFFFFFF;
  uint32_t transferWord1 = 0;
  int32_t transferMode = 3;
  uint32_t transferWord2 = 0;
  uint32_t transferWord3 = 0;
  uint32_t transferWord4 = 0;
  tSignedFixedPoint128 samplePeriod{0};
  static constexpr auto kStreamOrder =
      std::tuple(&T::transferWord0, &T::transferWord1, &T::transferMode, &T::transferWord2,
                 &T::transferWord3, &T::transferWord4, &T::samplePeriod, &T::identifier);
};

struct tCDIImmediateTransferSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tCDIImmediateTransferSettings";
  using tRecords = std::tuple<tFieldRecord<tCDIImmediateTransferSettingsFields>>;
  static constexpr tStatusSite kReadBracket{"tCDIImmediateTransferSettings", 104};
  static constexpr tStatusSite kWriteBracket{"tCDIImmediateTransferSettings", 71};
};

using tCDIImmediateTransferSettings = tSettings<tCDIImmediateTransferSettingsRow>;

}  // namespace nQoUdR100
