#include "chassis/interfaces/tChassisTempSensor.h"

#include "chassis/message/tRequestCall.h"

namespace nQoFSL100::nQoMIOCS {

using tGetTempSensorsReadings = tRequestCall<nChassisTempSensor::kMethod<8, 60>>;

void tChassisTempSensorAsync::getTempSensorsReadings_pack(uint16_t objectId,
                                                          tRequestTransfer& transfer,
                                                          const uint8_t& arg1,
                                                          nQoMDBG100::tStatus2& status,
                                                          unsigned int flag) {
  tGetTempSensorsReadings::pack(objectId, transfer, status, flag, arg1);
}

void tChassisTempSensorAsync::getTempSensorsReadings_unpack(tRequestContext& context,
                                                            tArray<uint16_t>& readings,
                                                            nQoMDBG100::tStatus2& status) {
  tGetTempSensorsReadings::unpack(context, status, readings);
}

}  // namespace nQoFSL100::nQoMIOCS
