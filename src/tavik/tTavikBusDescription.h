// What the bus holder reads of the board it serves: so far the DMA part of the
// board description. The board object derives from it.
#pragma once

#include <cstdint>

namespace nQoUdP100 {

struct tTavikBusDescription {
  struct tDMA {
    int32_t channelCount;
    // Non-zero when the board's VESK chip has DMA channels; null counts as 0.
    const uint32_t* presence;
  };
  tDMA dma;
};

}  // namespace nQoUdP100
