// The four output lines of the fixed-direction board variant: PFI 6-9 as
// lines 0-3 (every mask shifted left by 6 before it reaches a register).
// They report the last written value, never the pin state. After a line
// state with no output line, a direction-1 request is only remembered and
// enabled by the next write.
#pragma once

#include <cstdint>

#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "primitives/dio/iImmedDigPrimitive.h"
#include "primitives/dio/tDigLock.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

class tTavikFixedOutputImmedDigPrimitive : public iImmedDigPrimitive,
                                           public nQoUdR100::tModuleObject {
 public:
  tTavikFixedOutputImmedDigPrimitive(nQoUdRLP100::nTavik::tTavik& map,
                                     nQoMDBG100::tStatus2& status);

  uint32_t readLines(uint32_t mask, uint32_t* value, nQoMDBG100::tStatus2& status) override {
    return readLinesUnlocked(mask, value, status);
  }
  uint32_t writeLines(uint32_t mask, uint32_t value, nQoMDBG100::tStatus2& status) override;
  void setLineMode(uint32_t mask, int32_t direction, nQoMDBG100::tStatus2& status) override;
  uint32_t readLinesUnlocked(uint32_t mask, uint32_t* value, nQoMDBG100::tStatus2& status) override;
  void applyLineState(const tLineState* state, int32_t useRecord,
                      nQoMDBG100::tStatus2& status) override;

 private:
  void enable(int32_t direction, uint32_t lines, nQoMDBG100::tStatus2& status);

  nQoUdRLP100::nTavik::tTavik& _map;
  uint32_t _enablePending = 0;
  uint32_t _pendingLines = 0;
  uint32_t _outputValue = 0;
  tDigLock _lock;
};

}  // namespace nQoUdP100
