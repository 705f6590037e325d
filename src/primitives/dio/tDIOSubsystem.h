// The owner of a board's static digital primitives: port 0 and the PFI lines
// (or, on the fixed-direction variant, the fixed input and output lines), a
// latching wrapper over each, and, on boards with the TESK link, the link's
// timing controllers, comm routing and lines.
//
//   tDIOSubsystem dio(map, description, status);
//   dio.getLatchingPrimitives()[0]->latch(status);
#pragma once

#include <cstdint>

#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "primitives/dio/iDIOSubsystem.h"
#include "primitives/dio/tDIODescription.h"
#include "primitives/dio/tTavikCommRoutingPrimitive.h"
#include "primitives/dio/tTavikHWTimingControllerPrimitive.h"
#include "primitives/dio/tTavikSWTimingControllerPrimitive.h"
#include "primitives/dio/tTavikTESKImmedDigPrimitive.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

class tDIOSubsystem : public iDIOSubsystem, public nQoUdR100::tModuleObject {
 public:
  // Stops at the first error; what was not built stays null.
  tDIOSubsystem(nQoUdRLP100::nTavik::tTavik& map, const tDIODescription& description,
                nQoMDBG100::tStatus2& status);
  ~tDIOSubsystem() override;
  tDIOSubsystem(const tDIOSubsystem&) = delete;
  tDIOSubsystem& operator=(const tDIOSubsystem&) = delete;

  // -50256.
  uint32_t unsupportedOperation(nQoMDBG100::tStatus2& status) override;
  tPrimitives& getImmedDigPrimitives() override { return _immedDigPrimitives; }
  tLatchings& getLatchingPrimitives() override { return _latchingPrimitives; }
  nQoCDP100::iImmedDigPrim* getTESKLines() override { return _teskLines; }
  iCommRoutingPrimitive* getCommRouting() override { return _commRouting; }
  nQoCDP100::iTESK_SWTimingController* getSWTimingController() override {
    return _swTimingController;
  }
  nQoCDP100::iTESK_HWTimingController* getHWTimingController() override {
    return _hwTimingController;
  }

 private:
  void buildLines(nQoUdRLP100::nTavik::tTavik& map, bool fixedDirection,
                  nQoMDBG100::tStatus2& status);

  tTavikCommRoutingPrimitive* _commRouting = nullptr;
  tTavikHWTimingControllerPrimitive* _hwTimingController = nullptr;
  tTavikTESKImmedDigPrimitive* _teskLines = nullptr;
  tTavikSWTimingControllerPrimitive* _swTimingController = nullptr;
  tPrimitives _immedDigPrimitives;
  tLatchings _latchingPrimitives;
};

}  // namespace nQoUdP100
