// What a primitive tells when its run is done: the supervisor side turns it
// into the platform's is-done and status actions.
#pragma once

#include "mdbg/tStatus2.h"

namespace nQoUdP100 {

class iDoneObserver {
 public:
  virtual ~iDoneObserver() = default;
  virtual void notifyDone(const nQoMDBG100::tStatus2& done) = 0;
  // The sends' result merged into the out status.
  virtual void notifyDoneWithStatus(const nQoMDBG100::tStatus2& done,
                                    nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoUdP100
