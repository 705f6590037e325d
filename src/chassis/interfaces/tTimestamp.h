// A timestamp object of the chassis, interface 0x080A: one packer per method.
// Every reply is the status block alone.
#pragma once

#include <cstdint>

#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nTimestamp {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x080A, kId, "tTimestamp", kLine};

// clang-format off
class tCommitPacker   : public tPacker<kMethod<8, 129>, tIn<uint8_t>> { using tPacker::tPacker; };
class tArmPacker      : public tPacker<kMethod<9, 186>> { using tPacker::tPacker; };
class tDisarmPacker   : public tPacker<kMethod<10, 239>> { using tPacker::tPacker; };
class tUncommitPacker : public tPacker<kMethod<11, 292>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nTimestamp
