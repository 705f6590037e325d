// The cartridge line filter, interface 0x0891: commit with one u32 and
// uncommit. Every reply is the status block alone.
#pragma once

#include <cstdint>

#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nCartridgeLineFilter {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0891, kId, "tCartridgeLineFilter", kLine};

// clang-format off
class tCommitPacker   : public tPacker<kMethod<8, 110>, tIn<uint32_t>> { using tPacker::tPacker; };
class tUncommitPacker : public tPacker<kMethod<9, 120>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nCartridgeLineFilter
