// The cartridge AI timing controller, interface 0x0872: one packer per
// method. Every reply is the status block alone.
#pragma once

#include <cstdint>

#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nCartridgeAITimingController {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0872, kId, "tCartridgeAITimingController", kLine};

// Nine u32, then a u8 right after them: a 45-byte request.
using tCommitInputs = tIn<uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                          uint32_t, uint32_t, uint8_t>;

// clang-format off
class tCommitPacker   : public tPacker<kMethod<8, 110>, tCommitInputs> { using tPacker::tPacker; };
class tArmPacker      : public tPacker<kMethod<9, 120>> { using tPacker::tPacker; };
class tStartPacker    : public tPacker<kMethod<10, 130>> { using tPacker::tPacker; };
class tStopPacker     : public tPacker<kMethod<11, 140>> { using tPacker::tPacker; };
class tDisarmPacker   : public tPacker<kMethod<12, 150>> { using tPacker::tPacker; };
class tUncommitPacker : public tPacker<kMethod<13, 160>, tIn<uint32_t, uint32_t, uint32_t>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nCartridgeAITimingController
