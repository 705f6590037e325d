// The six input lines of the fixed-direction board variant: PFI 0-5, read
// from 0x1DC without a lock. Writes are refused by answering 0; modes and
// line states change nothing.
#pragma once

#include <cstdint>

#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "primitives/dio/iImmedDigPrimitive.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

class tTavikFixedInputImmedDigPrimitive : public iImmedDigPrimitive,
                                          public nQoUdR100::tModuleObject {
 public:
  explicit tTavikFixedInputImmedDigPrimitive(nQoUdRLP100::nTavik::tTavik& map) : _map(map) {}

  uint32_t readLines(uint32_t mask, uint32_t* value, nQoMDBG100::tStatus2& status) override {
    return readLinesUnlocked(mask, value, status);
  }
  uint32_t writeLines(uint32_t, uint32_t, nQoMDBG100::tStatus2&) override { return 0; }
  void setLineMode(uint32_t, int32_t, nQoMDBG100::tStatus2&) override {}
  uint32_t readLinesUnlocked(uint32_t mask, uint32_t* value,
                             nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return 0;
    *value = _map.Read_01DC.refresh(&status) & 0x3F & mask;
    return 1;
  }
  void applyLineState(const tLineState*, int32_t, nQoMDBG100::tStatus2&) override {}

 private:
  nQoUdRLP100::nTavik::tTavik& _map;
};

}  // namespace nQoUdP100
