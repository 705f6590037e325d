// The settings of the analog-output wait for the next sample clock, kept for
// platform-side users: the primitive-level record, then a supervisor-level
// record of two words.
#pragma once

#include <cstdint>
#include <tuple>

#include "primitives/ao/tAOWaitForNextSampleClockPrimitiveConfig.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"

namespace nQoUdR100 {

struct tAOWaitForNextSampleClockSupervisorFields {
  using T = tAOWaitForNextSampleClockSupervisorFields;
  uint32_t word1 = 0xFFFFFFFF;
  uint32_t word2 = 0;
  static constexpr auto kStreamOrder = std::tuple(&T::word1, &T::word2);
};
using tAOWaitForNextSampleClockSupervisorConfig =
    tFieldRecord<tAOWaitForNextSampleClockSupervisorFields>;

struct tAOWaitForNextSampleClockSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tAOWaitForNextSampleClockSettings";
  using tRecords = std::tuple<nQoUdP100::tAOWaitForNextSampleClockPrimitiveConfig,
                              tAOWaitForNextSampleClockSupervisorConfig>;
};

using tAOWaitForNextSampleClockSettings = tSettings<tAOWaitForNextSampleClockSettingsRow>;

}  // namespace nQoUdR100
