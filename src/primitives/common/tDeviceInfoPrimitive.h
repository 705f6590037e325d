// The empty base that most primitives construct first: it gives them a
// virtual destructor and nothing else.
#pragma once

namespace nQoUdP100 {

class tDeviceInfoPrimitive {
 public:
  virtual ~tDeviceInfoPrimitive() = 0;

 protected:
  tDeviceInfoPrimitive() = default;
};

inline tDeviceInfoPrimitive::~tDeviceInfoPrimitive() = default;

}  // namespace nQoUdP100
