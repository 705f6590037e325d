// The cartridge sync pulse, interface 0x086A.
#pragma once

#include <cstdint>

#include "chassis/message/tMethod.h"
#include "fsl/tRequestTransfer.h"
#include "mdbg/tStatus2.h"

namespace nQoFSL100::nQoMIOCS {

namespace nCartridgeSyncPulse {
template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x086A, kId, "tCartridgeSyncPulse", kLine};
}  // namespace nCartridgeSyncPulse

// The interface's calls with the object id, inputs and outputs passed in.
class tCartridgeSyncPulseAsync {
 public:
  void commit_pack(uint16_t objectId, tRequestTransfer& transfer, const uint32_t& arg1,
                   const uint32_t& arg2, nQoMDBG100::tStatus2& status, unsigned int flag);
};

}  // namespace nQoFSL100::nQoMIOCS
