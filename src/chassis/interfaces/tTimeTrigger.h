// A time trigger object of the chassis, interface 0x0809: one packer per
// method. Every reply is the status block alone.
#pragma once

#include <cstdint>

#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nTimeTrigger {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0809, kId, "tTimeTrigger", kLine};

// clang-format off
class tCommitPacker   : public tPacker<kMethod<8, 113>, tIn<uint32_t, uint32_t>> { using tPacker::tPacker; };
class tArmPacker      : public tPacker<kMethod<9, 171>> { using tPacker::tPacker; };
class tStartPacker    : public tPacker<kMethod<10, 224>> { using tPacker::tPacker; };
class tDisarmPacker   : public tPacker<kMethod<11, 277>> { using tPacker::tPacker; };
class tUncommitPacker : public tPacker<kMethod<12, 330>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nTimeTrigger
