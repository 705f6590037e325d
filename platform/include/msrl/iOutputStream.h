// A sink of samples that the platform writes: count samples (or scans) from
// the source, whose elements are the stream's (16-bit samples for analog
// output, bytes for digital output). The word is the time-out of a stream that
// waits (milliseconds; 0xFFFFFFFF no limit), unused by the others; extra is a
// mask of 16-bit flags where a stream takes one, else passed on unread. A
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
  virtual uint32_t write(uint32_t count, uint32_t word, const void* source, const void* extra,
                         nQoMDBG100::tStatus2& status) = 0;
  // The room for samples now, where a stream offers it.
  virtual uint32_t getAvailable(nQoMDBG100::tStatus2& status) = 0;
  virtual ~iOutputStream();
};

class iOutputStreamPrimitiveSupervisor : public nQoMRL100::iPrimitiveSupervisor {
 public:
  static inline void* ___classID = nullptr;
  void* ___CPPKRLDynamicCast(void* const* classID) override {
    if (classID == &___classID) return this;
    return iPrimitiveSupervisor::___CPPKRLDynamicCast(classID);
  }
  const void* ___CPPKRLDynamicCast(void* const* classID) const override {
    return const_cast<iOutputStreamPrimitiveSupervisor*>(this)->___CPPKRLDynamicCast(classID);
  }
  virtual iOutputStream* getOutputStreamPtr(nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMSRL100
