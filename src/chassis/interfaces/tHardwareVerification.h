// The chassis hardware verification, interface 0x0800: one packer per method.
// Every reply is the status block alone.
#pragma once

#include <cstdint>

#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nHardwareVerification {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0800, kId, "tHardwareVerification", kLine};

// clang-format off
class tVerifyMorroVersionPacker : public tPacker<kMethod<8, 60>> { using tPacker::tPacker; };
class tVerifyMorroPacker        : public tPacker<kMethod<9, 110>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nHardwareVerification
