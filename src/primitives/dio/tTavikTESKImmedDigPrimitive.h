// The lines of the TESK link as static lines: line 0 is the link data
// register (0x11), lines 1 and 2 are bits 4 and 3 of tTESK_Control, line 4
// is bit 0 of the link status (0x09). Lines 1 and 2 read back the soft copy.
#pragma once

#include <cstdint>

#include "cdp/iImmedDigPrim.h"
#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

class tTavikTESKImmedDigPrimitive : public nQoCDP100::iImmedDigPrim,
                                    public nQoUdR100::tModuleObject {
 public:
  // Writes 0x11 <- 1, then clears line 1, then line 2.
  tTavikTESKImmedDigPrimitive(nQoUdRLP100::nTavik::tTavik& map, nQoMDBG100::tStatus2& status);

  uint32_t readLines(uint32_t mask, uint32_t* value, nQoMDBG100::tStatus2& status) override;
  uint32_t writeLines(uint32_t mask, uint32_t value, nQoMDBG100::tStatus2& status) override;
  void setLineMode(uint32_t, int32_t, nQoMDBG100::tStatus2&) override {}

 private:
  nQoUdRLP100::nTavik::tTavik& _map;
};

}  // namespace nQoUdP100
