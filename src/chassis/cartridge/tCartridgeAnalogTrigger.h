// The cartridge analog trigger, interface 0x0873: one packer per method,
// each ending in an array of u32 (the packer's own copy, made at
// construction). Every reply is the status block alone.
//
//   nCartridgeAnalogTrigger::tArmPacker packer(t1, t2, objectId, 1, 2, levels);
#pragma once

#include <cstdint>

#include "chassis/message/tArray.h"
#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nCartridgeAnalogTrigger {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0873, kId, "tCartridgeAnalogTrigger", kLine};

using tCommitInputs = tIn<uint32_t, uint32_t, uint32_t, tArray<uint32_t>>;

// clang-format off
class tCommitPacker   : public tPacker<kMethod<8, 110>, tCommitInputs> { using tPacker::tPacker; };
class tUncommitPacker : public tPacker<kMethod<9, 120>, tCommitInputs> { using tPacker::tPacker; };
class tArmPacker      : public tPacker<kMethod<10, 130>, tIn<uint32_t, uint32_t, tArray<uint32_t>>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nCartridgeAnalogTrigger
