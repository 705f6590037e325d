#include "reservation/unwindControlState.h"

#include "reservation/supervisorEvents.h"

namespace nQoMRTB100 {

namespace {

using tFlagGetter = uint32_t (iStateTracker::*)(nQoMDBG100::tStatus2&);

// Issues code when the flag getter answers 1, on cleared local statuses.
void issueWhenSupported(iStateTracker& tracker, tFlagGetter getFlag, int32_t code,
                        nQoMRL100::iPrimitiveSupervisor& supervisor, nQoMDBG100::tStatus2& status) {
  nQoMDBG100::tStatus2 local;
  if ((tracker.*getFlag)(local) != 1) return;
  local.clear();
  supervisor.control(static_cast<uint32_t>(code), nullptr, nullptr, local);
  if (local.code != 0) status.assign(local);
}

}  // namespace

void unwindControlState(iStateTracker& tracker, nQoMRL100::iPrimitiveSupervisor& supervisor,
                        nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  const int32_t state = tracker.getState(status);
  if (state == kStateRunning)
    issueWhenSupported(tracker, &iStateTracker::getFlag3, kControlStop, supervisor, status);
  if (state == kStateArmed || state == kStateRunning)
    issueWhenSupported(tracker, &iStateTracker::getFlag4, kControlDisarm, supervisor, status);
  if (state == kStateCommitted || state == kStateArmed || state == kStateRunning)
    issueWhenSupported(tracker, &iStateTracker::getFlag5, kControlUncommit, supervisor, status);
}

}  // namespace nQoMRTB100
