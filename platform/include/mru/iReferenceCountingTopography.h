// A topography whose unpacked table is shared and counted: every acquire is
// paired with one release, and the table lives while the count is above 0.
#pragma once

#include "mdbg/tStatus2.h"
#include "mru/iTopography.h"
#include "orb/iCloneableExternalizable.h"

namespace nQoMRU230 {

class iReferenceCountingTopography : public nQoMRU210::iTopography,
                                     public nQoORB100::iCloneableExternalizable {
 public:
  virtual void acquireTable(nQoMDBG100::tStatus2& status) = 0;
  virtual void releaseTable(nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMRU230
