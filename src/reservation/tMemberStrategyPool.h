// The shape of every pool that holds its strategy by value: the platform's
// pool interface, the typed resource (the primitive) and the strategy.
// reserve and release go to the strategy unchanged; the cast answers the
// pool for Identity's class-identity object and otherwise asks the platform
// base. Derived names the concrete pool class.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "mrl/iLeafResourcePool.h"
#include "mrl/iTypeSafeResource.h"

namespace nQoUdR100 {

template <class P, class Strategy, class Derived, class Identity = Derived>
class tMemberStrategyPool : public nQoMRL100::iLeafResourcePool,
                            public nQoMRL120::iTypeSafeResource<P> {
 public:
  explicit tMemberStrategyPool(P resource) : nQoMRL120::iTypeSafeResource<P>(resource) {}

  void* ___CPPKRLDynamicCast(void* const* classID) override {
    if (classID == &Identity::___classID) return static_cast<Derived*>(this);
    return iLeafResourcePool::___CPPKRLDynamicCast(classID);
  }
  const void* ___CPPKRLDynamicCast(void* const* classID) const override {
    return const_cast<tMemberStrategyPool*>(this)->___CPPKRLDynamicCast(classID);
  }

  uint32_t reserve(const nQoMRL100::iResourceIdentifier* identifier,
                   nQoMDBG100::tStatus2& status) override {
    return _strategy.reserve(identifier, status);
  }
  void release(const nQoMRL100::iResourceIdentifier* identifier,
               nQoMDBG100::tStatus2& status) override {
    _strategy.release(identifier, status);
  }

  const Strategy& getStrategy() const { return _strategy; }

 private:
  Strategy _strategy;
};

}  // namespace nQoUdR100
