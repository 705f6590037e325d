// The one record of the settings class without fields: it holds nothing,
// streams nothing and every check leaves the status as it is.
#pragma once

#include "mdbg/tStatus2.h"
#include "orb/iExternalInputStream.h"
#include "orb/iExternalOutputStream.h"

namespace nQoUdR100 {

class tEmptyRuntimeData {
 public:
  bool operator==(const tEmptyRuntimeData&) const { return true; }

  void checkStatus(int&) const {}
  void checkStatus(nQoMDBG100::tStatus2&) const {}

  void readExternal(nQoORB100::iExternalInputStream&, int& status) {
    checkStatus(status);
    if (status >= 0) checkStatus(status);
  }
  void writeExternal(nQoORB100::iExternalOutputStream&, int& status) const { checkStatus(status); }
};

}  // namespace nQoUdR100
