// The chassis routing interfaces: a chassis and a cartridge in it route as
// any routable resource; this module only destroys them.
#pragma once

#include "mru/iRoutableResource.h"

namespace nQoUdR100 {

class iMorroRoutable : public nQoMRU210::iRoutableResource {
 public:
  ~iMorroRoutable() override = default;
};

class iMorroCartridgeRoutable : public nQoMRU210::iRoutableResource {
 public:
  ~iMorroCartridgeRoutable() override = default;
};

}  // namespace nQoUdR100
