// The ways a lock refuses without an error of its own: with a warning, or
// with no code at all. Either must still be reported as a refusal.
//
//   for (const auto& refusal : kSilentRefusals) {
//     SCOPED_TRACE(refusal.name);
//     refusal.arm();  // the next acquire of a lock refuses
//     ...
#pragma once

#include "sim/simSync.h"

namespace nQoTest {

struct tSilentRefusal {
  const char* name;
  void (*arm)();
};

inline constexpr tSilentRefusal kSilentRefusals[] = {
    {"a warning", [] { nQoSim::failNextAcquire(50001); }},
    {"no code", [] { nQoSim::refuseNextAcquire(); }},
};

}  // namespace nQoTest
