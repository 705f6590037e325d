// The power-up programming primitive's strategy: one holder at a time.
#pragma once

#include "mrl/tExclusiveReservationStrategy.h"

namespace nQoSDR000 {

class iProgPowerupPrim;

class tProgPowerupReservationStrategy : public nQoMRL100::tExclusiveReservationStrategy {};

}  // namespace nQoSDR000
