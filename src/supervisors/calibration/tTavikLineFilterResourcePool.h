// The pool of the board's line filters: many reservations share it as long as
// they agree on each line's filter setting. isPartiallyReserved answers true
// while any line is in use.
#pragma once

#include "reservation/tMemberStrategyPool.h"
#include "supervisors/calibration/tTavikLineFilterReservationStrategy.h"

namespace nQoUdR100 {

template <class P>
class tTavikLineFilterResourcePool
    : public tMemberStrategyPool<P, tTavikLineFilterReservationStrategy,
                                 tTavikLineFilterResourcePool<P>> {
 public:
  static inline void* ___classID = nullptr;
  using tMemberStrategyPool<P, tTavikLineFilterReservationStrategy,
                            tTavikLineFilterResourcePool<P>>::tMemberStrategyPool;

  bool isPartiallyReserved(nQoMDBG100::tStatus2&) const override {
    return this->getStrategy().isAnyLineInUse();
  }
};

}  // namespace nQoUdR100
