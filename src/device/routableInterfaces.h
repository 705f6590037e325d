// The abstract routable faces of the board: the Tavik chip's routes, and the
// base of the routable registrars. The registrar base is registered by name
// like a concrete class; the registry refuses to create or destroy it
// (-88306).
#pragma once

#include <cstdint>

#include "frame/tClassRegistration.h"
#include "frame/tModuleObject.h"
#include "mru/iRoutableResource.h"
#include "orb/castToClass.h"
#include "orb/tObject.h"

class iDeviceNode;

namespace nQoUdR100 {

class iTavikRoutable : public nQoMRU210::iRoutableResource {
 public:
  ~iTavikRoutable() override = default;
  // Ends the routes made while the node was being registered; answers the
  // status code.
  virtual int commit(nQoMDBG100::tStatus2& status) = 0;
};

// Registers a board variant's routing-device node for an owner and removes it
// again; claim and unclaim pass the owner to the routing library. The owner
// word is the same in all four calls.
class iUdSeriesRoutableRegistrar : public virtual nQoORB100::tObject, public tModuleObject {
 public:
  static constexpr const char* kClassName = "nQoUdR100::iUdSeriesRoutableRegistrar";
  static inline void* ___classID = nullptr;

  // Stores the class's registration in the class handed in and answers it.
  static nQoORB100::tClass& staticGetClass(nQoORB100::tClass& out) {
    out = nQoORB100::tClass(tClassRegistration<iUdSeriesRoutableRegistrar>::implementation());
    return out;
  }
  ~iUdSeriesRoutableRegistrar() override = default;

  void* ___CPPKRLDynamicCast(void* const* classID) override {
    return nQoORB100::castToClass<iUdSeriesRoutableRegistrar, nQoORB100::tObject>(this, classID);
  }
  const void* ___CPPKRLDynamicCast(void* const* classID) const override {
    return const_cast<iUdSeriesRoutableRegistrar*>(this)->___CPPKRLDynamicCast(classID);
  }

  virtual void removeRoutingDevice(const void* owner, nQoMDBG100::tStatus2& status) = 0;
  virtual void claim(const void* owner, nQoMDBG100::tStatus2& status) = 0;
  virtual void unclaim(const void* owner, nQoMDBG100::tStatus2& status) = 0;
  // main: the Tavik routable; spare: a word no variant uses; the four further
  // routables in order AI, AO, PLL, counters (any may be null); subsystemNames:
  // a list ended by null.
  virtual void addRoutingDevice(
      const void* owner, iDeviceNode* deviceNode, nQoMRU210::iRoutableResource* main, void* spare,
      nQoMRU210::iRoutableResource* routableA, nQoMRU210::iRoutableResource* routableB,
      nQoMRU210::iRoutableResource* routableC, nQoMRU210::iRoutableResource* routableD,
      const char* const* subsystemNames, nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoUdR100
