// The settings object that the platform hands to a supervisor's initialize
// and deploy; the supervisor casts it to its own settings class.
#pragma once

#include "orb/iCloneableExternalizable.h"

namespace nQoMRL100 {

class iPrimitiveSettings : public nQoORB100::iCloneableExternalizable {
 public:
  static void* ___classID;
  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;
};

}  // namespace nQoMRL100
