// Links one step's resources for the life of a scope and unlinks them again
// on a fresh, dropped status when the caller's status later holds an error.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "reservation/iLinker.h"

namespace nQoMRTB100 {

class tScopedResourceLink {
 public:
  tScopedResourceLink(iLinker& linker, nQoMDBG100::tStatus2& status)
      : _linker(&linker), _status(&status) {
    if (status.isFatal()) return;
    linker.linkResource(status);
    _succeeded = status.isNotFatal() ? 1 : 0;
  }

  ~tScopedResourceLink() {
    if (_succeeded == 0 || _status->isNotFatal()) return;
    nQoMDBG100::tStatus2 local;
    _linker->unlinkResource(local);
  }

  tScopedResourceLink(const tScopedResourceLink&) = delete;
  tScopedResourceLink& operator=(const tScopedResourceLink&) = delete;

 private:
  iLinker* _linker;
  nQoMDBG100::tStatus2* _status;
  uint32_t _succeeded = 0;
};

}  // namespace nQoMRTB100
