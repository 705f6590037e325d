// The abstract routable faces of the board: the Tavik chip's routes, and the
// base of the routable registrars. The registrar base is registered by name
// like a concrete class; the registry refuses to create or destroy it
// (-88306).
#pragma once

#include "frame/tClassRegistration.h"
#include "frame/tModuleObject.h"
#include "mru/iRoutableResource.h"
#include "orb/tObject.h"

namespace nQoUdR100 {

class iTavikRoutable : public nQoMRU210::iRoutableResource {
 public:
  ~iTavikRoutable() override = default;
};

class iUdSeriesRoutableRegistrar : public virtual nQoORB100::tObject, public tModuleObject {
 public:
  static constexpr const char* kClassName = "nQoUdR100::iUdSeriesRoutableRegistrar";
  static inline void* ___classID = nullptr;
  static constexpr bool kAbstract = true;

  // Stores the class's registration in the class handed in and answers it.
  static nQoORB100::tClass& staticGetClass(nQoORB100::tClass& out) {
    out = nQoORB100::tClass(tClassRegistration<iUdSeriesRoutableRegistrar>::implementation());
    return out;
  }
  ~iUdSeriesRoutableRegistrar() override = default;
};

}  // namespace nQoUdR100
