// The settings of a correlated digital output FIFO.
#pragma once

#include <tuple>

#include "frame/tStatusSite.h"
#include "settings/tCorrelatedFIFOSettingsFields.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"

namespace nQoUdR100 {

struct tCDO_FIFOSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tCDO_FIFOSettings";
  using tRecords = std::tuple<tFieldRecord<tCorrelatedFIFOSettingsFields>>;
  static constexpr tStatusSite kReadBracket{"tCDO_FIFOSettings", 85};
  static constexpr tStatusSite kWriteBracket{"tCDO_FIFOSettings", 61};
};

using tCDO_FIFOSettings = tSettings<tCDO_FIFOSettingsRow>;

}  // namespace nQoUdR100
