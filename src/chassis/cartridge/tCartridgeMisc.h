// The cartridge's miscellaneous interface, 0x0867: commit with six u32 and
// uncommit. Every reply is the status block alone.
#pragma once

#include <cstdint>

#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nCartridgeMisc {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0867, kId, "tCartridgeMisc", kLine};

// clang-format off
class tCommitPacker   : public tPacker<kMethod<8, 110>, tIn<uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t>> { using tPacker::tPacker; };
class tUncommitPacker : public tPacker<kMethod<9, 120>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nCartridgeMisc
