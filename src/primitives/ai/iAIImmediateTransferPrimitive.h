// What the board's pool of the programmed-I/O immediate transfer holds: the
// transfer's lifecycle and read, reached by its supervisor through this
// interface or, after a cast by class identity, through the transfer class.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "mrl/iEvent.h"
#include "time/tTimerTimeUnit.h"

namespace nQoUdP100 {

class iAIImmediateTransferPrimitive {
 public:
  static inline void* ___classID = nullptr;
  using tStatus2 = nQoMDBG100::tStatus2;

  virtual ~iAIImmediateTransferPrimitive() = default;
  virtual void* ___CPPKRLDynamicCast(void* const* classID) { return castInterface(classID); }
  virtual const void* ___CPPKRLDynamicCast(void* const* classID) const {
    return castInterface(classID);
  }
  virtual void reserveTransfer(tStatus2& status) = 0;
  virtual void commitTransfer(tStatus2& status) = 0;
  virtual void armTransfer(tStatus2& status) = 0;
  virtual void startTransfer(tStatus2& status) = 0;
  virtual void stopTransfer(tStatus2& status) = 0;
  virtual void startUnsupported(tStatus2& status) = 0;
  virtual void notifyDone(tStatus2& status) = 0;
  virtual void disarmTransfer(tStatus2& status) = 0;
  virtual void uncommitTransfer(tStatus2& status) = 0;
  virtual void unreserveTransfer(tStatus2& status) = 0;
  virtual void requestCancel() = 0;
  virtual uint32_t getTransferState() const = 0;
  virtual void setDoneTarget(nQoMRL110::iEvent* target, tStatus2& status) = 0;
  virtual uint32_t read(void* destination, uint32_t setCount, tStatus2& status, uint32_t* bytesOut,
                        uint32_t timeout, tTimerTimeUnit unit) = 0;

  // This interface for its own identifier, else null; the implementing
  // classes' casts end here.
  void* castInterface(void* const* classID) { return classID == &___classID ? this : nullptr; }
  const void* castInterface(void* const* classID) const {
    return classID == &___classID ? this : nullptr;
  }
};

}  // namespace nQoUdP100
