// Must not build: another class's step, named as the PLL's programming step,
// reads the PLL's deployed settings. Its deploy beside it, through the PLL's
// own deploy step, builds.
#include <cstdint>

#include "primitives/calibration/tTavikPLLPrimitive.h"

namespace {

using nQoUdP100::tBasePLLPrimitive;
using nQoUdP100::tPLLFields;

struct tClockPlan {
  void deploy(tBasePLLPrimitive& pll) { pll.deployField(&tPLLFields::divider, divider); }
  void commit(tBasePLLPrimitive& pll) { divider = pll._fields.program().divider; }
  uint32_t divider = 5;
};

}  // namespace

void planClock(tBasePLLPrimitive& pll) {
  tClockPlan plan;
  plan.deploy(pll);
  plan.commit(pll);
}
