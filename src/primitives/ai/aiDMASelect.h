// The AI FIFO's DMA channel select: bits 3:0 of the DMA select register 0x09
// (bits 7:4 belong to others), written even when unchanged under lock group
// 19, which the AO FIFO's select shares, then a bus flush.
//
//   writeAIDMASelect(*map, dmaChannelSelectCode(4), status);   // 3
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

inline constexpr uint32_t kDMASelectLockGroup = 19;

void writeAIDMASelect(nQoUdRLP100::nTavik::tTavik& map, uint8_t code, nQoMDBG100::tStatus2& status);

}  // namespace nQoUdP100
