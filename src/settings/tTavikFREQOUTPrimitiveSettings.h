// The settings of the Tavik chip's frequency output: the timebase select and
// the divisor handed to the primitive, and the resource identifier. The base
// part streams, and is assigned, first.
#pragma once

#include <cstdint>
#include <tuple>

#include "mrl/tGeneralIdentifier.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"

namespace nQoUdR100 {

struct tTavikFREQOUTPrimitiveSettingsFields {
  using T = tTavikFREQOUTPrimitiveSettingsFields;
  uint32_t timebaseSelect = 0;
  uint16_t divisor = 1;
  nQoMRL100::tGeneralIdentifier identifier;
  static constexpr auto kStreamOrder = std::tuple(&T::identifier, &T::timebaseSelect, &T::divisor);
};

struct tTavikFREQOUTPrimitiveSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tTavikFREQOUTPrimitiveSettings";
  using tRecords = std::tuple<tFieldRecord<tTavikFREQOUTPrimitiveSettingsFields>>;
  static constexpr bool kBaseFirst = true;
};

using tTavikFREQOUTPrimitiveSettings = tSettings<tTavikFREQOUTPrimitiveSettingsRow>;

}  // namespace nQoUdR100
