// What a primitive tells when its work is done: the status it ended with.
#pragma once

#include "mdbg/tStatus2.h"

namespace nQoUdP100 {

class iDoneObserver {
 public:
  virtual ~iDoneObserver() = default;
  virtual void done(nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoUdP100
