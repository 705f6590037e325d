// The board's analog-output ground reference: bit 0 of the 8-bit register
// at 0xA3, switched on by enable and off by disable (off once built).
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "primitives/ao/tAOResources.h"
#include "primitives/ao/tBaseAOGroundRefPrimitive.h"

namespace nQoUdP100 {

class tTavikAOGroundRefPrimitive final : public tBaseAOGroundRefPrimitive {
 public:
  tTavikAOGroundRefPrimitive(const tAOResources& resources, nQoMDBG100::tStatus2& status);
  // Written when the bit changed; the bus flushed every time.
  void enable(nQoMDBG100::tStatus2& status) override { change(1, status); }
  void disable(nQoMDBG100::tStatus2& status) override { change(0, status); }

 private:
  void change(uint32_t on, nQoMDBG100::tStatus2& status);

  nQoUdRLP100::nTavik::tTavik* _map;
};

}  // namespace nQoUdP100
