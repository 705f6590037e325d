// The check that follows every copy of settings, or of a part of them such
// as the resource identifier: a copy that lost data to a failed allocation
// (an identifier whose name could not be stored, a string or list whose
// sticky flag is set, a record that reports one) is -50352, never a silent
// success.
//
//   _identifier = own->record<0>().identifier;
//   _settings = *own;
//   checkCopy(status, {kFile, 125}, _identifier, _settings);
//   if (status.isFatal()) return;   // nothing of the copy is applied
#pragma once

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"

namespace nQoUdR100 {

// Whether the part holds a failed allocation: its own sticky flag
// (allocationFailed()), one of its members' (lostAllocation(), as records and
// settings classes answer it), or the report of its status check.
template <class T>
bool lostAllocation(const T& part) {
  if constexpr (requires { part.allocationFailed(); }) {
    return part.allocationFailed();
  } else if constexpr (requires { part.lostAllocation(); }) {
    return part.lostAllocation();
  } else if constexpr (requires(int& code) { part.checkStatus(code); }) {
    int code = 0;
    part.checkStatus(code);
    return code < 0;
  } else {
    return false;
  }
}

// -50352 at the site when any of the copies lost an allocation; a stored
// error stays.
template <class... Parts>
void checkCopy(nQoMDBG100::tStatus2& status, const tStatusSite& site, const Parts&... copies) {
  if ((lostAllocation(copies) || ...)) setCode(status, kOutOfMemory, site);
}

}  // namespace nQoUdR100
