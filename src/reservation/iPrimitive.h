// A controllable primitive: its six control operations in the order of the
// tracker's flag bits.
#pragma once

#include "mdbg/tStatus2.h"

namespace nQoMRTB100 {

class iPrimitive {
 public:
  virtual ~iPrimitive() = default;
  virtual void commit(nQoMDBG100::tStatus2& status) = 0;
  virtual void arm(nQoMDBG100::tStatus2& status) = 0;
  virtual void start(nQoMDBG100::tStatus2& status) = 0;
  virtual void stop(nQoMDBG100::tStatus2& status) = 0;
  virtual void disarm(nQoMDBG100::tStatus2& status) = 0;
  virtual void uncommit(nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMRTB100
