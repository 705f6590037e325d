// A supervisor that owns a scheduler action, found in the supervisor map; a
// timing primitive runs the action every N samples.
//
//   action->runAction(&sampleCount, argument);   // may rewrite the count
//   action->armed(status);                       // the primitive was armed
//   action->started(status);                     // a change detection started
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoMAS100 {

class iSchedulerAction {
 public:
  virtual ~iSchedulerAction() = default;
  // Runs the action once; the action may rewrite the primitive's sample
  // counter.
  virtual void runAction(uint64_t* counter, uint32_t argument) = 0;
  // The primitive that runs the action was armed, respectively disarmed.
  virtual void armed(nQoMDBG100::tStatus2& status) = 0;
  virtual void disarmed(nQoMDBG100::tStatus2& status) = 0;
  // A change detection that runs the action on each change started, and
  // then lets the action go at its stop.
  virtual void started(nQoMDBG100::tStatus2& status) = 0;
  virtual void release(nQoMDBG100::tStatus2& status) = 0;
};

class iSchedulerActionSupervisor {
 public:
  static void* ___classID;
  virtual ~iSchedulerActionSupervisor() = default;
  virtual iSchedulerAction* getSchedulerAction(nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMAS100
