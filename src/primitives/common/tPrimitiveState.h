// Where a hardware primitive stands in its programming cycle, in a 32-bit
// atomic that platform threads write and interrupt handlers read:
//
//   tPrimitiveState state;        // 5: construction not finished
//   state.setUncommitted();       // the owner's constructor succeeded
//   if (state.isArmed()) ...;     // handlers notify observers only then
//
// States 1 to 4 count as in use; 0 and 5 do not.
#pragma once

#include <cstdint>

#include "frame/tModuleObject.h"
#include "sync/tSyncAtomicU32.h"

namespace nQoUdP100 {

class tPrimitiveState : public nQoUdR100::tModuleObject {
 public:
  enum tState : uint32_t {
    kCleared = 0,
    kUncommitted = 1,  // configuration or observers changed: commit again
    kCommitted = 2,
    kArmed = 3,    // handlers dispatch to observers only here
    kRunning = 4,  // the analog-output timing controller and FIFO only
    kInitial = 5,  // the owner's construction did not complete
  };

  tPrimitiveState() { _state.set(kInitial); }
  virtual ~tPrimitiveState() = default;
  tPrimitiveState(const tPrimitiveState&) = delete;
  tPrimitiveState& operator=(const tPrimitiveState&) = delete;

  virtual void setCleared() { _state.set(kCleared); }
  virtual void setUncommitted() { _state.set(kUncommitted); }
  virtual void setCommitted() { _state.set(kCommitted); }
  virtual void setArmed() { _state.set(kArmed); }
  virtual void setRunning() { _state.set(kRunning); }
  virtual void setInitial() { _state.set(kInitial); }
  virtual bool isCleared() const { return _state.get() == kCleared; }
  virtual bool isUncommitted() const { return _state.get() == kUncommitted; }
  virtual bool isCommitted() const { return _state.get() == kCommitted; }
  virtual bool isArmed() const { return _state.get() == kArmed; }
  virtual bool isRunning() const { return _state.get() == kRunning; }
  virtual bool isInitial() const { return _state.get() == kInitial; }
  virtual uint32_t getState() const { return _state.get(); }

  // States 1 to 4.
  bool isInUse() const { return _state.get() - 1u < 4u; }

 private:
  tSyncAtomicU32 _state;
};

}  // namespace nQoUdP100
