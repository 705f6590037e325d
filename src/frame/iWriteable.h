// Byte-stream output; this module only destroys writeables.
#pragma once

namespace nQoMXSL100 {

template <class T>
class iWriteable {
 public:
  virtual ~iWriteable() {}
};

}  // namespace nQoMXSL100
