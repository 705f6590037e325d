// The fields that the correlated digital input and output FIFO settings
// share, in stream order: the FIFO mode flag, the secondary mode flag and the
// resource identifier.
#pragma once

#include <cstdint>
#include <tuple>

#include "mrl/tGeneralIdentifier.h"

namespace nQoUdR100 {

struct tCorrelatedFIFOSettingsFields {
  using T = tCorrelatedFIFOSettingsFields;
  int32_t fifoModeFlag = 0;
  uint32_t fifoSecondaryModeFlag = 1;
  nQoMRL100::tGeneralIdentifier identifier;
  static constexpr auto kStreamOrder =
      std::tuple(&T::fifoModeFlag, &T::fifoSecondaryModeFlag, &T::identifier);
};

}  // namespace nQoUdR100
