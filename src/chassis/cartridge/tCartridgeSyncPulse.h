// The cartridge sync pulse, interface 0x086A: its one packer, whose pack
// runs through tCartridgeSyncPulseAsync::commit_pack with the packer's own
// two words. The reply is the status block alone.
//
//   nCartridgeSyncPulse::tCommitPacker packer(t1, t2, objectId, 1, 0xFFFFFFFF);
#pragma once

#include <cstdint>

#include "chassis/interfaces/tCartridgeSyncPulse.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nCartridgeSyncPulse {

// clang-format off
class tCommitPacker : public tPacker<kMethod<8, 60>, tIn<uint32_t, uint32_t>, tOut<>, tViaAsync<&tCartridgeSyncPulseAsync::commit_pack>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nCartridgeSyncPulse
