// Must not build: another class's step, named as an AO DAC's programming
// step, reads the DAC's deployed settings. Its deploy beside it, through the
// DAC's own deploy step, and its read of the record build.
#include <cstdint>

#include "primitives/ao/tBaseAO_DACPrimitive.h"

namespace {

using nQoUdP100::tBaseAO_DACPrimitive;

struct tDACPlan {
  void deploy(tBaseAO_DACPrimitive& dac) { dac.deploy({.updateMode = 2}); }
  void commit(tBaseAO_DACPrimitive& dac) {
    mode = dac._fields.program().updateMode + dac.programmed().updateMode;
  }
  uint32_t mode = 0;
};

}  // namespace

void planDAC(tBaseAO_DACPrimitive& dac) {
  tDACPlan plan;
  plan.deploy(dac);
  plan.commit(dac);
}
