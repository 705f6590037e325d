// A static line primitive whose writes go through the CDO FIFO while
// correlated output owns the lines; reads and modes go to its target.
#pragma once

#include "cdp/iImmedDigPrim.h"

namespace nQoUdP100 {

class iImmedDigWriteRedirector : public nQoCDP100::iImmedDigPrim {
 public:
  virtual void setRedirectTarget(nQoCDP100::iImmedDigPrim* target) = 0;
};

}  // namespace nQoUdP100
