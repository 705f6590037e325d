// The cartridge data memory, interface 0x0865: one packer per method; its
// contents travel as u32 words. The write carries a word array (the
// packer's own copy, made at construction); the read answers one, into the
// caller's array (by pointer) or into a plain buffer of a given capacity in
// words, in host byte order:
//
//   nCartridgeDataMemory::tReadPacker packer(t1, t2, objectId, address, count, &words);
//
// The caller's array holds storage from the module allocator (any tArray
// does): unpack frees its old storage when it grows it.
#pragma once

#include <cstdint>

#include "chassis/message/tArray.h"
#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nCartridgeDataMemory {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0865, kId, "tCartridgeDataMemory", kLine};

// clang-format off
class tCopyPacker  : public tPacker<kMethod<8, 110>, tIn<uint16_t, uint16_t, uint16_t>> { using tPacker::tPacker; };
class tFillPacker  : public tPacker<kMethod<9, 120>, tIn<uint16_t, uint16_t, uint32_t>> { using tPacker::tPacker; };
class tReadPacker  : public tPacker<kMethod<10, 130>, tIn<uint16_t, uint16_t>, tOut<tCallerArray<uint32_t>>> { using tPacker::tPacker; };
class tWritePacker : public tPacker<kMethod<11, 140>, tIn<uint16_t, uint16_t, tArray<uint32_t>>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nCartridgeDataMemory
