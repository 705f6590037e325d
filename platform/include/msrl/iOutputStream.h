// A sink of 16-bit samples that the platform writes: count samples (or scans)
// from the source, a mask of 16-bit flags where a stream takes one. The
// second word is the platform's and unused by the board's streams. A
// supervisor that offers such a stream hands it out through
// iOutputStreamPrimitiveSupervisor.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "mrl/iPrimitiveSupervisor.h"

namespace nQoMSRL100 {

class iOutputStream {
 public:
  // The number of samples (or scans) taken.
  virtual uint32_t write(uint32_t count, uint32_t word, const int16_t* source, const uint16_t* mask,
                         nQoMDBG100::tStatus2& status) = 0;
  // Writes without waiting, where a stream offers it.
  virtual uint32_t writeAvailable(uint32_t count, const int16_t* source,
                                  nQoMDBG100::tStatus2& status) = 0;
  virtual ~iOutputStream();
};

class iOutputStreamPrimitiveSupervisor : public nQoMRL100::iPrimitiveSupervisor {
 public:
  virtual iOutputStream* getOutputStreamPtr(nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMSRL100
