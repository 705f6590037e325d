// Physical values and intervals read through a parameter block from fuzzed
// bytes, then compared: the comparison is symmetric, ends, and sets nothing
// but -50150.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "frame/tInterval.h"
#include "sim/simParameterBlock.h"
#include "support/tFreshSimulation.h"

using nQoUdRLP100::tInterval;
using nQoUdRLP100::tPhysicalValue;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  nQoSim::tByteParameterBlock block(std::vector<uint8_t>(data, data + size));
  tInterval a{}, b{};
  int read = 0;
  for (tPhysicalValue* value : {&a.lower, &a.upper, &b.lower, &b.upper})
    value->readExternal(block, read);
  if (read != 0 && read != nQoMRL100::iControlParameterBlock::kOutOfValues) std::abort();

  for (int start : {0, 5, -9}) {
    int forward = start, backward = start;
    const bool ab = tPhysicalValue::equal(a.lower, b.lower, forward);
    const bool ba = tPhysicalValue::equal(b.lower, a.lower, backward);
    if (ab != ba || forward != backward) std::abort();
    if (forward != start && forward != -50150) std::abort();
    if (start < 0 && forward != start) std::abort();

    int interval = start, reversed = start;
    if (tInterval::equal(&a, &b, interval) != tInterval::equal(&b, &a, reversed) ||
        interval != reversed)
      std::abort();
    if (tInterval::equal(&a, nullptr, interval)) std::abort();
  }
  return 0;
}
