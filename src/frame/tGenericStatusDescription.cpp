#include "frame/tGenericStatusDescription.h"

#include <utility>

#include "frame/nString.h"
#include "frame/statusCodes.h"
#include "frame/tIntrinsicTypeReportable.h"
#include "frame/tStatusSite.h"

namespace nQoUdR100::nQoKABBO_1_0 {

void tGenericStatusDescription::set(nQoMSTS100::tUsageType usage, const char* text) {
  // The conversion reports into a portability status that starts from the
  // own code, so a stored error leaves the text empty.
  nQoAPALS100::tStatus converted;
  nQoAPALS100::setStatusWithLocation(converted, _status.code, "", "", 0);
  tWString wide;
  nString::utf8ToUTF32String(text, tString::length(text), wide, converted, nString::kCounted);
  if (converted.code != 0) _status.setCode(static_cast<int>(converted.code), "", "", 0);

  nQoMDBG100::tIntrinsicTypeReportable<tWString> reportable;
  if (!reportable.values().append(std::move(wide)))
    setCode(_status, kOutOfMemory, {nQoMDBG100::kReportableFile, 71});
  addProperty(usage, reportable, _status);
}

}  // namespace nQoUdR100::nQoKABBO_1_0
