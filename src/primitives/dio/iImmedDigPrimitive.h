// The static line primitives' interfaces above the runtime's iImmedDigPrim:
// a latchable primitive also reads without its lock (what a latch takes at
// interrupt time), a full primitive also applies a power-up line state.
#pragma once

#include <cstdint>

#include "cdp/iImmedDigPrim.h"
#include "mdbg/tStatus2.h"

namespace nQoUdP100 {

// The power-up state of a line group: 1 in inputMask keeps a line an input,
// the other lines drive their bit of outputValues. The leading word is not read.
struct tLineState {
  uint32_t leading = 1;
  uint32_t inputMask = 0xFFFFFFFF;
  uint32_t outputValues = 0;
};

class iImmedDigLatchablePrimitive : public nQoCDP100::iImmedDigPrim {
 public:
  virtual uint32_t readLinesUnlocked(uint32_t mask, uint32_t* value,
                                     nQoMDBG100::tStatus2& status) = 0;
};

class iImmedDigPrimitive : public iImmedDigLatchablePrimitive {
 public:
  // useRecord 0: the member's default state; the PFI member reads two records.
  virtual void applyLineState(const tLineState* state, int32_t useRecord,
                              nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoUdP100
