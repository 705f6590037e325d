// The settings of a correlated digital input FIFO.
#pragma once

#include <tuple>

#include "frame/tStatusSite.h"
#include "settings/tCorrelatedFIFOSettingsFields.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"

namespace nQoUdR100 {

struct tCDI_FIFOSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tCDI_FIFOSettings";
  using tRecords = std::tuple<tFieldRecord<tCorrelatedFIFOSettingsFields>>;
  static constexpr tStatusSite kReadBracket{"tCDI_FIFOSettings", 84};
  static constexpr tStatusSite kWriteBracket{"tCDI_FIFOSettings", 61};
};

using tCDI_FIFOSettings = tSettings<tCDI_FIFOSettingsRow>;

}  // namespace nQoUdR100
