// The settings of an analog-output immediate transfer, kept for platform-side
// users: the primitive-level record, then a supervisor-level record of two
// keys, a name and a word. Fields are named by their word numbers.
#pragma once

#include <cstdint>
#include <tuple>

#include "frame/tBasicString.h"
#include "primitives/ao/tAOImmedTransferPrimitiveConfig.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"

namespace nQoUdR100 {

struct tAOImmedTransferSupervisorFields {
  using T = tAOImmedTransferSupervisorFields;
  uint32_t word1 = 0xFFFFFFFF;
  uint32_t word2 = 0xFFFFFFFF;
  tString name;
  uint32_t word3 = 0;
  static constexpr auto kStreamOrder = std::tuple(&T::word1, &T::word2, &T::name, &T::word3);
};
using tAOImmedTransferSupervisorConfig = tFieldRecord<tAOImmedTransferSupervisorFields>;

struct tAOImmedTransferSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tAOImmedTransferSettings";
  using tRecords =
      std::tuple<nQoUdP100::tAOImmedTransferPrimitiveConfig, tAOImmedTransferSupervisorConfig>;
};

using tAOImmedTransferSettings = tSettings<tAOImmedTransferSettingsRow>;

}  // namespace nQoUdR100
