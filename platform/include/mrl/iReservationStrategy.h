// Decides whether a pool's resource can be given to a request.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "mrl/iResourceIdentifier.h"

namespace nQoMRL100 {

class iReservationStrategy {
 public:
  virtual ~iReservationStrategy() = default;
  // Nonzero when granted; 0 with the reason left in the status.
  virtual uint32_t reserve(const iResourceIdentifier* identifier, nQoMDBG100::tStatus2& status) = 0;
  virtual void release(const iResourceIdentifier* identifier, nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMRL100
