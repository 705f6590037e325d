// The cartridge controller, interface 0x0860: one packer per method. Every
// reply is the status block alone.
//
//   nCartridgeController::tCommitPacker packer(t1, t2, objectId, 258, 5, 6, 7, 255);
//   packer.pack(transfer, 0, status);
#pragma once

#include <cstdint>

#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nCartridgeController {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0860, kId, "tCartridgeController", kLine};

using tU32x10 = tIn<uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                    uint32_t, uint32_t>;
using tU32x14 = tIn<uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                    uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t>;

// clang-format off
class tResetPacker                    : public tPacker<kMethod<8, 110>> { using tPacker::tPacker; };
class tCommitPacker                   : public tPacker<kMethod<9, 120>, tIn<uint32_t, uint8_t, uint8_t, uint8_t, uint8_t>> { using tPacker::tPacker; };
class tCommitHSIInputPacker           : public tPacker<kMethod<10, 130>, tU32x10> { using tPacker::tPacker; };
class tCommitHSIOutputPacker          : public tPacker<kMethod<11, 140>, tU32x14> { using tPacker::tPacker; };
class tCommitSPIForHSIDevicesPacker   : public tPacker<kMethod<12, 150>, tIn<uint32_t, uint32_t, uint32_t, uint8_t>> { using tPacker::tPacker; };
class tUncommitSPIForHSIDevicesPacker : public tPacker<kMethod<13, 160>, tIn<uint32_t>> { using tPacker::tPacker; };
class tCommitSPIPacker                : public tPacker<kMethod<14, 170>, tIn<uint32_t, uint32_t, uint32_t, uint8_t>> { using tPacker::tPacker; };
class tUncommitPacker                 : public tPacker<kMethod<15, 180>, tIn<uint32_t>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nCartridgeController
