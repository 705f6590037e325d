// The network chassis, interface 0x0805: its Async call and its packer.
#pragma once

#include <cstdint>

#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"
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

namespace nNetworkChassis {
// clang-format off
class tObserveNetworkTimeoutPacker : public tPacker<kMethod<8, 60>, tIn<uint32_t>, tOut<>, tViaAsync<&tNetworkChassisAsync::observeNetworkTimeout_pack>> { using tPacker::tPacker; };
// clang-format on
}  // namespace nNetworkChassis

}  // namespace nQoFSL100::nQoMIOCS
