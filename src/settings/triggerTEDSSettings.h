// The settings of the analog trigger (a flat row: its six trigger parameters,
// word 6 streamed before word 5, three carried words and the identifier) and
// of the TEDS communicator (the field-less primitive record, then four words
// and the identifier).
#pragma once

#include <cstdint>
#include <tuple>

#include "mrl/tGeneralIdentifier.h"
#include "primitives/common/tTEDSPrimitiveConfig.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"

namespace nQoUdR100 {

// Words 1 to 6 go, in this order, to the trigger primitive's parameters.
struct tAnalogTriggerFields {
  using T = tAnalogTriggerFields;
  int32_t word1 = 0;
  int32_t word2 = 0;
  uint32_t word3 = 0;
  uint32_t word4 = 0;
  uint32_t word5 = 0;
  int32_t word6 = 0;
  nQoMRL100::tGeneralIdentifier identifier;
  uint32_t word7 = 0xFFFFFFFF;
  uint32_t word8 = 0xFFFFFFFF;
  uint32_t word9 = 0xFFFFFFFF;
  static constexpr auto kStreamOrder =
      std::tuple(&T::word1, &T::word2, &T::word3, &T::word4, &T::word6, &T::word5, &T::word7,
                 &T::word8, &T::word9, &T::identifier);
};

struct tAnalogTriggerSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tAnalogTriggerSettings";
  using tRecords = std::tuple<tFieldRecord<tAnalogTriggerFields>>;
};
using tAnalogTriggerSettings = tSettings<tAnalogTriggerSettingsRow>;

struct tTEDSSupervisorFields {
  using T = tTEDSSupervisorFields;
  uint32_t word1 = 0xFFFFFFFF;
  uint32_t word2 = 0xFFFFFFFF;
  uint32_t word3 = 0xFFFFFFFF;
  uint32_t word4 = 0xFFFFFFFF;
  nQoMRL100::tGeneralIdentifier identifier;
  static constexpr auto kStreamOrder =
      std::tuple(&T::word1, &T::word2, &T::word3, &T::word4, &T::identifier);
};
using tTEDSSupervisorConfig = tFieldRecord<tTEDSSupervisorFields>;

struct tTEDSSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tTEDSSettings";
  using tRecords = std::tuple<nQoUdP100::tTEDSPrimitiveConfig, tTEDSSupervisorConfig>;
};
using tTEDSSettings = tSettings<tTEDSSettingsRow>;

}  // namespace nQoUdR100
