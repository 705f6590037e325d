// The settings of an analog-output interrupt transfer, kept for platform-side
// users: the primitive-level record, then a supervisor-level record of two
// keys and a name. Fields are named by their word numbers.
#pragma once

#include <cstdint>
#include <tuple>

#include "frame/tBasicString.h"
#include "primitives/ao/tAOInterruptTransferPrimitiveConfig.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"

namespace nQoUdR100 {

struct tAOInterruptTransferSupervisorFields {
  using T = tAOInterruptTransferSupervisorFields;
  uint32_t word1 = 0xFFFFFFFF;
  uint32_t word2 = 0xFFFFFFFF;
  tString name;
  static constexpr auto kStreamOrder = std::tuple(&T::word1, &T::word2, &T::name);
};
using tAOInterruptTransferSupervisorConfig = tFieldRecord<tAOInterruptTransferSupervisorFields>;

struct tAOInterruptTransferSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tAOInterruptTransferSettings";
  using tRecords = std::tuple<nQoUdP100::tAOInterruptTransferPrimitiveConfig,
                              tAOInterruptTransferSupervisorConfig>;
};

using tAOInterruptTransferSettings = tSettings<tAOInterruptTransferSettingsRow>;

}  // namespace nQoUdR100
