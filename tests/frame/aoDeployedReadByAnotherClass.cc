// Must not compile: steps of another class, named like the owners' own
// programming steps, read the deployed settings of the AO timing engine, the
// AO FIFO and an AO DAC. Only the record, which every class may read, builds.
#include <cstdint>

#include "primitives/ao/tBaseAOTimingControllerPrimitive.h"
#include "primitives/ao/tBaseAO_DACPrimitive.h"
#include "primitives/ao/tBaseAO_FIFOPrimitive.h"

namespace {

struct tOtherSupervisor {
  uint32_t commit(nQoUdP100::tBaseAOTimingControllerPrimitive& timing) {
    return timing._fields.program().mode;
  }
  uint32_t commit(nQoUdP100::tBaseAO_FIFOPrimitive& fifo) {
    return fifo._fields.take().channelCount;
  }
  uint32_t commit(nQoUdP100::tBaseAO_DACPrimitive& dac) { return dac._fields.program().updateMode; }
  uint32_t query(const nQoUdP100::tBaseAOTimingControllerPrimitive& timing,
                 const nQoUdP100::tBaseAO_FIFOPrimitive& fifo,
                 const nQoUdP100::tBaseAO_DACPrimitive& dac) {
    return timing.programmed().mode + fifo.programmed().channelCount + dac.programmed().updateMode;
  }
};

}  // namespace

uint32_t commitAll(nQoUdP100::tBaseAOTimingControllerPrimitive& timing,
                   nQoUdP100::tBaseAO_FIFOPrimitive& fifo, nQoUdP100::tBaseAO_DACPrimitive& dac) {
  tOtherSupervisor other;
  return other.commit(timing) + other.commit(fifo) + other.commit(dac) +
         other.query(timing, fifo, dac);
}
