// A pool that any number of holders may reserve: reserve answers 1 without
// reading or changing the status, release does nothing.
#pragma once

#include <cstdint>

#include "mrl/iLeafResourcePool.h"
#include "mrl/iTypeSafeResource.h"
#include "orb/castToClass.h"

namespace nQoUdR100 {

template <class P>
class tInfiniteResourcePool : public nQoMRL100::iLeafResourcePool,
                              public nQoMRL120::iTypeSafeResource<P> {
 public:
  static inline void* ___classID = nullptr;
  explicit tInfiniteResourcePool(P resource) : nQoMRL120::iTypeSafeResource<P>(resource) {}

  void* ___CPPKRLDynamicCast(void* const* classID) override {
    return nQoORB100::castToClass<tInfiniteResourcePool, iLeafResourcePool>(this, classID);
  }
  const void* ___CPPKRLDynamicCast(void* const* classID) const override {
    return const_cast<tInfiniteResourcePool*>(this)->___CPPKRLDynamicCast(classID);
  }

  bool isPartiallyReserved(nQoMDBG100::tStatus2&) const override { return false; }
  uint32_t reserve(const nQoMRL100::iResourceIdentifier*, nQoMDBG100::tStatus2&) override {
    return 1;
  }
  void release(const nQoMRL100::iResourceIdentifier*, nQoMDBG100::tStatus2&) override {}
};

}  // namespace nQoUdR100
