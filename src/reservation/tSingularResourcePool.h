// The exclusive pool of one primitive of the board:
//
//   tSingularResourcePool<nQoUdP100::tBaseAI_ADCPrimitive*> pool(adc);
#pragma once

#include "reservation/tExclusiveResourcePool.h"

namespace nQoUdR100 {

template <class P>
class tSingularResourcePool : public tExclusiveResourcePool<P, tSingularResourcePool<P>> {
 public:
  static inline void* ___classID = nullptr;
  using tExclusiveResourcePool<P, tSingularResourcePool<P>>::tExclusiveResourcePool;
};

}  // namespace nQoUdR100
