// A debug line object that writes into the caller's buffer instead of the
// output slot, without a prefix.
#pragma once

#include <cstddef>

#include "frame/debugLine.h"

namespace nQoUdR100 {

class qosdbg_VarLineToBuffer {
 public:
  qosdbg_VarLineToBuffer(char* buffer, size_t size) : buffer(buffer), size(size) {}
  virtual ~qosdbg_VarLineToBuffer() {}

  char* buffer;
  size_t size;
};

// Formats into the object's buffer, forces its last byte to NUL and returns
// its size; a buffer of size 0 (or none) is left alone.
size_t debugVarLineToBufferPrint(qosdbg_VarLineToBuffer& object, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

}  // namespace nQoUdR100
