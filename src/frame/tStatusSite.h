// One-line status sites: the component, the source file and the line of the
// site that sets a code.
//
//   setCode(status, kOutOfMemory, {"tMultiReserver", 93});
//   setCode(statusOrNull, kBadIndex, {"qomiorlp/tavik/tTavik", 264});
//   setCode(status, kRefused, {"tCtrPair", 40, kCounterComponent});
#pragma once

#include "frame/tStatus.h"
#include "mdbg/tStatus2.h"

namespace nQoUdR100 {

inline constexpr const char kComponent[] = "qoudrk";
inline constexpr const char kCounterComponent[] = "qotiok";

struct tStatusSite {
  const char* file;
  unsigned line;
  const char* component = kComponent;
};

// Sets the code by the merge rule.
inline void setCode(nQoMDBG100::tStatus2& status, int code, const tStatusSite& site) {
  status.setCode(code, site.component, site.file, site.line);
}

// Sets the code with a description attached by the merge rule; a refused
// description is released.
inline void setCode(nQoMDBG100::tStatus2& status, int code, const tStatusSite& site,
                    nQoMDBG100::iStatus2Description* description) {
  if (nQoMDBG100::takesCode(status.code, code))
    nQoMDBG100::tStatus2::_setCode(&status, code, site.component, site.file, site.line,
                                   description);
  else if (description != nullptr)
    description->release();
}

// The same for a status that may be null (then nothing is reported).
inline void setCode(nQoMDBG100::tStatus2* status, int code, const tStatusSite& site) {
  if (status != nullptr) setCode(*status, code, site);
}

// The same on a portability status.
inline void setCode(nQoAPALS100::tStatus& status, int64_t code, const tStatusSite& site) {
  nQoAPALS100::setStatusWithLocation(status, code, site.component, site.file, site.line);
}

// The merge rule on a plain integer status.
inline void mergeCode(int& status, int code) {
  if (nQoMDBG100::takesCode(status, code)) status = code;
}

}  // namespace nQoUdR100
