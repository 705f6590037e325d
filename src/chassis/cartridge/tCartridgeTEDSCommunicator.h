// The cartridge TEDS communicator, interface 0x0862: one packer per method.
// The two writes carry a byte array (the packer's own copy, made at
// construction); the three reads answer one.
//
// A read takes the caller's array by pointer, which unpack fills, or a
// plain buffer and its capacity in bytes (8 by default for the ID block and
// the PROM), which gets the bytes only when all of them fit:
//
//   nQoFSL100::tArray<uint8_t> prom;
//   nCartridgeTEDSCommunicator::tRead8BytePROMPacker intoArray(t1, t2, objectId, 0, &prom);
//   uint8_t id[8];
//   nCartridgeTEDSCommunicator::tGet8ByteIDBlockPacker intoBuffer(t1, t2, objectId, 0, id);
//
// The caller's array holds storage from the module allocator (any tArray
// does): unpack frees its old storage when it grows it.
#pragma once

#include <cstdint>

#include "chassis/message/tArray.h"
#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nCartridgeTEDSCommunicator {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0862, kId, "tCartridgeTEDSCommunicator", kLine};

using tU32x4 = tIn<uint32_t, uint32_t, uint32_t, uint32_t>;

// clang-format off
class tCommitPacker          : public tPacker<kMethod<8, 110>> { using tPacker::tPacker; };
class tUncommitPacker        : public tPacker<kMethod<9, 120>> { using tPacker::tPacker; };
class tReadEEPROMPacker      : public tPacker<kMethod<10, 130>, tU32x4, tOut<tCallerArray<uint8_t>>> { using tPacker::tPacker; };
class tWriteEEPROMPacker     : public tPacker<kMethod<11, 140>, tIn<uint32_t, uint32_t, uint32_t, uint32_t, tArray<uint8_t>>> { using tPacker::tPacker; };
class tGet8ByteIDBlockPacker : public tPacker<kMethod<12, 150>, tIn<uint32_t>, tOut<tCallerArray<uint8_t, 8>>> { using tPacker::tPacker; };
class tRead8BytePROMPacker   : public tPacker<kMethod<13, 160>, tIn<uint32_t>, tOut<tCallerArray<uint8_t, 8>>> { using tPacker::tPacker; };
class tWrite8BytePROMPacker  : public tPacker<kMethod<14, 170>, tIn<uint32_t, tArray<uint8_t>>> { using tPacker::tPacker; };
class tIsPROMWrittenPacker   : public tPacker<kMethod<15, 180>, tIn<uint32_t>, tOut<uint8_t>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nCartridgeTEDSCommunicator
