// A reservation strategy that can also tell whether any part of its resource
// is taken. Pools reach reserve and release through the platform's strategy
// base, so a strategy can be driven through either interface.
#pragma once

#include "mrl/iReservationStrategy.h"

namespace nQoUdR100 {

class iReservationStrategy2 : public virtual nQoMRL100::iReservationStrategy {
 public:
  ~iReservationStrategy2() override = default;
  virtual bool isPartiallyReserved(nQoMDBG100::tStatus2& status) const = 0;
};

}  // namespace nQoUdR100
