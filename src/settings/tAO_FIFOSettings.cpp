#include "settings/tAO_FIFOSettings.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "settings/copyCheck.h"
#include "settings/settingsFields.h"

namespace nQoUdR100 {

tAO_FIFOSettings::tAO_FIFOSettings(const tAO_FIFOSettings& other, nQoMDBG100::tStatus2& status) {
  *this = other;
  checkCopy(status, kCopySite, *this);
}

void tAO_FIFOSettings::readExternal(nQoORB100::iExternalInputStream& in, int& status) {
  if (status < 0) return;
  list.clear();
  std::apply([&](auto... member) { (readField(in, this->*member, status), ...); }, kFixedOrder);
  if (!list.read(in, status)) mergeCode(status, kOutOfMemory);
  identifier.readExternal(in, status);
  nQoMRL100::tPrimitiveSettings::readExternal(in, status);
}

void tAO_FIFOSettings::writeExternal(nQoORB100::iExternalOutputStream& out, int& status) const {
  if (status < 0) return;
  if (list.allocationFailed()) {
    mergeCode(status, kOutOfMemory);
    return;
  }
  std::apply([&](auto... member) { (writeField(out, this->*member, status), ...); }, kFixedOrder);
  list.write(out, status);
  identifier.writeExternal(out, status);
  nQoMRL100::tPrimitiveSettings::writeExternal(out, status);
}

}  // namespace nQoUdR100
