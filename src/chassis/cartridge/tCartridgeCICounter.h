// The cartridge counter input, interface 0x08A0: one packer per method,
// every request of fixed (often odd) size. Every reply is the status block
// alone.
#pragma once

#include <cstdint>

#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nCartridgeCICounter {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x08A0, kId, "tCartridgeCICounter", kLine};

// clang-format off
class tBeginConfigurationPacker : public tPacker<kMethod<8, 110>, tIn<uint32_t, uint32_t, uint8_t>> { using tPacker::tPacker; };
class tConfigureArmTimerPacker  : public tPacker<kMethod<9, 120>, tIn<uint8_t, uint8_t>> { using tPacker::tPacker; };
class tEnableArmTimerPacker     : public tPacker<kMethod<10, 130>, tIn<uint8_t>> { using tPacker::tPacker; };
class tCommitPacker             : public tPacker<kMethod<11, 140>, tIn<uint32_t, uint8_t>> { using tPacker::tPacker; };
class tUncommitPacker           : public tPacker<kMethod<12, 150>, tIn<uint32_t, uint8_t>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nCartridgeCICounter
