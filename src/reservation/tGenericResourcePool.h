// The platform's pool with a member strategy (the power-up programming
// primitive's), under the platform's class identity. It counts through an
// optional use count of its own (absent as the driver builds it; the wrapper
// around it then counts). isPartiallyReserved answers false, also while held.
#pragma once

#include "mrl/tPlatformPoolIdentity.h"
#include "reservation/tMemberStrategyPool.h"
#include "reservation/tPoolUseCount.h"

namespace nQoSDR000 {

template <class S, class P>
class tGenericResourcePool : public nQoUdR100::tMemberStrategyPool<
                                 P*, S, tGenericResourcePool<S, P>,
                                 nQoMRL100::tPlatformPoolIdentity<tGenericResourcePool<S, P>>> {
  using tBase =
      nQoUdR100::tMemberStrategyPool<P*, S, tGenericResourcePool<S, P>,
                                     nQoMRL100::tPlatformPoolIdentity<tGenericResourcePool<S, P>>>;

 public:
  explicit tGenericResourcePool(P* primitive, tSyncAtomicU32* useCount = nullptr)
      : tBase(primitive), _useCount(useCount) {}

  bool isPartiallyReserved(nQoMDBG100::tStatus2&) const override { return false; }
  uint32_t reserve(const nQoMRL100::iResourceIdentifier* identifier,
                   nQoMDBG100::tStatus2& status) override {
    return _useCount.counted(tBase::reserve(identifier, status));
  }
  void release(const nQoMRL100::iResourceIdentifier* identifier,
               nQoMDBG100::tStatus2& status) override {
    _useCount.release(status,
                      [&](nQoMDBG100::tStatus2& local) { tBase::release(identifier, local); });
  }

 private:
  nQoUdR100::tPoolUseCount _useCount;
};

}  // namespace nQoSDR000
