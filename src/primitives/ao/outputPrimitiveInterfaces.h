// The abstract faces of the output side: the output timing controller and
// output FIFO with their handler interfaces, the output DMA transfer, and the
// analog trigger base.
// They hold identity casts and destructors; the operations are the
// implementing classes'.
#pragma once

#include <cstdint>

#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "mrl/iErrorHandler.h"
#include "primitives/common/tPrimitiveState.h"

namespace nQoUdP100 {

class iOutputTimingControllerPrimitive : public nQoUdR100::tModuleObject {
 public:
  static inline void* ___classID = nullptr;
  virtual ~iOutputTimingControllerPrimitive() = default;
  // This object for the class's own identifier, else null.
  virtual void* ___CPPKRLDynamicCast(void* const* classID) {
    return classID == &___classID ? this : nullptr;
  }
  virtual const void* ___CPPKRLDynamicCast(void* const* classID) const {
    return classID == &___classID ? this : nullptr;
  }
};

class iOutputFIFOPrimitive : public nQoUdR100::tModuleObject {
 public:
  virtual ~iOutputFIFOPrimitive() = default;

  class iOutputFIFOHandler {
   public:
    virtual ~iOutputFIFOHandler() = default;
    virtual void fifoNeedsData(nQoMDBG100::tStatus2& status) = 0;
    virtual void fifoEmpty(nQoMDBG100::tStatus2& status) = 0;
  };
  class iOutputErrorHandler {
   public:
    virtual ~iOutputErrorHandler() = default;
    virtual void outputError(nQoMDBG100::tStatus2& status) = 0;
    virtual void outputErrorSecondary(nQoMDBG100::tStatus2& status) = 0;
  };
};

class iOutputBC_TCHandler {
 public:
  virtual ~iOutputBC_TCHandler() = default;
  virtual void bufferCountReached(nQoMDBG100::tStatus2& status) = 0;
  virtual void bufferCountReachedSecondary(nQoMDBG100::tStatus2& status) = 0;
};

class iOutputUpdateHandler {
 public:
  virtual ~iOutputUpdateHandler() = default;
  virtual void updated(nQoMDBG100::tStatus2& status) = 0;
  virtual void updatedSecondary(nQoMDBG100::tStatus2& status) = 0;
};

// The base of the board's analog trigger: a state (5 until the derived
// constructor finishes) and three words for the derived class.
class tBaseAnalogTriggerPrimitive : public nQoUdR100::tModuleObject {
 public:
  static inline void* ___classID = nullptr;
  virtual ~tBaseAnalogTriggerPrimitive() = default;
  virtual void* ___CPPKRLDynamicCast(void* const* classID) {
    return classID == &___classID ? this : nullptr;
  }
  virtual const void* ___CPPKRLDynamicCast(void* const* classID) const {
    return classID == &___classID ? this : nullptr;
  }
  virtual void commit(nQoMDBG100::tStatus2& status) = 0;
  virtual void uncommit(nQoMDBG100::tStatus2& status) = 0;
  virtual void arm(nQoMDBG100::tStatus2&) {}
  virtual void disarm(nQoMDBG100::tStatus2&) {}
  virtual void release(nQoMDBG100::tStatus2& status) = 0;
  virtual bool isAvailable() { return true; }

  // One of the six trigger parameters (index 0 to 5, in settings order) that
  // the supervisor hands over; the trigger has to be committed again.
  void setParameter(uint32_t index, uint32_t value) {
    storeParameter(index, value);
    _state.setUncommitted();
  }

  const tPrimitiveState& state() const { return _state; }

 protected:
  // A deploy of one parameter: the board keeps those it uses among the
  // settings that its next commit takes, and no other step reads them.
  virtual void storeParameter(uint32_t index, uint32_t value) = 0;

  tPrimitiveState _state;
  uint32_t _words[3] = {};
};

}  // namespace nQoUdP100

namespace nQoUdR100 {

// The interface of an output DMA transfer. Nothing on this board implements
// it; it gives no operation of its own.
class iOutputDMATransferPrimitive : public tModuleObject, public nQoMRL100::iErrorHandler {
 public:
  ~iOutputDMATransferPrimitive() override = 0;
};

inline iOutputDMATransferPrimitive::~iOutputDMATransferPrimitive() = default;

}  // namespace nQoUdR100
