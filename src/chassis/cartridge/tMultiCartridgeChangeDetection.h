// Change detection across several cartridges, interface 0x0893: one packer
// per method. The read answers a byte array, into the caller's array (by
// pointer) or into a plain buffer of a given capacity in bytes; the overflow
// status is one u8.
//
//   nMultiCartridgeChangeDetection::tReadPacker packer(t1, t2, objectId, first, second, &changes);
//
// The caller's array holds storage from the module allocator (any tArray
// does): unpack frees its old storage when it grows it.
#pragma once

#include <cstdint>

#include "chassis/message/tArray.h"
#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nMultiCartridgeChangeDetection {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0893, kId, "tMultiCartridgeChangeDetection", kLine};

// clang-format off
class tInitializePacker                         : public tPacker<kMethod<8, 110>> { using tPacker::tPacker; };
class tReadPacker                               : public tPacker<kMethod<9, 120>, tIn<uint32_t, uint32_t>, tOut<tCallerArray<uint8_t>>> { using tPacker::tPacker; };
class tGetChangeDetectionOverflowStatusPacker   : public tPacker<kMethod<10, 130>, tIn<>, tOut<uint8_t>> { using tPacker::tPacker; };
class tSetMultiSegmentDIOConnectionMaskPacker   : public tPacker<kMethod<11, 140>, tIn<uint32_t, uint32_t, uint32_t>> { using tPacker::tPacker; };
class tClearMultiSegmentDIOConnectionMaskPacker : public tPacker<kMethod<12, 150>, tIn<uint32_t, uint32_t, uint32_t>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nMultiCartridgeChangeDetection
