// One linking step of a supervisor: connects to other supervisors (link) and
// to the reserved hardware (linkResource), and undoes both.
#pragma once

#include "mdbg/tStatus2.h"
#include "mrl/iPrimitiveSupervisorMap.h"

namespace nQoMRTB100 {

class iLinker {
 public:
  virtual ~iLinker() = default;
  virtual void link(nQoMRL100::iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& status) = 0;
  virtual void linkResource(nQoMDBG100::tStatus2& status) = 0;
  virtual void unlinkResource(nQoMDBG100::tStatus2& status) = 0;
  virtual void unlink(nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMRTB100
