// Routing PFI lines to the static output latch: each line's field in the six
// tPFI_Output_Select registers (PFI n: field n mod 3 + 1 of register n / 3 + 1)
// takes value 16. The registers are written when dirty, or always with force.
//
//   routeToOutputLatch(map, 0x0400, 0, status);   // 0x1D6 <- 0x0200
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

inline constexpr uint32_t kStaticOutputSelect = 16;
// The map's lock group of the pin directions and PFI output selects.
inline constexpr uint32_t kPinDirectionLock = 14;

void routeToOutputLatch(nQoUdRLP100::nTavik::tTavik& map, uint32_t lines, unsigned force,
                        nQoMDBG100::tStatus2& status);

}  // namespace nQoUdP100
