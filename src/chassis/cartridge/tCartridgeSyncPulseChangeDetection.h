// Change detection on a cartridge's sync pulse, interface 0x0894: one
// packer per method. The status get answers two u32 after the status block.
//
//   uint32_t first = 0, second = 0;
//   using nCartridgeSyncPulseChangeDetection::tGetSyncPulseStatusPacker;
//   tGetSyncPulseStatusPacker packer(t1, t2, objectId, first, second);
#pragma once

#include <cstdint>

#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nCartridgeSyncPulseChangeDetection {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0894, kId, "tCartridgeSyncPulseChangeDetection", kLine};

// clang-format off
class tCommitPacker             : public tPacker<kMethod<8, 110>, tIn<uint32_t>> { using tPacker::tPacker; };
class tStartPacker              : public tPacker<kMethod<9, 120>> { using tPacker::tPacker; };
class tStopPacker               : public tPacker<kMethod<10, 130>> { using tPacker::tPacker; };
class tUncommitPacker           : public tPacker<kMethod<11, 140>> { using tPacker::tPacker; };
class tGetSyncPulseStatusPacker : public tPacker<kMethod<12, 150>, tIn<>, tOut<uint32_t, uint32_t>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nCartridgeSyncPulseChangeDetection
