// The primitive through which the TEDS supervisor reaches the data sheets of
// attached sensors. No board of this system implements it; it answers only
// to its own class identity.
#pragma once

#include "frame/tModuleObject.h"

namespace nQoUdP100 {

class iTEDSCommunicator : public nQoUdR100::tModuleObject {
 public:
  static inline void* ___classID = nullptr;
  virtual ~iTEDSCommunicator() = default;
  virtual void* ___CPPKRLDynamicCast(void* const* classID) {
    return classID == &___classID ? this : nullptr;
  }
  virtual const void* ___CPPKRLDynamicCast(void* const* classID) const {
    return classID == &___classID ? this : nullptr;
  }
};

}  // namespace nQoUdP100
