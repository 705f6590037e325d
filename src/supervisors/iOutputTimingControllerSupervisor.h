// The abstract face of the output timing-controller supervisors. It is
// registered by name like every class, and the registry refuses to create or
// destroy it (-88306).
#pragma once

#include "frame/tClassRegistration.h"
#include "frame/tModuleObject.h"
#include "mrl/iPrimitiveSupervisor.h"
#include "orb/castToClass.h"

namespace nQoUdR100 {

class iOutputTimingControllerSupervisor : public nQoMRL100::iPrimitiveSupervisor,
                                          public tModuleObject {
 public:
  static constexpr const char* kClassName = "nQoUdR100::iOutputTimingControllerSupervisor";
  static inline void* ___classID = nullptr;

  void* ___CPPKRLDynamicCast(void* const* classID) override {
    return nQoORB100::castToClass<iOutputTimingControllerSupervisor,
                                  nQoMRL100::iPrimitiveSupervisor>(this, classID);
  }
  const void* ___CPPKRLDynamicCast(void* const* classID) const override {
    return const_cast<iOutputTimingControllerSupervisor*>(this)->___CPPKRLDynamicCast(classID);
  }
  nQoORB100::tClass getClass(int& status) const override {
    return tClassRegistration<iOutputTimingControllerSupervisor>::getClass(*this, status);
  }
};

}  // namespace nQoUdR100
