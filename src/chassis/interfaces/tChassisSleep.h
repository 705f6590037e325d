// The chassis sleep control, interface 0x0801: its Async call and its packer.
#pragma once

#include <cstdint>

#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"
#include "fsl/tRequestTransfer.h"
#include "mdbg/tStatus2.h"

namespace nQoFSL100::nQoMIOCS {

namespace nChassisSleep {
template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0801, kId, "tChassisSleep", kLine};
}  // namespace nChassisSleep

// The interface's calls with the object id, inputs and outputs passed in.
class tChassisSleepAsync {
 public:
  void sleepControl_pack(uint16_t objectId, tRequestTransfer& transfer, const uint8_t& arg1,
                         nQoMDBG100::tStatus2& status, unsigned int flag);
};

namespace nChassisSleep {
// clang-format off
class tSleepControlPacker : public tPacker<kMethod<8, 60>, tIn<uint8_t>, tOut<>, tViaAsync<&tChassisSleepAsync::sleepControl_pack>> { using tPacker::tPacker; };
// clang-format on
}  // namespace nChassisSleep

}  // namespace nQoFSL100::nQoMIOCS
