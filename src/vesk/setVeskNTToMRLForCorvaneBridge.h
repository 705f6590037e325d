// The bridge set-up of a board's VESK chip: when the chip identifies itself as
// expected and the board sits behind a PCI-to-PCI bridge of vendor 0x12D8,
// bit 13 of the chip's register 0x4F0 is set and bit 12 cleared, once the
// register's upper half reads 0 (at most 11 reads).
//
//   _setVeskNTToMRLForCorvaneBridge(0x40103140, 1, bus, device, status);
//
// An identification that does not match changes nothing and is no error; no
// device tree is kNullPointer; the bus's and device tree's codes pass through.
// The chip's window, once opened, is closed on every way out.
#pragma once

#include <cstdint>

#include "bus/iBus.h"
#include "bus/iDevice.h"
#include "mdbg/tStatus2.h"

namespace nQoUdP100 {

// The VESK chip's identification register: revision in bits 3..0, a variant
// in bits 19..16, the chip's identifier in the rest.
inline constexpr uint32_t kDMAVESK_CSIGR = 0x460;

void _setVeskNTToMRLForCorvaneBridge(uint32_t expectedIdentifier, uint32_t minimumRevision,
                                     iBus* bus, iDevice* device, nQoMDBG100::tStatus2& status);

}  // namespace nQoUdP100
