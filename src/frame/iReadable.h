// Byte-stream input.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoMXSL100 {

template <class T>
class iReadable {
 public:
  virtual ~iReadable() {}
  // One element: 1 when read, 0 when none is available.
  virtual uint32_t read(T& element, nQoMDBG100::tStatus2& status) = 0;
  // Up to count elements: the number read.
  virtual uint32_t read(T* buffer, uint32_t count, nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t available(nQoMDBG100::tStatus2& status) = 0;
  virtual void close(const nQoMDBG100::tStatus2& reason, nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMXSL100
