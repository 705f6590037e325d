// The platform's transfer objects that feed an output FIFO by interrupt: the
// FIFO side answers the end of a generation and the transfer's state; the
// interrupt side moves bytes of the task's buffer into a byte sink. A
// transfer supervisor offers both through class-identity casts.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoMXSL100 {
template <class T>
class iWriteable;
}  // namespace nQoMXSL100

namespace nQoMSRL100 {

class iOutputFIFOTransfer {
 public:
  static void* ___classID;
  virtual ~iOutputFIFOTransfer() = default;
  // The FIFO has finished a generation with that status.
  virtual void query(const nQoMDBG100::tStatus2& fifoStatus, nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t state(nQoMDBG100::tStatus2& status) = 0;
};

class iOutputInterruptTransfer {
 public:
  static void* ___classID;
  virtual ~iOutputInterruptTransfer() = default;
  // Up to byteCount bytes into the sink: the number of bytes the sink took.
  virtual uint32_t transfer(uint32_t byteCount, nQoMXSL100::iWriteable<unsigned char>& sink,
                            nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMSRL100
