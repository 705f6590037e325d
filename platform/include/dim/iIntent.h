// What an interconnect reservation is meant for. Intents are destroyed through
// tIntentFactory::destroy.
#pragma once

#include "orb/tObject.h"

namespace nQoDIM100 {

class iIntent : public virtual nQoORB100::tObject {
 public:
  static void* ___classID;
};

}  // namespace nQoDIM100
