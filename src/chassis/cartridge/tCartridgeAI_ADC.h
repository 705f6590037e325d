// The cartridge AI ADC, interface 0x0871: one packer per method. Every reply
// is the status block alone.
#pragma once

#include <cstdint>

#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nCartridgeAI_ADC {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0871, kId, "tCartridgeAI_ADC", kLine};

// clang-format off
class tCommitPacker   : public tPacker<kMethod<8, 110>, tIn<uint32_t>> { using tPacker::tPacker; };
class tArmPacker      : public tPacker<kMethod<9, 120>> { using tPacker::tPacker; };
class tDisarmPacker   : public tPacker<kMethod<10, 130>> { using tPacker::tPacker; };
class tUncommitPacker : public tPacker<kMethod<11, 140>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nCartridgeAI_ADC
