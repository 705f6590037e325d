// The settings of an output DMA transfer, kept for platform-side users: the
// primitive-level record, then a supervisor-level record of three keys, the
// resource identifier and a fourth key. Fields are named by their word
// numbers.
#pragma once

#include <array>
#include <cstdint>
#include <tuple>

#include "mrl/tGeneralIdentifier.h"
#include "primitives/ao/tOutputDMATransferPrimitiveConfig.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"

namespace nQoUdR100 {

struct tOutputDMATransferSupervisorFields {
  using T = tOutputDMATransferSupervisorFields;
  std::array<uint32_t, 3> words1To3{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
  nQoMRL100::tGeneralIdentifier identifier;
  uint32_t word4 = 0xFFFFFFFF;
  static constexpr auto kStreamOrder = std::tuple(&T::words1To3, &T::identifier, &T::word4);
};
using tOutputDMATransferSupervisorConfig = tFieldRecord<tOutputDMATransferSupervisorFields>;

struct tOutputDMATransferSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tOutputDMATransferSettings";
  using tRecords =
      std::tuple<nQoUdP100::tOutputDMATransferPrimitiveConfig, tOutputDMATransferSupervisorConfig>;
};

using tOutputDMATransferSettings = tSettings<tOutputDMATransferSettingsRow>;

}  // namespace nQoUdR100
