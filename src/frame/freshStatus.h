// One step of an undo or a teardown on a status of its own: the step gets a
// cleared status, and its code is merged into the caller's by the merge rule
// (the first error stays, an error beats a warning). A failed step so stops
// none of the steps after it:
//
//   onFreshStatus(status, [&](tStatus2& s) { _fifo->disarm(s); });
//   onFreshStatus(status, [&](tStatus2& s) { disableOverrunInterrupt(&s); });
//
// An undo after a failed forward step runs its steps so on a status of its
// own, which it then drops.
#pragma once

#include "mdbg/tStatus2.h"

namespace nQoUdR100 {

template <class Step>
inline void onFreshStatus(nQoMDBG100::tStatus2& status, Step step) {
  nQoMDBG100::tStatus2 fresh;
  step(fresh);
  status.assign(fresh);
}

}  // namespace nQoUdR100
