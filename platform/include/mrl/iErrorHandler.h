// The generic error-handler interface: the base through which the runtime
// holds objects that take errors. It gives no operation of its own.
#pragma once

namespace nQoMRL100 {

class iErrorHandler {
 public:
  virtual ~iErrorHandler() = default;
};

}  // namespace nQoMRL100
