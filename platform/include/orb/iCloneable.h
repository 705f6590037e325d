// An object that can copy itself; the copy belongs to the caller.
#pragma once

#include "orb/tObject.h"

namespace nQoORB100 {

class iCloneable : public virtual tObject {
 public:
  static void* ___classID;
  // Null, with the status set, when no copy can be made.
  virtual tObject* clone(int& status) const = 0;
};

}  // namespace nQoORB100
