// The deferred part of an interrupt source's service, called in the
// dispatcher's secondary pass for a source whose primary handler asked for
// it. A class implementing both handlers derives from iInterruptHandler first.
#pragma once

#include <cstdint>

namespace nQoMRTB100 {

class iSecondaryInterruptHandler {
 public:
  virtual ~iSecondaryInterruptHandler() = default;
  // The dispatcher does not use the value.
  virtual uint32_t handleSecondaryInterrupt() = 0;
};

}  // namespace nQoMRTB100
