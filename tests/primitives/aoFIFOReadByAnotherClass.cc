// Must not build: another class's step, named as the AO FIFO's programming
// step, reads the FIFO's deployed settings. Its deploy beside it, through the
// FIFO's own deploy step, and its read of the record build.
#include <cstdint>

#include "primitives/ao/tBaseAO_FIFOPrimitive.h"

namespace {

using nQoUdP100::tBaseAO_FIFOPrimitive;

struct tFIFOPlan {
  void deploy(tBaseAO_FIFOPrimitive& fifo) { fifo.deploySettings({.channelCount = 2}); }
  void commit(tBaseAO_FIFOPrimitive& fifo) {
    channels = fifo._fields.take().channelCount + fifo.programmed().channelCount;
  }
  uint32_t channels = 0;
};

}  // namespace

void planFIFO(tBaseAO_FIFOPrimitive& fifo) {
  tFIFOPlan plan;
  plan.deploy(fifo);
  plan.commit(fifo);
}
