// The cartridge AO DAC, interface 0x0880: one packer per method. The multi-DAC
// write carries two arrays, u32 then u16; the status read has one u32 output.
//
//   nCartridgeAO_DAC::tMultiDACWritePacker packer(t1, t2, objectId, words, halves);
#pragma once

#include <cstdint>

#include "chassis/message/tArray.h"
#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nCartridgeAO_DAC {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0880, kId, "tCartridgeAO_DAC", kLine};

// clang-format off
class tCommitPacker        : public tPacker<kMethod<8, 110>, tIn<uint32_t, uint8_t, uint8_t>> { using tPacker::tPacker; };
class tReadStatusPacker    : public tPacker<kMethod<9, 120>, tIn<uint32_t>, tOut<uint32_t>> { using tPacker::tPacker; };
class tMultiDACWritePacker : public tPacker<kMethod<10, 130>, tIn<tArray<uint32_t>, tArray<uint16_t>>> { using tPacker::tPacker; };
class tUncommitPacker      : public tPacker<kMethod<11, 140>, tIn<uint32_t>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nCartridgeAO_DAC
