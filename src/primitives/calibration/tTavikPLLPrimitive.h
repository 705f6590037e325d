// The PLL that locks the chip's timebase to a reference clock. The routable
// deploys the three settings; commit programs them and waits for lock
// (reference 1 to 10), or switches the PLL off (reference 0).
//
//   pll.deploy({.multiplier = 0x34, .divider = 5, .referenceSource = 8});
//   pll.commit(status);   // 0x1C4 <- 0x7B, 0x1C6 <- 0x7534, then waits up to 2000 us
#pragma once

#include <cstdint>

#include "frame/tDeployed.h"
#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

struct tPLLFields {
  uint32_t multiplier = 0;       // 8 bits used
  uint32_t divider = 0;          // 4 bits used
  uint32_t referenceSource = 0;  // 0: PLL off
};

// Who writes the fields and who takes them: the PLL's deploys and the
// commit, which programs the PLL from them.
struct tPLLSteps {
  static constexpr const char* kDeploySteps[] = {"deployField"};
  static constexpr const char* kProgrammingSteps[] = {"commit"};
};

class tBasePLLPrimitive : public nQoUdR100::tModuleObject {
 public:
  virtual ~tBasePLLPrimitive() = default;
  virtual void commit(nQoMDBG100::tStatus2& status) = 0;
  virtual bool isAvailable() = 0;

  // The deploys: all three fields, or one (the routable's apply). They reach
  // the PLL at the next commit.
  void deploy(const tPLLFields& settings) { _fields.deploy(settings); }
  void deployField(uint32_t tPLLFields::*field, uint32_t value) {
    _fields.deploying().*field = value;
  }

 protected:
  nQoUdR100::tDeployed<tPLLFields, tPLLSteps> _fields;
};

class tTavikPLLPrimitive final : public tBasePLLPrimitive {
 public:
  static constexpr uint64_t kLockTimeoutMicroseconds = 2000;

  explicit tTavikPLLPrimitive(nQoUdRLP100::nTavik::tTavik* map) : _map(map) {}
  // A PLL that does not lock in time gives kPLLNotLocked and stays enabled.
  void commit(nQoMDBG100::tStatus2& status) override;
  bool isAvailable() override { return _map != nullptr; }

 private:
  void enable(const tPLLFields& record, nQoMDBG100::tStatus2& status);
  void disable(nQoMDBG100::tStatus2& status);
  // Polls the lock bit (bit 0 of 0x1C8), yielding between polls.
  void waitForLock(nQoMDBG100::tStatus2& status);

  nQoUdRLP100::nTavik::tTavik* _map;
};

}  // namespace nQoUdP100
