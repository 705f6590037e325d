// Names a resource that a supervisor reserves at the resource broker.
// Identifiers are compared by value; a class tells its own kind by identity.
#pragma once

#include <cstdint>

#include "orb/tObject.h"

namespace nQoMRL100 {

class iResourceIdentifier : public virtual nQoORB100::tObject {
 public:
  static void* ___classID;
  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;

  virtual uint64_t hash() const = 0;
  // True when the other names the same resource.
  virtual bool isEqual(const iResourceIdentifier& other) const = 0;
};

}  // namespace nQoMRL100
