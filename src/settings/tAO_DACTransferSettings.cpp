#include "settings/tAO_DACTransferSettings.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "settings/settingsFields.h"
#include "settings/withLocalStatus.h"

namespace nQoUdR100 {

namespace {
constexpr const char kFile[] = "tAO_DACTransferSettings";
}  // namespace

void tAO_DACTransferSettings::readExternal(nQoORB100::iExternalInputStream& in, int& status) {
  if (status < 0) return;
  nQoMDBG100::tStatus2 local;
  if (status > 0) setCode(local, status, {kFile, 121});
  list.clear();
  std::apply([&](auto... member) { (readField(in, this->*member, local.code), ...); }, kWordOrder);
  if (!list.read(in, local.code)) setCode(local, kOutOfMemory, {kFile, 144});
  nQoMRL100::tPrimitiveSettings::readExternal(in, local.code);
  mergeCode(status, local.code);
}

void tAO_DACTransferSettings::writeExternal(nQoORB100::iExternalOutputStream& out,
                                            int& status) const {
  if (status < 0) return;
  if (list.allocationFailed()) {
    mergeCode(status, kOutOfMemory);
    return;
  }
  withLocalStatus(status, {kFile, 89}, [&](int& code) {
    std::apply([&](auto... member) { (writeField(out, this->*member, code), ...); }, kWordOrder);
    list.write(out, code);
    nQoMRL100::tPrimitiveSettings::writeExternal(out, code);
  });
}

}  // namespace nQoUdR100
