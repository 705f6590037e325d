// The board description that the board object hands to its bus holder; so far
// its DMA part.
#pragma once

#include <cstdint>

namespace nQoUdP100 {

struct tUdSeriesDevice {
  struct tDMA {
    int32_t channelCount;
    // Non-zero when the board's VESK chip has DMA channels; null counts as 0.
    const uint32_t* presence;
  };
  tDMA dma;
};

}  // namespace nQoUdP100
