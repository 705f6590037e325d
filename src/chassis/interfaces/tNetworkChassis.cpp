#include "chassis/interfaces/tNetworkChassis.h"

#include "chassis/message/tRequestCall.h"

namespace nQoFSL100::nQoMIOCS {

void tNetworkChassisAsync::observeNetworkTimeout_pack(uint16_t objectId, tRequestTransfer& transfer,
                                                      const uint32_t& arg1,
                                                      nQoMDBG100::tStatus2& status,
                                                      unsigned int flag) {
  tRequestCall<nNetworkChassis::kMethod<8, 60>>::pack(objectId, transfer, status, flag, arg1);
}

}  // namespace nQoFSL100::nQoMIOCS
