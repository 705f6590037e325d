#include "frame/tGenericStatusDescription.h"

#include "frame/tBasicString.h"
#include "frame/tStatusSite.h"
#include "mdbg/tWideTextReportable.h"

namespace nQoUdR100::nQoKABBO_1_0 {

void tGenericStatusDescription::set(nQoMSTS100::tUsageType usage, const char* text) {
  tWString wide;
  if (_status.isNotFatal()) {
    const std::size_t length = tString::length(text);
    if (wide.reserve(length)) {
      for (std::size_t i = 0; i < length; ++i)
        wide.append(static_cast<wchar_t>(static_cast<unsigned char>(text[i])));
    } else {
      setCode(_status, -50352, {"tGenericStatusDescription", 30});
    }
  }
  const nQoMDBG100::tWideTextReportable reportable(wide.c_str(), wide.size());
  addProperty(usage, reportable, _status);
}

}  // namespace nQoUdR100::nQoKABBO_1_0
