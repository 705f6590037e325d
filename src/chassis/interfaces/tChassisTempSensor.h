// The chassis temperature sensors, interface 0x080B: its Async calls and its
// packer, whose readings go into the caller's array or, in the buffer form,
// into a plain buffer of a given capacity.
//
//   nChassisTempSensor::tGetTempSensorsReadingsPacker byArray(t1, t2, objectId, arg1, readings);
//   nChassisTempSensor::tGetTempSensorsReadingsPacker byBuffer(t1, t2, objectId, arg1, buffer, 8);
#pragma once

#include <cstdint>

#include "chassis/message/tArray.h"
#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"
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

namespace nChassisTempSensor {
// clang-format off
class tGetTempSensorsReadingsPacker : public tPacker<kMethod<8, 60>, tIn<uint8_t>, tOut<tArray<uint16_t>>, tViaAsync<&tChassisTempSensorAsync::getTempSensorsReadings_pack, &tChassisTempSensorAsync::getTempSensorsReadings_unpack>> { using tPacker::tPacker; };
// clang-format on
}  // namespace nChassisTempSensor

}  // namespace nQoFSL100::nQoMIOCS
