// One reserving step of a supervisor: takes primitives out of their pools and
// gives them back.
#pragma once

#include "mdbg/tStatus2.h"

namespace nQoMRTB100 {

class iReserver {
 public:
  virtual ~iReserver() = default;
  virtual void reserveResource(nQoMDBG100::tStatus2& status) = 0;
  virtual void releaseResource(nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMRTB100
