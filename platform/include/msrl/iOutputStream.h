// A sink of samples that the platform writes: count samples from the source,
// waiting at most the time-out (milliseconds; 0xFFFFFFFF no limit); answers
// the samples written.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoMSRL100 {

class iOutputStream {
 public:
  virtual uint32_t write(uint32_t count, uint32_t timeout, const uint8_t* source,
                         nQoMDBG100::tStatus2& status) = 0;
  // The room for samples now, where a stream offers it.
  virtual uint32_t getAvailable(nQoMDBG100::tStatus2& status) = 0;
  virtual ~iOutputStream() = default;
};

}  // namespace nQoMSRL100
