// One pass of an interrupt's service, registered with the bus: the primary
// pass runs at interrupt level, the secondary one later when the primary
// answered 1.
#pragma once

#include <cstdint>

class iBusInterruptResolver {
 public:
  virtual ~iBusInterruptResolver() = default;
  // Primary pass: 0 nothing of this device, 1 handled and a secondary pass
  // wanted, 2 handled.
  virtual uint32_t resolve() = 0;
};
