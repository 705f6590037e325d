// Serves one interrupt source at interrupt level; must not block. Handlers
// are owned by their primitive, never by the dispatcher.
#pragma once

#include <cstdint>

namespace nQoMRTB100 {

class iInterruptHandler {
 public:
  // What handleInterrupt answers to the dispatcher.
  enum tAnswer : uint32_t {
    kNothingPending = 0,
    kHandled = 1,
    kHandledWantsSecondary = 2,
  };

  virtual ~iInterruptHandler() = default;
  virtual tAnswer handleInterrupt() = 0;
};

}  // namespace nQoMRTB100
