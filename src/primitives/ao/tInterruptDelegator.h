// A nested interrupt handler of an AO primitive: both passes go to the
// primitive's handler slots with the handler's code.
//
//   tInterruptDelegator<tTavikAO_FIFOPrimitive, 1> refill{this};
//   dispatcher.primaryHandlers[9] = &refill;
#pragma once

#include <cstdint>

#include "reservation/iInterruptHandler.h"
#include "reservation/iSecondaryInterruptHandler.h"

namespace nQoUdP100 {

template <class tPrimitive, uint32_t kCode>
class tInterruptDelegator final : public nQoMRTB100::iInterruptHandler,
                                  public nQoMRTB100::iSecondaryInterruptHandler {
 public:
  explicit tInterruptDelegator(tPrimitive* primitive) : _primitive(primitive) {}
  tAnswer handleInterrupt() override { return _primitive->handleInterruptCode(kCode); }
  uint32_t handleSecondaryInterrupt() override {
    _primitive->handleSecondaryInterruptCode(kCode);
    return 0;
  }

 private:
  tPrimitive* _primitive;
};

}  // namespace nQoUdP100
