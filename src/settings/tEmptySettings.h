// The settings class without fields: it streams only the base part.
#pragma once

#include <tuple>

#include "settings/tEmptyRuntimeData.h"
#include "settings/tSettings.h"

namespace nQoUdR100 {

struct tEmptySettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tEmptySettings";
  using tRecords = std::tuple<tEmptyRuntimeData>;
};

using tEmptySettings = tSettings<tEmptySettingsRow>;

}  // namespace nQoUdR100
