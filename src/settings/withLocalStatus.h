// The local status bracket of a class whose stream operations report at its
// own source site: a local status starts with the caller's warning, set at
// the site; body works on the local code; the local code is merged back into
// the caller's by the merge rule.
//
//   withLocalStatus(status, {"tAIDMATransferSettings", 75},
//                   [&](int& code) { ... stream calls with code ... });
#pragma once

#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"

namespace nQoUdR100 {

template <class Body>
void withLocalStatus(int& status, const tStatusSite& site, Body body) {
  nQoMDBG100::tStatus2 local;
  if (status > 0) setCode(local, status, site);
  body(local.code);
  mergeCode(status, local.code);
}

}  // namespace nQoUdR100
