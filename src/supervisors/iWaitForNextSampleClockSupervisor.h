// A supervisor through which the platform paces software-timed I/O: each
// call waits for the next sample clock, or makes the next output update.
#pragma once

#include "mdbg/tStatus2.h"

namespace nQoUdR100 {

class iWaitForNextSampleClockSupervisor {
 public:
  virtual ~iWaitForNextSampleClockSupervisor() = default;
  virtual void waitForNextSampleClock(nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoUdR100
