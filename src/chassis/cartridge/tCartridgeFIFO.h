// The cartridge FIFO, interface 0x0864: one packer per method. The two
// get-and-confirm methods answer one u8 after the status block.
//
//   uint8_t overflow = 0;
//   nCartridgeFIFO::tGetAndConfirmOverflowPacker packer(t1, t2, objectId, overflow);
#pragma once

#include <cstdint>

#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nCartridgeFIFO {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0864, kId, "tCartridgeFIFO", kLine};

// clang-format off
class tCommitPacker                        : public tPacker<kMethod<8, 110>, tIn<uint32_t, uint16_t, uint8_t, uint8_t>> { using tPacker::tPacker; };
class tArmPacker                           : public tPacker<kMethod<9, 120>> { using tPacker::tPacker; };
class tDisarmPacker                        : public tPacker<kMethod<10, 130>> { using tPacker::tPacker; };
class tGetAndConfirmOverflowPacker         : public tPacker<kMethod<11, 140>, tIn<>, tOut<uint8_t>> { using tPacker::tPacker; };
class tGetAndConfirmTransferCompletePacker : public tPacker<kMethod<12, 150>, tIn<>, tOut<uint8_t>> { using tPacker::tPacker; };
class tEnableUnderflowInterruptPacker      : public tPacker<kMethod<13, 160>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nCartridgeFIFO
