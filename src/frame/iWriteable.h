// Byte-stream output.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoMXSL100 {

template <class T>
class iWriteable {
 public:
  virtual ~iWriteable() {}
  // One element: 1 when written, 0 when there is no room.
  virtual uint32_t write(const T& element, nQoMDBG100::tStatus2& status) = 0;
  // Up to count elements: the number written.
  virtual uint32_t write(const T* buffer, uint32_t count, nQoMDBG100::tStatus2& status) = 0;
  virtual void flush(nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t space(nQoMDBG100::tStatus2& status) = 0;
  virtual void close(const nQoMDBG100::tStatus2& reason, nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMXSL100
