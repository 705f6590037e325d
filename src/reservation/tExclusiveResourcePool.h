// An exclusive pool of one primitive: the platform's exclusive strategy by
// value; isPartiallyReserved answers the strategy's state word.
#pragma once

#include "mrl/tExclusiveReservationStrategy.h"
#include "reservation/tMemberStrategyPool.h"

namespace nQoUdR100 {

template <class P, class Derived, class Identity = Derived>
class tExclusiveResourcePool
    : public tMemberStrategyPool<P, nQoMRL100::tExclusiveReservationStrategy, Derived, Identity> {
 public:
  using tMemberStrategyPool<P, nQoMRL100::tExclusiveReservationStrategy, Derived,
                            Identity>::tMemberStrategyPool;

  bool isPartiallyReserved(nQoMDBG100::tStatus2&) const override {
    return this->getStrategy().getState() != 0;
  }
};

}  // namespace nQoUdR100
