// Cartridge driver notifications, interface 0x086B: created and destroyed,
// each the header alone; the object id names the driver.
#pragma once

#include <cstdint>

#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nCartridgeDriverNotification {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x086B, kId, "tCartridgeDriverNotification", kLine};

// clang-format off
class tCreatedPacker   : public tPacker<kMethod<8, 110>> { using tPacker::tPacker; };
class tDestroyedPacker : public tPacker<kMethod<9, 120>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nCartridgeDriverNotification
