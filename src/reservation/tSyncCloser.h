// Closes a synchronisation object; null is ignored.
#pragma once

#include "sync/iSync.h"

namespace nQoMRTB100 {

struct tSyncCloser {
  void operator()(iSync* sync) const {
    if (sync != nullptr) syncClose(sync);
  }
};

}  // namespace nQoMRTB100
