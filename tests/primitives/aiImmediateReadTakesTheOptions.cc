// Must not build: the AI immediate transfer's read goes by the read options
// as deployed, not by what its run's arm took. Its look at the run's record
// builds.
#include <cstdint>

#include "primitives/ai/tBaseAIImmediateTransferPrimitive.h"

namespace nQoUdP100 {

uint32_t tBaseAIImmediateTransferPrimitive::read(void*, uint32_t, tStatus2&, uint32_t*, uint32_t,
                                                 tTimerTimeUnit) {
  return _run.option3 != 0 || _readConfiguration.take().option3 ? 1 : 0;
}

}  // namespace nQoUdP100
