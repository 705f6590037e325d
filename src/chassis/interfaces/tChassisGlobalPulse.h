// The chassis global pulse, interface 0x0802. The reply is the status block
// alone.
#pragma once

#include <cstdint>

#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nChassisGlobalPulse {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0802, kId, "tChassisGlobalPulse", kLine};

// clang-format off
class tGeneratePulsePacker : public tPacker<kMethod<8, 60>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nChassisGlobalPulse
