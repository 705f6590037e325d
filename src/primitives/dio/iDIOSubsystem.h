// The digital subsystem's accessors. Slot 2 is an operation this board does
// not support; the accessors only answer the member and take no status.
#pragma once

#include <cstdint>

#include "cdp/iImmedDigPrim.h"
#include "cdp/iTESK_HWTimingController.h"
#include "cdp/iTESK_SWTimingController.h"
#include "frame/tGrowableArray.h"
#include "mdbg/tStatus2.h"
#include "primitives/dio/iCommRoutingPrimitive.h"
#include "primitives/dio/tImmedDigLatchingPrimitive.h"

namespace nQoUdP100 {

class iDIOSubsystem {
 public:
  using tPrimitives = nQoUdR100::tGrowableArray<nQoCDP100::iImmedDigPrim*>;
  using tLatchings = nQoUdR100::tGrowableArray<tImmedDigLatchingPrimitive*>;

  virtual ~iDIOSubsystem() = default;
  virtual uint32_t unsupportedOperation(nQoMDBG100::tStatus2& status) = 0;
  virtual tPrimitives& getImmedDigPrimitives() = 0;
  virtual tLatchings& getLatchingPrimitives() = 0;
  virtual nQoCDP100::iImmedDigPrim* getTESKLines() = 0;
  virtual iCommRoutingPrimitive* getCommRouting() = 0;
  virtual nQoCDP100::iTESK_SWTimingController* getSWTimingController() = 0;
  virtual nQoCDP100::iTESK_HWTimingController* getHWTimingController() = 0;
};

}  // namespace nQoUdP100
