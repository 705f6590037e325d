// The board's analog-output ground reference, device-independent part: the
// on/off flag and the primitive state.
#pragma once

#include <cstdint>

#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "primitives/common/tPrimitiveState.h"

namespace nQoUdP100 {

class tBaseAOGroundRefPrimitive : public nQoUdR100::tModuleObject {
 public:
  virtual ~tBaseAOGroundRefPrimitive() = default;
  virtual void enable(nQoMDBG100::tStatus2& status) = 0;
  virtual void disable(nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t isEnabled() { return _enabled; }
  const tPrimitiveState& state() const { return _state; }

 protected:
  uint32_t _enabled = 0;
  tPrimitiveState _state;
};

}  // namespace nQoUdP100
