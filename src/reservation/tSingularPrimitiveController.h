// The controller of one primitive: forward codes run the primitive's
// operation on the caller's status, backward codes on a fresh status merged
// into the caller's. It owns neither the primitive nor the tracker.
#pragma once

#include "reservation/iPrimitive.h"
#include "reservation/iPrimitiveController.h"
#include "reservation/iStateTracker.h"

namespace nQoMRTB100 {

class tSingularPrimitiveController : public iPrimitiveController {
 public:
  ~tSingularPrimitiveController() override = default;

  // Sets both together; nothing when the status holds an error.
  void attach(iPrimitive* primitive, iStateTracker* tracker, nQoMDBG100::tStatus2& status);

  // With no primitive attached, one of the six codes gives kNullPointer and
  // calls nothing.
  void control(uint32_t code, nQoMDBG100::tStatus2& status) override;
  // The tracker's answer; with no tracker attached, 0 and kNullPointer.
  uint32_t isControlEnabled(uint32_t code, nQoMDBG100::tStatus2& status) override;

 private:
  iPrimitive* _primitive = nullptr;
  iStateTracker* _tracker = nullptr;
};

}  // namespace nQoMRTB100
