// The software clocking of the signal-conditioning link.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoCDP100 {

class iTESK_SWTimingController {
 public:
  virtual void setSoftwareClock(int32_t on, nQoMDBG100::tStatus2& status) = 0;
  virtual ~iTESK_SWTimingController();
};

}  // namespace nQoCDP100
