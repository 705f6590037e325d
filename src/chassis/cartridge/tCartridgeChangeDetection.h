// Change detection on one cartridge, interface 0x0892: one packer per
// method. Every reply is the status block alone.
#pragma once

#include <cstdint>

#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nCartridgeChangeDetection {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0892, kId, "tCartridgeChangeDetection", kLine};

// clang-format off
class tInitializePacker : public tPacker<kMethod<8, 110>> { using tPacker::tPacker; };
class tCommitPacker     : public tPacker<kMethod<9, 120>, tIn<uint8_t>> { using tPacker::tPacker; };
class tStartPacker      : public tPacker<kMethod<10, 130>, tIn<uint32_t, uint32_t>> { using tPacker::tPacker; };
class tStopPacker       : public tPacker<kMethod<11, 140>> { using tPacker::tPacker; };
class tUncommitPacker   : public tPacker<kMethod<12, 150>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nCartridgeChangeDetection
