// Turns the codes with which a reservation on a modular chassis fails into the
// two codes a user sees: resource reserved and device not present. Other
// codes, warnings and success stay as they are.
#pragma once

#include "mdbg/iVariantReportable.h"
#include "mdbg/tStatus2.h"

namespace nQoUdR100 {

// Returns the resulting code.
int convertReservationError(nQoMDBG100::tStatus2& status);

// The same with the device attached to the new code as property 1 of a
// description; this variant also maps the cartridge codes and restates a
// reserved resource with the device.
int convertReservationError(const nQoMDBG100::iVariantReportable& device,
                            nQoMDBG100::tStatus2& status);

}  // namespace nQoUdR100
