// The routable of the PLL's terminal group: routes to fields 0 (reference
// source), 1 (multiplier) and 2 (divider) are kept pending until the routing
// library's apply, which hands them to the PLL primitive and commits it when
// the reference source changed.
//
//   tPLLRoutable routable(&pll);
//   routable.route(1, 0x34, status);   // nothing reaches the PLL yet
//   routable.apply(status);            // multiplier 0x34 deployed, no commit
#pragma once

#include <cstdint>

#include "frame/tModuleObject.h"
#include "mru/iRoutableResource.h"
#include "primitives/calibration/tTavikPLLPrimitive.h"

namespace nQoUdR100 {

class tPLLRoutable : public nQoMRU210::iRoutableResource, public tModuleObject {
 public:
  explicit tPLLRoutable(nQoUdP100::tBasePLLPrimitive* pll) : _pll(pll) {}

  // Field numbers above 2 are ignored.
  void route(uint32_t field, uint32_t value, nQoMDBG100::tStatus2& status) override;
  void routeList(const nQoMRU210::tRouteList& list, nQoMDBG100::tStatus2& status) override;
  // Fields 1, 2, then 0, each only when pending; then the PLL's commit when
  // field 0 was pending.
  void apply(nQoMDBG100::tStatus2& status) override;

 private:
  enum tField : uint32_t { kReferenceSource = 0, kMultiplier = 1, kDivider = 2, kFieldCount = 3 };
  struct tPending {
    uint32_t value = 0;
    uint32_t pending = 0;
  };

  // Hands a pending value over and clears its flag; false when none was pending.
  bool take(tField field, uint32_t& target);

  nQoUdP100::tBasePLLPrimitive* _pll;
  tPending _pending[kFieldCount];
};

}  // namespace nQoUdR100
