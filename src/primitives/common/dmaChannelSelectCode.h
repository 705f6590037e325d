// The 4-bit code that selects a DMA channel in the FIFO and transfer
// primitives' DMA select registers:
//
//   uint8_t code = dmaChannelSelectCode(4);   // 3
#pragma once

#include <cstdint>

namespace nQoUdP100 {

// Channels 0 to 15; any other channel answers 0 (callers refuse such
// channels before they get here).
uint8_t dmaChannelSelectCode(uint32_t channel);

}  // namespace nQoUdP100
