// The routing of the signal-conditioning link to the board's connector:
// mode 1 front panel, 2 dedicated outputs, 3 both.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoCDP100 {

class iTESKCommRoutingPrim {
 public:
  virtual ~iTESKCommRoutingPrim();
  virtual void connect(int32_t mode, nQoMDBG100::tStatus2& status) = 0;
  virtual void disconnect(int32_t mode, nQoMDBG100::tStatus2& status) = 0;
  virtual void reset(nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoCDP100
