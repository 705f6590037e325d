// Walks a supervisor back from a running stage to state 40 by issuing the
// backward control codes that its tracker's flags say it supports: stop from
// 70, disarm from 60 or 70, uncommit from 50, 60 or 70. Each step runs on a
// fresh status merged into the caller's; a failed step does not stop the
// later ones. Nothing when the status already holds an error.
#pragma once

#include "mdbg/tStatus2.h"
#include "mrl/iPrimitiveSupervisor.h"
#include "reservation/iStateTracker.h"

namespace nQoMRTB100 {

void unwindControlState(iStateTracker& tracker, nQoMRL100::iPrimitiveSupervisor& supervisor,
                        nQoMDBG100::tStatus2& status);

}  // namespace nQoMRTB100
