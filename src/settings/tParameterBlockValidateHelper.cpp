#include "settings/tParameterBlockValidateHelper.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mrl/iControlParameterBlock.h"

namespace nQoUdR100 {

namespace {
constexpr const char kFile[] = "tParameterBlockValidateHelper";
}  // namespace

void tParameterBlockValidateHelper::mergeValidationStatus(const nQoMDBG100::tStatus2& validation,
                                                          nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  if (validation.isFatal())
    status.assign(validation);
  else if (validation.code == nQoMRL100::iControlParameterBlock::kOutOfValues)
    setCode(status, kRefused, {kFile, 47});
}

void tParameterBlockValidateHelper::checkNotNull(const void* pointer,
                                                 nQoMDBG100::tStatus2& status) {
  if (status.isNotFatal() && pointer == nullptr) setCode(status, kNullPointer, {kFile, 29});
}

}  // namespace nQoUdR100
