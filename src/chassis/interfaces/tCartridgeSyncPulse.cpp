#include "chassis/interfaces/tCartridgeSyncPulse.h"

#include "chassis/message/tRequestCall.h"

namespace nQoFSL100::nQoMIOCS {

void tCartridgeSyncPulseAsync::commit_pack(uint16_t objectId, tRequestTransfer& transfer,
                                           const uint32_t& arg1, const uint32_t& arg2,
                                           nQoMDBG100::tStatus2& status, unsigned int flag) {
  tRequestCall<nCartridgeSyncPulse::kMethod<8, 60>>::pack(objectId, transfer, status, flag, arg1,
                                                          arg2);
}

}  // namespace nQoFSL100::nQoMIOCS
