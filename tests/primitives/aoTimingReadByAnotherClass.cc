// Must not build: another class's step, named as the AO timing engine's
// programming step, reads the engine's deployed settings. Its deploy beside
// it, through the engine's own deploy step, and its read of the record build.
#include <cstdint>

#include "primitives/ao/tBaseAOTimingControllerPrimitive.h"

namespace {

using nQoUdP100::tBaseAOTimingControllerPrimitive;

struct tTimingPlan {
  void deploy(tBaseAOTimingControllerPrimitive& timing) { timing.deployPair(2, 9, 1); }
  void commit(tBaseAOTimingControllerPrimitive& timing) {
    mode = timing._fields.program().mode + timing.programmed().mode;
  }
  uint32_t mode = 0;
};

}  // namespace

void planTiming(tBaseAOTimingControllerPrimitive& timing) {
  tTimingPlan plan;
  plan.deploy(timing);
  plan.commit(timing);
}
