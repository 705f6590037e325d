// The map of a task's primitive supervisors that the platform hands to link.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoMRL100 {

class iPrimitiveSupervisor;

class iPrimitiveSupervisorMap {
 public:
  virtual ~iPrimitiveSupervisorMap() = default;
  // The supervisor under a key from the settings, or null; the caller casts it
  // by class identifier.
  virtual iPrimitiveSupervisor* lookup(uint32_t key, nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMRL100
