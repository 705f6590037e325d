// The bits of the link control register (tTESK_Control, 8 bits at 0x13) and
// its one change pattern: the soft copy's bits change, the register is marked
// dirty when they changed, the byte is written when dirty and the strobe bit
// (6) is dropped from the soft copy after the write (its keep mask).
//
//   changeTESKControl(map, kTESKHardwareTiming, kTESKHardwareTiming, status);
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

inline constexpr uint32_t kTESKSoftwareClock = 0x01;
inline constexpr uint32_t kTESKDedicatedRouting = 0x02;
inline constexpr uint32_t kTESKLine2 = 0x08;
inline constexpr uint32_t kTESKLine1 = 0x10;
inline constexpr uint32_t kTESKHardwareClock = 0x20;
inline constexpr uint32_t kTESKStrobe = 0x40;
inline constexpr uint32_t kTESKHardwareTiming = 0x80;
// The map's lock group of tTESK_Output_Enable.
inline constexpr uint32_t kTESKOutputLock = 15;

// The bits of mask take those of value; force 1 writes even when clean.
inline void changeTESKControl(nQoUdRLP100::nTavik::tTavik& map, uint32_t mask, uint32_t value,
                              nQoMDBG100::tStatus2& status, unsigned force = 0) {
  map.TESK_Control.setBits(mask, 0, value, &status);
  map.TESK_Control.flush(&status, force);
}

}  // namespace nQoUdP100
