// The analog-input immediate DMA transfer, so far only what the linkers write
// into it: the event object of its done and error events and the scheduler
// action that its schedule resolvers run.
#pragma once

#include "mdbg/tStatus2.h"
#include "mrl/iEvent.h"
#include "mrl/iSchedulerActionSupervisor.h"

namespace nQoUdP100 {

class tBaseAIImmediateDMATransferPrimitive {
 public:
  virtual ~tBaseAIImmediateDMATransferPrimitive() = default;

  void setEvent(nQoMRL110::iEvent* event, nQoMDBG100::tStatus2&) { _event = event; }
  nQoMRL110::iEvent* getEvent() const { return _event; }
  // Stores the action (null: none) when the status holds no error.
  void setSchedulerAction(nQoMAS100::iSchedulerAction* action, nQoMDBG100::tStatus2& status) {
    if (status.isNotFatal()) _schedulerAction = action;
  }
  nQoMAS100::iSchedulerAction* getSchedulerAction() const { return _schedulerAction; }

 private:
  nQoMRL110::iEvent* _event = nullptr;
  nQoMAS100::iSchedulerAction* _schedulerAction = nullptr;
};

}  // namespace nQoUdP100
