// The platform's pool interface: the object through which the resource broker
// hands out one resource. Its cast answers the pool for the interface's own
// identity and null for any other; pool classes compare their own identities
// first and fall back to it.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "mrl/iResourceIdentifier.h"

namespace nQoMRL100 {

class iLeafResourcePool {
 public:
  static void* ___classID;
  virtual void* ___CPPKRLDynamicCast(void* const* classID);
  virtual const void* ___CPPKRLDynamicCast(void* const* classID) const;
  virtual ~iLeafResourcePool() = default;

  // True when any part of the pool is taken.
  virtual bool isPartiallyReserved(nQoMDBG100::tStatus2& status) const = 0;
  // Nonzero when the resource is now reserved for the caller.
  virtual uint32_t reserve(const iResourceIdentifier* identifier, nQoMDBG100::tStatus2& status) = 0;
  virtual void release(const iResourceIdentifier* identifier, nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMRL100
