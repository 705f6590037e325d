// A pool over a strategy that it shares with other pools (the two pools of a
// digital port draw on one masked strategy). Neither the strategy nor the
// use count is owned; the count may be absent.
//
//   tGenericResourcePoolExtStrategy<nQoCDP100::iImmedDigPrim, iReservationStrategy2>
//       pool(primitive, &portStrategy, &inUse);
#pragma once

#include <cstdint>

#include "mrl/iLeafResourcePool.h"
#include "mrl/iTypeSafeResource.h"
#include "orb/castToClass.h"
#include "reservation/tPoolUseCount.h"

namespace nQoUdR100 {

template <class P, class S>
class tGenericResourcePoolExtStrategy : public nQoMRL100::iLeafResourcePool,
                                        public nQoMRL120::iTypeSafeResource<P*> {
 public:
  static inline void* ___classID = nullptr;
  tGenericResourcePoolExtStrategy(P* primitive, S* strategy, tSyncAtomicU32* useCount)
      : nQoMRL120::iTypeSafeResource<P*>(primitive), _strategy(strategy), _useCount(useCount) {}

  void* ___CPPKRLDynamicCast(void* const* classID) override {
    return nQoORB100::castToClass<tGenericResourcePoolExtStrategy, iLeafResourcePool>(this,
                                                                                      classID);
  }
  const void* ___CPPKRLDynamicCast(void* const* classID) const override {
    return const_cast<tGenericResourcePoolExtStrategy*>(this)->___CPPKRLDynamicCast(classID);
  }

  bool isPartiallyReserved(nQoMDBG100::tStatus2& status) const override {
    return _strategy->isPartiallyReserved(status);
  }
  uint32_t reserve(const nQoMRL100::iResourceIdentifier* identifier,
                   nQoMDBG100::tStatus2& status) override {
    return _useCount.counted(_strategy->reserve(identifier, status));
  }
  void release(const nQoMRL100::iResourceIdentifier* identifier,
               nQoMDBG100::tStatus2& status) override {
    _useCount.release(status,
                      [&](nQoMDBG100::tStatus2& local) { _strategy->release(identifier, local); });
  }

 private:
  S* _strategy;
  tPoolUseCount _useCount;
};

}  // namespace nQoUdR100
