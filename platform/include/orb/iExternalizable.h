// An object that streams its fields through the object broker's streams.
#pragma once

#include "orb/iExternalInputStream.h"
#include "orb/iExternalOutputStream.h"
#include "orb/tObject.h"

namespace nQoORB100 {

class iExternalizable : public virtual tObject {
 public:
  virtual void writeExternal(iExternalOutputStream& stream, int& status) const = 0;
  virtual void readExternal(iExternalInputStream& stream, int& status) = 0;
};

}  // namespace nQoORB100
