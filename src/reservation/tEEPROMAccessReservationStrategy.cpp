#include "reservation/tEEPROMAccessReservationStrategy.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdR100 {

uint32_t tEEPROMAccessReservationStrategy::reserve(const nQoMRL100::iResourceIdentifier*,
                                                   nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return 0;
  if (_reserved != 0) {
    setCode(status, kAlreadyReserved, {"tEEPROMAccessReservationStrategy", 41});
    return 0;
  }
  _reserved = 1;
  return 1;
}

void tEEPROMAccessReservationStrategy::release(const nQoMRL100::iResourceIdentifier*,
                                               nQoMDBG100::tStatus2&) {
  _reserved = 0;
}

}  // namespace nQoUdR100
