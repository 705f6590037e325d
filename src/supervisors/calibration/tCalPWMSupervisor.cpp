#include "supervisors/calibration/tCalPWMSupervisor.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mrl/iControlParameterBlock.h"
#include "settings/tParameterBlockValidateHelper.h"

namespace nQoUdR100 {

void tCalPWMSupervisor::unlinkResource(nQoMDBG100::tStatus2& status) {
  if (status.isNotFatal()) noteUnlinked();
}

// Only a held primitive is handed back, so a reservation that was never
// granted leaves another task's hold alone.
void tCalPWMSupervisor::releaseResource(nQoMDBG100::tStatus2& status) {
  if (status.isNotFatal()) tReservingSupervisor::releaseResource(status);
}

void tCalPWMSupervisor::unlink(nQoMDBG100::tStatus2& status) {
  if (status.isNotFatal()) _state = kPlainInitialized;
}

void tCalPWMSupervisor::onControl(nQoUdP100::iReferenceVoltagePrimitive* primitive, uint32_t code,
                                  nQoMRL100::iControlParameterBlock* in,
                                  nQoMRL100::iControlParameterBlock*,
                                  nQoMDBG100::tStatus2& status) {
  if (code != kSetReference) {
    setCode(status, kNotSupported, {kFile, 261});
    return;
  }
  if (in == nullptr || primitive == nullptr) {
    setCode(status, kNullPointer, {kFile, 245});
    return;
  }
  nQoMDBG100::tStatus2 local;
  const uint32_t value = in->readU32(local.code);
  tParameterBlockValidateHelper::mergeValidationStatus(local, status);
  if (status.isNotFatal()) primitive->setReferenceValue(value, status);
}

}  // namespace nQoUdR100
