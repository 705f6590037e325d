// Latches the lines of a static line primitive: latch reads all lines
// without the primitive's lock (as the change interrupt does), readLines
// answers from the latched value without touching the hardware; writes and
// modes go to the wrapped primitive unchanged.
//
//   tImmedDigLatchingPrimitive latching(&port);
//   latching.latch(status);
//   latching.readLines(0x0F, &value, status);   // low four latched bits
#pragma once

#include <cstdint>

#include "cdp/iImmedDigPrim.h"
#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "primitives/dio/iImmedDigPrimitive.h"

namespace nQoUdP100 {

class tImmedDigLatchingPrimitive : public nQoCDP100::iImmedDigPrim,
                                   public nQoUdR100::tModuleObject {
 public:
  explicit tImmedDigLatchingPrimitive(iImmedDigLatchablePrimitive* primitive)
      : _primitive(primitive) {}

  uint32_t latch(nQoMDBG100::tStatus2& status) {
    return _primitive->readLinesUnlocked(0xFFFFFFFF, &_latched, status);
  }
  uint32_t readLines(uint32_t mask, uint32_t* value, nQoMDBG100::tStatus2&) override {
    *value = _latched & mask;
    return 1;
  }
  uint32_t writeLines(uint32_t mask, uint32_t value, nQoMDBG100::tStatus2& status) override {
    return _primitive->writeLines(mask, value, status);
  }
  void setLineMode(uint32_t mask, int32_t mode, nQoMDBG100::tStatus2& status) override {
    _primitive->setLineMode(mask, mode, status);
  }

 private:
  iImmedDigLatchablePrimitive* _primitive;
  uint32_t _latched = 0;
};

}  // namespace nQoUdP100
