// What the board's pool of the programmed-I/O immediate transfer holds: the
// supervisor casts it to the transfer class by class identity.
#pragma once

namespace nQoUdP100 {

class iAIImmediateTransferPrimitive {
 public:
  virtual ~iAIImmediateTransferPrimitive() = default;
  virtual void* ___CPPKRLDynamicCast(void* const* classID) = 0;
  virtual const void* ___CPPKRLDynamicCast(void* const* classID) const = 0;
};

}  // namespace nQoUdP100
