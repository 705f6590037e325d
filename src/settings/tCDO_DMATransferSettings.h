// The settings of a correlated digital output DMA transfer: the resource, the
// map keys of the DMA channel and of the partner transfer supervisor, the
// transfer mode, two parameter words (written signed, read unsigned) and a
// second resource identifier.
#pragma once

#include <cstdint>
#include <tuple>

#include "frame/tStatusSite.h"
#include "mrl/tGeneralIdentifier.h"
#include "settings/settingsFields.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"

namespace nQoUdR100 {

struct tCDO_DMATransferSettingsFields {
  using T = tCDO_DMATransferSettingsFields;
  nQoMRL100::tGeneralIdentifier identifier;
  uint32_t dmaChannelSupervisorKey = 0xFFFFFFFF;
  uint32_t dmaTransferSupervisorKey = 0xFFFFFFFF;
  int32_t transferMode = 0;
  tSignedWrittenWord transferWord1;
  tSignedWrittenWord transferWord2;
  nQoMRL100::tGeneralIdentifier secondIdentifier;
  static constexpr auto kStreamOrder =
      std::tuple(&T::identifier, &T::dmaChannelSupervisorKey, &T::dmaTransferSupervisorKey,
                 &T::transferMode, &T::transferWord1, &T::transferWord2, &T::secondIdentifier);
};

struct tCDO_DMATransferSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tCDO_DMATransferSettings";
  using tRecords = std::tuple<tFieldRecord<tCDO_DMATransferSettingsFields>>;
  static constexpr tStatusSite kReadBracket{"tCDO_DMATransferSettings", 99};
  static constexpr tStatusSite kWriteBracket{"tCDO_DMATransferSettings", 67};
};

using tCDO_DMATransferSettings = tSettings<tCDO_DMATransferSettingsRow>;

}  // namespace nQoUdR100
