#include "settings/tTavikLineFilterSettings.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "settings/copyCheck.h"

namespace nQoUdR100 {

namespace {
constexpr const char kFile[] = "tTavikLineFilterSettings";
}  // namespace

void copyFrom(tTavikLineFilterSettings& settings, const nQoMRL100::iPrimitiveSettings* source,
              nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  const auto* same = source == nullptr
                         ? nullptr
                         : static_cast<const tTavikLineFilterSettings*>(
                               source->___CPPKRLDynamicCast(&tTavikLineFilterSettings::___classID));
  if (same == nullptr) {
    setCode(status, kCastFailed, {kFile, 94});
    return;
  }
  if (same == &settings) return;
  settings.supervisorRecord() = same->supervisorRecord();
  checkCopy(status, {kFile, 100}, settings.supervisorRecord());
}

}  // namespace nQoUdR100
