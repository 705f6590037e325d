// Names the event object that a linker asks the runtime facade for; a fresh
// one names the supervisor's own event object.
#pragma once

#include "mdbg/tStatus2.h"

namespace nQoMRL110 {

class tEventIdentifier {
 public:
  explicit tEventIdentifier(nQoMDBG100::tStatus2&) {}
};

}  // namespace nQoMRL110
