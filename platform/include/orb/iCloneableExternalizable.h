// An object that can both copy itself and stream its fields: the settings
// objects that the platform creates by name, fills from a stream and clones.
#pragma once

#include "orb/iCloneable.h"
#include "orb/iExternalizable.h"

namespace nQoORB100 {

class iCloneableExternalizable : public iCloneable, public iExternalizable {
 public:
  static inline void* ___classID = nullptr;
};

}  // namespace nQoORB100
