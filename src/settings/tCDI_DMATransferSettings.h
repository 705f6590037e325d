// The settings of a correlated digital input DMA transfer: the resource, the
// map keys of the DMA channel and of the partner transfer supervisor, the
// transfer mode and a second resource identifier.
#pragma once

#include <cstdint>
#include <tuple>

#include "frame/tStatusSite.h"
#include "mrl/tGeneralIdentifier.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"

namespace nQoUdR100 {

struct tCDI_DMATransferSettingsFields {
  using T = tCDI_DMATransferSettingsFields;
  nQoMRL100::tGeneralIdentifier identifier;
  uint32_t dmaChannelSupervisorKey = 0xFFFFFFFF;
  uint32_t dmaTransferSupervisorKey = 0xFFFFFFFF;
  int32_t transferMode = 0;
  nQoMRL100::tGeneralIdentifier secondIdentifier;
  static constexpr auto kStreamOrder =
      std::tuple(&T::identifier, &T::dmaChannelSupervisorKey, &T::dmaTransferSupervisorKey,
                 &T::transferMode, &T::secondIdentifier);
};

struct tCDI_DMATransferSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tCDI_DMATransferSettings";
  using tRecords = std::tuple<tFieldRecord<tCDI_DMATransferSettingsFields>>;
  static constexpr tStatusSite kReadBracket{"tCDI_DMATransferSettings", 91};
  static constexpr tStatusSite kWriteBracket{"tCDI_DMATransferSettings", 63};
};

using tCDI_DMATransferSettings = tSettings<tCDI_DMATransferSettingsRow>;

}  // namespace nQoUdR100
