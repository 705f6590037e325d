// The comm routing with the reservers of the lines it borrows.
#pragma once

#include <cstdint>

#include "cdp/iTESKCommRoutingPrim.h"
#include "mdbg/tStatus2.h"
#include "primitives/dio/iDigReserver.h"

namespace nQoUdP100 {

class iCommRoutingPrimitive : public nQoCDP100::iTESKCommRoutingPrim {
 public:
  // Each stores the reserver when the status holds no error.
  virtual int32_t setPortLineReserver(iDigReserver* reserver, nQoMDBG100::tStatus2& status) = 0;
  virtual void setPFILineReserver(iDigReserver* reserver, nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoUdP100
