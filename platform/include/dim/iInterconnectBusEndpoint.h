// The bus end of an interconnect that a reservation is made for.
#pragma once

#include "orb/tObject.h"

namespace nQoDIM100 {

class iInterconnectBusEndpoint : public virtual nQoORB100::tObject {
 public:
  static void* ___classID;
};

}  // namespace nQoDIM100
