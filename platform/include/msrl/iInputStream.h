// A source of samples that the platform reads: count samples into the
// destination, each byte ANDed with the mask's byte when a mask is given,
// waiting at most the time-out (milliseconds; 0xFFFFFFFF no limit). An
// attributes object, when given, receives the timing of a read that delivered
// samples.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "msrl/iStreamAttributes.h"

namespace nQoMSRL100 {

// The attributes object a read reports to, under its older name.
using iTimeStampSink = iStreamAttributes;

class iInputStream {
 public:
  virtual uint32_t read(uint32_t count, uint32_t timeout, uint8_t* destination, const uint8_t* mask,
                        iStreamAttributes* attributes, nQoMDBG100::tStatus2& status) = 0;
  // Reads without waiting, where a stream offers it.
  virtual uint32_t readAvailable(uint32_t count, uint8_t* destination,
                                 nQoMDBG100::tStatus2& status) = 0;
  virtual ~iInputStream();
};

}  // namespace nQoMSRL100
