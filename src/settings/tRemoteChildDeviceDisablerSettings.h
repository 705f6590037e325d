// The settings that name one device, by its GUID, for the platform's
// disabling of a remote child device. They carry no resource identifier.
#pragma once

#include <tuple>

#include "orb/tGUID.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"

namespace nQoUdR100 {

struct tRemoteChildDeviceDisablerFields {
  nQoORB100::tGUID deviceGUID;
  static constexpr auto kStreamOrder = std::tuple(&tRemoteChildDeviceDisablerFields::deviceGUID);
};
using tRemoteChildDeviceDisablerConfig = tFieldRecord<tRemoteChildDeviceDisablerFields>;

struct tRemoteChildDeviceDisablerSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tRemoteChildDeviceDisablerSettings";
  using tRecords = std::tuple<tRemoteChildDeviceDisablerConfig>;
};

using tRemoteChildDeviceDisablerSettings = tSettings<tRemoteChildDeviceDisablerSettingsRow>;

}  // namespace nQoUdR100
