// A supervisor of digital lines that can be read from interrupt level, found
// in the supervisor map; change detection asks it for its readable primitive
// and reads the lines into its buffer on every change.
//
//   nQoCDR100::iDigReadablePrim* lines = supervisor->getReadablePrimitive(status);
//   lines->read(0, half, 4, 0xFFFFFFFF, &result, completion);   // 4 bytes into half
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoCDR100 {

class iDigReadablePrim {
 public:
  virtual ~iDigReadablePrim() = default;
  // Copies the present values of the lines, ANDed with mask, into size bytes
  // of buffer without waiting (timeout 0); result receives the primitive's
  // answer word and completion its failure.
  virtual void read(uint32_t timeout, uint8_t* buffer, uint32_t size, uint32_t mask,
                    uint32_t* result, nQoMDBG100::tStatus2& completion) = 0;
};

class iDigReadablePrimSup {
 public:
  static inline void* ___classID = nullptr;
  virtual ~iDigReadablePrimSup() = default;
  virtual iDigReadablePrim* getReadablePrimitive(nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoCDR100
