// The FIFO side of the platform's transfer that feeds an output FIFO by
// interrupt: it answers the end of a generation and the transfer's state. Its
// interrupt side is iOutputInterruptTransfer (msrl/iInterruptTransfer.h). A
// transfer supervisor offers both through class-identity casts.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoMSRL100 {

class iOutputFIFOTransfer {
 public:
  static void* ___classID;
  virtual ~iOutputFIFOTransfer() = default;
  // The FIFO has finished a generation with that status.
  virtual void query(const nQoMDBG100::tStatus2& fifoStatus, nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t state(nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMSRL100
