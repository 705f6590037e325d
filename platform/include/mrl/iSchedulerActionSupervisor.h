// A supervisor that owns a scheduler action, found in the supervisor map; a
// timing primitive runs the action every N samples.
#pragma once

#include "mdbg/tStatus2.h"

namespace nQoMAS100 {

class iSchedulerAction {
 public:
  virtual ~iSchedulerAction() = default;
};

class iSchedulerActionSupervisor {
 public:
  static void* ___classID;
  virtual ~iSchedulerActionSupervisor() = default;
  virtual iSchedulerAction* getSchedulerAction(nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMAS100
