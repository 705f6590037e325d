// The analog-input timing engine, so far only the scheduler action that the
// scheduler action linker gives it and that it runs every N samples.
#pragma once

#include "mdbg/tStatus2.h"
#include "mrl/iSchedulerActionSupervisor.h"

namespace nQoUdP100 {

class tBaseAITimingControllerPrimitive {
 public:
  virtual ~tBaseAITimingControllerPrimitive() = default;

  // Stores the action (null: none) whatever the status holds.
  void setSchedulerAction(nQoMAS100::iSchedulerAction* action, nQoMDBG100::tStatus2&) {
    _schedulerAction = action;
  }
  nQoMAS100::iSchedulerAction* getSchedulerAction() const { return _schedulerAction; }

 private:
  nQoMAS100::iSchedulerAction* _schedulerAction = nullptr;
};

}  // namespace nQoUdP100
