// The in and out parameter blocks that a supervisor's control operation takes.
// Either block may be null. The readers and writers join as the control codes
// that use them are built.
#pragma once

namespace nQoMRL100 {

class iControlParameterBlock {
 public:
  virtual ~iControlParameterBlock() = default;
};

}  // namespace nQoMRL100
