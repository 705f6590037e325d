// The PLL that locks the chip's timebase to a reference clock. The three
// settings are plain members; commit programs them and waits for lock
// (reference 1 to 10), or switches the PLL off (reference 0).
//
//   pll.multiplier = 0x34; pll.divider = 5; pll.referenceSource = 8;
//   pll.commit(status);   // 0x1C4 <- 0x7B, 0x1C6 <- 0x7534, then waits up to 2000 us
#pragma once

#include <cstdint>

#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

class tBasePLLPrimitive : public nQoUdR100::tModuleObject {
 public:
  virtual ~tBasePLLPrimitive() = default;
  virtual void commit(nQoMDBG100::tStatus2& status) = 0;
  virtual bool isAvailable() = 0;

  uint32_t multiplier = 0;       // 8 bits used
  uint32_t divider = 0;          // 4 bits used
  uint32_t referenceSource = 0;  // 0: PLL off
};

class tTavikPLLPrimitive final : public tBasePLLPrimitive {
 public:
  static constexpr uint64_t kLockTimeoutMicroseconds = 2000;

  explicit tTavikPLLPrimitive(nQoUdRLP100::nTavik::tTavik* map) : _map(map) {}
  // A PLL that does not lock in time gives kPLLNotLocked and stays enabled.
  void commit(nQoMDBG100::tStatus2& status) override;
  bool isAvailable() override { return _map != nullptr; }

 private:
  void enable(nQoMDBG100::tStatus2& status);
  void disable(nQoMDBG100::tStatus2& status);
  // Polls the lock bit (bit 0 of 0x1C8), yielding between polls.
  void waitForLock(nQoMDBG100::tStatus2& status);

  nQoUdRLP100::nTavik::tTavik* _map;
};

}  // namespace nQoUdP100
