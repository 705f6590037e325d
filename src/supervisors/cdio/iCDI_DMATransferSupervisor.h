// The face through which a partner reaches the CDI DMA transfer
// supervisor's reserved primitive. Registered by name for its identity; the
// registry refuses to create or destroy it (-88306).
#pragma once

#include "frame/tClassRegistration.h"
#include "mrl/iPrimitiveSupervisor.h"
#include "orb/tObject.h"
#include "primitives/cdio/tBaseCDI_DMATransferPrimitive.h"

namespace nQoUdR100 {

class iCDI_DMATransferSupervisor : public virtual nQoORB100::tObject {
 public:
  static constexpr const char* kClassName = "nQoUdR100::iCDI_DMATransferSupervisor";
  static inline void* ___classID = nullptr;

  void* ___CPPKRLDynamicCast(void* const* classID) override {
    if (classID == &___classID) return this;
    return nQoORB100::tObject::___CPPKRLDynamicCast(classID);
  }
  const void* ___CPPKRLDynamicCast(void* const* classID) const override {
    return const_cast<iCDI_DMATransferSupervisor*>(this)->___CPPKRLDynamicCast(classID);
  }
  nQoORB100::tClass getClass(int& status) const override {
    return tClassRegistration<iCDI_DMATransferSupervisor>::getClass(*this, status);
  }

  // The reserved primitive, or null.
  virtual nQoUdP100::tBaseCDI_DMATransferPrimitive* getPrimitive() const = 0;
};

// The supervisor interface with this face beside it; casts answer both, and
// the face answers the supervisor's reserved primitive.
template <class Self>
class tCDI_DMATransferSupervisorBase : public nQoMRL100::iPrimitiveSupervisor,
                                       public iCDI_DMATransferSupervisor {
 public:
  void* ___CPPKRLDynamicCast(void* const* classID) override {
    if (classID == &iCDI_DMATransferSupervisor::___classID)
      return static_cast<iCDI_DMATransferSupervisor*>(this);
    return nQoMRL100::iPrimitiveSupervisor::___CPPKRLDynamicCast(classID);
  }
  const void* ___CPPKRLDynamicCast(void* const* classID) const override {
    return const_cast<tCDI_DMATransferSupervisorBase*>(this)->___CPPKRLDynamicCast(classID);
  }
  nQoUdP100::tBaseCDI_DMATransferPrimitive* getPrimitive() const override {
    return static_cast<const Self&>(*this).getReservedPrimitive();
  }
};

}  // namespace nQoUdR100
