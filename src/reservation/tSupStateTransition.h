// A scoped transition: checks the event with the tracker when the operation
// begins and applies it with the operation's final status when the guard
// leaves scope.
//
//   void tSupervisor::linkResource(nQoMDBG100::tStatus2& status) {
//     tSupStateTransition transition(_tracker, kEventLinkResource, status);
//     ...
//   }
//
// An event that the guard's own check refused is not applied: the refusal
// must not move the state. A status that held an error already at
// construction is not checked, and the event is applied (so backward steps
// still take effect).
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "reservation/iStateTracker.h"

namespace nQoMRTB100 {

class tSupStateTransition {
 public:
  tSupStateTransition(iStateTracker& tracker, int32_t event, nQoMDBG100::tStatus2& status)
      : _tracker(tracker), _event(static_cast<uint32_t>(event)), _status(&status) {
    if (status.isFatal()) return;
    _tracker.validateEvent(event, status);
    _refused = status.isFatal();
  }

  ~tSupStateTransition() {
    if (!_refused) _tracker.applyEvent(static_cast<int32_t>(_event), *_status);
  }

  tSupStateTransition(const tSupStateTransition&) = delete;
  tSupStateTransition& operator=(const tSupStateTransition&) = delete;

 private:
  iStateTracker& _tracker;
  uint32_t _event;
  nQoMDBG100::tStatus2* _status;
  bool _refused = false;
};

}  // namespace nQoMRTB100
