// The cartridge digital line directions, interface 0x0890: one packer per
// method, every request of fixed size. Every reply is the status block alone.
#pragma once

#include <cstdint>

#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nCartridgeDIODirection {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0890, kId, "tCartridgeDIODirection", kLine};

using tU32x7 = tIn<uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t>;

// clang-format off
class tCommitPacker                    : public tPacker<kMethod<8, 110>> { using tPacker::tPacker; };
class tUncommitPacker                  : public tPacker<kMethod<9, 120>> { using tPacker::tPacker; };
class tConfigureLinesCmrPacker         : public tPacker<kMethod<10, 130>, tU32x7> { using tPacker::tPacker; };
class tConfigureWatchdogLinesCmrPacker : public tPacker<kMethod<11, 140>, tU32x7> { using tPacker::tPacker; };
class tConfigureLinesCmsPacker         : public tPacker<kMethod<12, 150>, tIn<uint32_t, uint32_t>> { using tPacker::tPacker; };
class tResetLinesCmrPacker             : public tPacker<kMethod<13, 160>, tIn<uint32_t, uint32_t>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nCartridgeDIODirection
