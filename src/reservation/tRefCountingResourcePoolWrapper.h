// A pool that ties each reservation of an inner pool to a use count (the
// driver's in-use count): it is the inner pool, plus the count. Built from
// the count and the inner pool's constructor arguments:
//
//   tRefCountingResourcePoolWrapper<tSingularResourcePool<tBaseAI_ADCPrimitive*>,
//                                   tBaseAI_ADCPrimitive*> pool(&inUse, adc);
//
// isPartiallyReserved is the inner pool's. The cast answers the wrapper for
// its own identity and for everything the inner pool answers.
#pragma once

#include <cstdint>
#include <type_traits>
#include <utility>

#include "mrl/iResourceIdentifier.h"
#include "mrl/iTypeSafeResource.h"
#include "orb/castToClass.h"
#include "reservation/tPoolUseCount.h"

namespace nQoUdR100 {

template <class Pool, class P>
class tRefCountingResourcePoolWrapper : public Pool {
  static_assert(std::is_base_of_v<nQoMRL120::iTypeSafeResource<P>, Pool>,
                "the wrapper's resource type is its inner pool's");

 public:
  static inline void* ___classID = nullptr;

  template <class... Args>
  explicit tRefCountingResourcePoolWrapper(tSyncAtomicU32* useCount, Args&&... args)
      : Pool(std::forward<Args>(args)...), _useCount(useCount) {}

  void* ___CPPKRLDynamicCast(void* const* classID) override {
    return nQoORB100::castToClass<tRefCountingResourcePoolWrapper, Pool>(this, classID);
  }
  const void* ___CPPKRLDynamicCast(void* const* classID) const override {
    return const_cast<tRefCountingResourcePoolWrapper*>(this)->___CPPKRLDynamicCast(classID);
  }

  bool isPartiallyReserved(nQoMDBG100::tStatus2& status) const override {
    return Pool::isPartiallyReserved(status);
  }
  // The inner answer; a granted reservation raises the count, also when it
  // left a warning.
  uint32_t reserve(const nQoMRL100::iResourceIdentifier* identifier,
                   nQoMDBG100::tStatus2& status) override {
    return _useCount.counted(Pool::reserve(identifier, status));
  }
  // Never skipped for an earlier error in the caller's status.
  void release(const nQoMRL100::iResourceIdentifier* identifier,
               nQoMDBG100::tStatus2& status) override {
    _useCount.release(status,
                      [&](nQoMDBG100::tStatus2& local) { Pool::release(identifier, local); });
  }

 private:
  tPoolUseCount _useCount;
};

}  // namespace nQoUdR100
