// Links one step for the life of a scope and unlinks it again on a fresh,
// dropped status when the caller's status later holds an error.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "reservation/iLinker.h"

namespace nQoMRTB100 {

class tScopedLink {
 public:
  tScopedLink(iLinker& linker, nQoMRL100::iPrimitiveSupervisorMap& map,
              nQoMDBG100::tStatus2& status)
      : _linker(&linker), _status(&status) {
    if (status.isFatal()) return;
    linker.link(map, status);
    _succeeded = status.isNotFatal() ? 1 : 0;
  }

  ~tScopedLink() {
    if (_succeeded == 0 || _status->isNotFatal()) return;
    nQoMDBG100::tStatus2 local;
    _linker->unlink(local);
  }

  tScopedLink(const tScopedLink&) = delete;
  tScopedLink& operator=(const tScopedLink&) = delete;

 private:
  iLinker* _linker;
  nQoMDBG100::tStatus2* _status;
  uint32_t _succeeded = 0;
};

}  // namespace nQoMRTB100
