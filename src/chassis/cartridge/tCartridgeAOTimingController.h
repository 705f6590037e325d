// The cartridge AO timing controller, interface 0x0881: one packer per
// method. The DSA commit ends in an array of u32. Every reply is the status
// block alone.
#pragma once

#include <cstdint>

#include "chassis/message/tArray.h"
#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nCartridgeAOTimingController {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0881, kId, "tCartridgeAOTimingController", kLine};

// clang-format off
class tSoftwareUpdatePulsePacker : public tPacker<kMethod<8, 110>> { using tPacker::tPacker; };
class tCommitDSAPacker           : public tPacker<kMethod<9, 120>, tIn<uint32_t, uint32_t, uint32_t, uint32_t, tArray<uint32_t>>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nCartridgeAOTimingController
