// The pool of the board's EEPROM: one holder at a time. isPartiallyReserved
// answers false, also while the EEPROM is held.
#pragma once

#include "reservation/tEEPROMAccessReservationStrategy.h"
#include "reservation/tMemberStrategyPool.h"

namespace nQoUdR100 {

template <class P>
class tEEPROMResourcePool
    : public tMemberStrategyPool<P, tEEPROMAccessReservationStrategy, tEEPROMResourcePool<P>> {
 public:
  static inline void* ___classID = nullptr;
  using tMemberStrategyPool<P, tEEPROMAccessReservationStrategy,
                            tEEPROMResourcePool<P>>::tMemberStrategyPool;

  bool isPartiallyReserved(nQoMDBG100::tStatus2&) const override { return false; }
};

}  // namespace nQoUdR100
