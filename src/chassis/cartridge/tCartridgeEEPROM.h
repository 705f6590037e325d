// The cartridge EEPROM, interface 0x0863: one packer per method. The block
// write carries a byte array (the packer's own copy, made at construction);
// the block read answers one, into the caller's array (by pointer) or into
// a plain buffer of a given capacity in bytes:
//
//   nCartridgeEEPROM::tBlockReadBytesPacker packer(t1, t2, objectId, address, count, buffer, 16);
//
// The caller's array holds storage from the module allocator (any tArray
// does): unpack frees its old storage when it grows it.
#pragma once

#include <cstdint>

#include "chassis/message/tArray.h"
#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nCartridgeEEPROM {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0863, kId, "tCartridgeEEPROM", kLine};

// clang-format off
class tCommitPacker          : public tPacker<kMethod<8, 110>, tIn<uint8_t, uint8_t>> { using tPacker::tPacker; };
class tUncommitPacker        : public tPacker<kMethod<9, 120>> { using tPacker::tPacker; };
class tBlockWriteBytesPacker : public tPacker<kMethod<10, 130>, tIn<uint16_t, tArray<uint8_t>>> { using tPacker::tPacker; };
class tBlockReadBytesPacker  : public tPacker<kMethod<11, 140>, tIn<uint16_t, uint16_t>, tOut<tCallerArray<uint8_t>>> { using tPacker::tPacker; };
class tReadStatusRegPacker   : public tPacker<kMethod<12, 150>, tIn<>, tOut<uint8_t>> { using tPacker::tPacker; };
class tWriteStatusRegPacker  : public tPacker<kMethod<13, 160>, tIn<uint8_t>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nCartridgeEEPROM
