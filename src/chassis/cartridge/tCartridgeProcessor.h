// The cartridge processor, interface 0x0868: one packer per method. The
// firmware update carries a u32 and an array of u32 (its own copy, made at
// construction). Every reply is the status block alone.
//
//   nCartridgeProcessor::tUpdateFirmwarePacker packer(t1, t2, objectId, 7, words);
#pragma once

#include <cstdint>

#include "chassis/message/tArray.h"
#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nCartridgeProcessor {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0868, kId, "tCartridgeProcessor", kLine};

// clang-format off
class tUpdateFirmwarePacker    : public tPacker<kMethod<8, 110>, tIn<uint32_t, tArray<uint32_t>>> { using tPacker::tPacker; };
class tGenerateInterruptPacker : public tPacker<kMethod<9, 120>> { using tPacker::tPacker; };
class tCommitPacker            : public tPacker<kMethod<10, 130>> { using tPacker::tPacker; };
class tUncommitPacker          : public tPacker<kMethod<11, 140>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nCartridgeProcessor
