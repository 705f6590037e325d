// The runtime facade that a supervisor receives in initialize: it gives the
// event objects of done and error events, says whether the caller may block
// now (a supervisor that waits brackets its wait with mayBlock and
// endBlocking), and is passed along with every reservation at the resource
// broker.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "mrl/tEventIdentifier.h"
#include "orb/tObject.h"

namespace nQoMRL100 {

class iRuntimeFacade {
 public:
  virtual ~iRuntimeFacade() = default;
  // The event object named by the identifier, or null; the caller casts it
  // to nQoMRL110::iEvent.
  virtual nQoORB100::tObject* getEventObject(const nQoMRL110::tEventIdentifier& identifier,
                                             nQoMDBG100::tStatus2& status) = 0;
  // Non-zero when the caller may block now.
  virtual uint32_t mayBlock(nQoMDBG100::tStatus2& status) = 0;
  // The caller's blocking wait has ended.
  virtual void endBlocking(nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMRL100
