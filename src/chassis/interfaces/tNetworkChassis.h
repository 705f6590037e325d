// The network chassis, interface 0x0805.
#pragma once

#include <cstdint>

#include "chassis/message/tMethod.h"
#include "fsl/tRequestTransfer.h"
#include "mdbg/tStatus2.h"

namespace nQoFSL100::nQoMIOCS {

namespace nNetworkChassis {
template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0805, kId, "tNetworkChassis", kLine};
}  // namespace nNetworkChassis

// The interface's calls with the object id, inputs and outputs passed in.
class tNetworkChassisAsync {
 public:
  void observeNetworkTimeout_pack(uint16_t objectId, tRequestTransfer& transfer,
                                  const uint32_t& arg1, nQoMDBG100::tStatus2& status,
                                  unsigned int flag);
};

}  // namespace nQoFSL100::nQoMIOCS
