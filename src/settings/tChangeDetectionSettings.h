// The settings of digital change detection: the map keys of its partners,
// the lines enabled for each edge direction, the capture buffer and the
// acquisition length. The scheduler key streams before the identifier.
#pragma once

#include <cstdint>
#include <tuple>

#include "mrl/tGeneralIdentifier.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"

namespace nQoUdR100 {

struct tChangeDetectionSettingsFields {
  using T = tChangeDetectionSettingsFields;
  uint32_t readableSupervisorKey = 0xFFFFFFFF;
  uint32_t cdiDMATransferSupervisorKey = 0xFFFFFFFF;
  nQoMRL100::tGeneralIdentifier identifier;
  uint32_t schedulerActionSupervisorKey = 0xFFFFFFFF;
  uint32_t firstEdgeMask = 0;  // no line
  uint32_t secondEdgeMask = 0;
  uint32_t unbufferedFlag = 0;
  uint32_t bufferSize = 0;
  uint32_t finiteFlag = 0;
  uint64_t samplesPerChannel = 0;
  static constexpr auto kStreamOrder = std::tuple(
      &T::readableSupervisorKey, &T::cdiDMATransferSupervisorKey, &T::schedulerActionSupervisorKey,
      &T::identifier, &T::firstEdgeMask, &T::secondEdgeMask, &T::unbufferedFlag, &T::bufferSize,
      &T::finiteFlag, &T::samplesPerChannel);
};

struct tChangeDetectionSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tChangeDetectionSettings";
  using tRecords = std::tuple<tFieldRecord<tChangeDetectionSettingsFields>>;
};

using tChangeDetectionSettings = tSettings<tChangeDetectionSettingsRow>;

}  // namespace nQoUdR100
