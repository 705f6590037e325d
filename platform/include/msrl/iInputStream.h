// A source of samples that the platform reads: count samples into the
// destination, each byte ANDed with the mask's byte when a mask is given,
// waiting at most the time-out (milliseconds; 0xFFFFFFFF no limit). A
// time-stamp sink, when given, receives the start time of a read that
// delivered samples.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoMSRL100 {

class iTimeStampSink {
 public:
  virtual ~iTimeStampSink();
  virtual void setStartTime(uint64_t time, nQoMDBG100::tStatus2& status) = 0;
  virtual void finish(nQoMDBG100::tStatus2& status) = 0;
};

class iInputStream {
 public:
  virtual uint32_t read(uint32_t count, uint32_t timeout, uint8_t* destination, const uint8_t* mask,
                        iTimeStampSink* sink, nQoMDBG100::tStatus2& status) = 0;
  // Reads without waiting, where a stream offers it.
  virtual uint32_t readAvailable(uint32_t count, uint8_t* destination,
                                 nQoMDBG100::tStatus2& status) = 0;
  virtual ~iInputStream();
};

}  // namespace nQoMSRL100
