// What the supervisors that keep their own state word in place of a state
// tracker share: the word's values, the lookup of the task's event, the
// hand-back of a reservation and the commit-cancel by state.
//
//   _event = lookupTaskEvent(facade, status, {"tTavikFREQOUTSupervisor", 120});
//   handBack(&_identifier, _facade, status);   // fresh statuses, merged
//   cancelByState(*this, _state, status);      // codes 3 and 4 as the state asks
#pragma once

#include <cstdint>

#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "mrl/iEvent.h"
#include "mrl/iPrimitiveSupervisor.h"
#include "mrl/iResourceBroker.h"
#include "mrl/iResourceIdentifier.h"
#include "mrl/iRuntimeFacade.h"
#include "mrl/tEventIdentifier.h"
#include "reservation/castAnswer.h"

namespace nQoUdR100 {

enum tStateWord : uint32_t {
  kConstructed = 0,
  kInitialized = 1,  // also after unlink
  kLinked = 2,       // also after releaseResource
  kReserved = 3,     // also after unlinkResource
  kResourcesLinked = 4,
  kCommitted = 5,
  kRunning = 6,
};

// The control codes these supervisors map onto their primitive.
enum tControlCode : uint32_t {
  kCommit = 1,
  kStart = 2,
  kStop = 3,
  kUncommit = 4,
};

// The task's event object, or null with kCastFailed at the site (no facade,
// no object, or one of another class).
inline nQoMRL110::iEvent* lookupTaskEvent(nQoMRL100::iRuntimeFacade* facade,
                                          nQoMDBG100::tStatus2& status, const tStatusSite& site) {
  if (status.isFatal()) return nullptr;
  nQoORB100::tObject* object = nullptr;
  if (facade != nullptr) {
    const nQoMRL110::tEventIdentifier identifier(status);
    object = facade->getEventObject(identifier, status);
  }
  return nQoMRTB100::castAnswer<nQoMRL110::iEvent>(object, status, site);
}

// Gives a reservation back at the broker: the broker's lookup and its
// release each on a fresh status merged into the caller's (whose first
// error stays). Nothing without a broker.
inline void handBack(const nQoMRL100::iResourceIdentifier* identifier,
                     nQoMRL100::iRuntimeFacade* facade, nQoMDBG100::tStatus2& status) {
  nQoMDBG100::tStatus2 local;
  nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(local);
  status.assign(local);
  if (broker == nullptr || local.isFatal()) return;
  local.clear();
  broker->release(identifier, facade, local);
  status.assign(local);
}

// Commit-cancel: running, control 3 then 4; committed, control 4. By the
// state at entry and each on a fresh status merged into the caller's, so
// that a failed stop still uncommits.
inline void cancelByState(nQoMRL100::iPrimitiveSupervisor& supervisor, uint32_t state,
                          nQoMDBG100::tStatus2& status) {
  const auto run = [&](uint32_t code) {
    nQoMDBG100::tStatus2 local;
    supervisor.control(code, nullptr, nullptr, local);
    status.assign(local);
  };
  if (state == kRunning) run(kStop);
  if (state == kRunning || state == kCommitted) run(kUncommit);
}

}  // namespace nQoUdR100
