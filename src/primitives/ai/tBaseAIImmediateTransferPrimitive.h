// The analog-input programmed-I/O reader, so far only the event object through
// which it signals done and error events (set by the done and error event
// linker).
#pragma once

#include "mdbg/tStatus2.h"
#include "mrl/iEvent.h"

namespace nQoUdP100 {

class tBaseAIImmediateTransferPrimitive {
 public:
  virtual ~tBaseAIImmediateTransferPrimitive() = default;

  // Stores the event (null: none) when the status holds no error.
  virtual void setEvent(nQoMRL110::iEvent* event, nQoMDBG100::tStatus2& status) {
    if (status.isNotFatal()) _event = event;
  }
  nQoMRL110::iEvent* getEvent() const { return _event; }

 private:
  nQoMRL110::iEvent* _event = nullptr;
};

}  // namespace nQoUdP100
