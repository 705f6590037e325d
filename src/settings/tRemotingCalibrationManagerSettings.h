// The settings of a remoting calibration manager, kept for users outside
// this system: a word, a GUID and a name in one record.
#pragma once

#include <cstdint>
#include <tuple>

#include "frame/tBasicString.h"
#include "orb/tGUID.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"

namespace nQoUdR100 {

struct tRemotingCalibrationManagerSupervisorFields {
  using T = tRemotingCalibrationManagerSupervisorFields;
  uint32_t word = 0;
  nQoORB100::tGUID guid;
  tString name;
  static constexpr auto kStreamOrder = std::tuple(&T::word, &T::guid, &T::name);
};
using tRemotingCalibrationManagerSupervisorConfig =
    tFieldRecord<tRemotingCalibrationManagerSupervisorFields>;

struct tRemotingCalibrationManagerSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tRemotingCalibrationManagerSettings";
  using tRecords = std::tuple<tRemotingCalibrationManagerSupervisorConfig>;
};

using tRemotingCalibrationManagerSettings = tSettings<tRemotingCalibrationManagerSettingsRow>;

}  // namespace nQoUdR100
