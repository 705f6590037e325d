// The correlated digital I/O part of the board description. Every CDIO
// primitive keeps a pointer to the board's one record; nobody copies it.
//
//   tCDIODescription cdio{.cdiFIFODepth = 1024, .sampleWidth = 4};
//   checkDescription(&cdio, status, {"tTavikCDI_FIFOPrimitive", 30});
#pragma once

#include <cstdint>

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"

namespace nQoUdP100 {

struct tCDIODescription {
  // CDI FIFO depth in samples: the newest-sample drain's limit, and twice the
  // threshold under which an input transfer asks for per-sample interrupts.
  uint32_t cdiFIFODepth = 0;
  // Kept by the CDO immediate transfer, read by none.
  uint32_t secondCount = 0;
  // Bytes per FIFO word taken or given: 1 to 4.
  uint32_t sampleWidth = 4;
};

// What a primitive's construction checks: kNullPointer at the site without a
// record, kRefused for a width of 0 or above 4.
inline void checkDescription(const tCDIODescription* description, nQoMDBG100::tStatus2& status,
                             const nQoUdR100::tStatusSite& site) {
  if (status.isFatal()) return;
  if (description == nullptr)
    nQoUdR100::setCode(status, nQoUdR100::kNullPointer, site);
  else if (description->sampleWidth - 1u >= 4u)
    nQoUdR100::setCode(status, nQoUdR100::kRefused, site);
}

}  // namespace nQoUdP100
