// The chassis temperature sensors, interface 0x080B.
#pragma once

#include <cstdint>

#include "chassis/message/tArray.h"
#include "chassis/message/tMethod.h"
#include "fsl/tRequestContext.h"
#include "fsl/tRequestTransfer.h"
#include "mdbg/tStatus2.h"

namespace nQoFSL100::nQoMIOCS {

namespace nChassisTempSensor {
template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x080B, kId, "tChassisTempSensor", kLine};
}  // namespace nChassisTempSensor

// The interface's calls with the object id, inputs and outputs passed in.
class tChassisTempSensorAsync {
 public:
  void getTempSensorsReadings_pack(uint16_t objectId, tRequestTransfer& transfer,
                                   const uint8_t& arg1, nQoMDBG100::tStatus2& status,
                                   unsigned int flag);
  void getTempSensorsReadings_unpack(tRequestContext& context, tArray<uint16_t>& readings,
                                     nQoMDBG100::tStatus2& status);
};

}  // namespace nQoFSL100::nQoMIOCS
