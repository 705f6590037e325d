// The settings of the calibration PWM: the resource identifier alone.
#pragma once

#include <tuple>

#include "mrl/tGeneralIdentifier.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"

namespace nQoUdR100 {

struct tCalPWMSettingsFields {
  nQoMRL100::tGeneralIdentifier identifier;
  static constexpr auto kStreamOrder = std::tuple(&tCalPWMSettingsFields::identifier);
};

struct tCalPWMSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tCalPWMSettings";
  using tRecords = std::tuple<tFieldRecord<tCalPWMSettingsFields>>;
};

using tCalPWMSettings = tSettings<tCalPWMSettingsRow>;

}  // namespace nQoUdR100
