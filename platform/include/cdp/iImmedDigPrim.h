// The immediate-digital runtime's view of a group of static digital lines:
// read and write by line mask (bit n = line n) and set line modes.
//
//   uint32_t value = 0;
//   lines->readLines(0x0F, &value, status);   // 1 when read
//   lines->writeLines(0xFF, 0xA5, status);
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoCDP100 {

class iImmedDigPrim {
 public:
  virtual uint32_t readLines(uint32_t mask, uint32_t* value, nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t writeLines(uint32_t mask, uint32_t value, nQoMDBG100::tStatus2& status) = 0;
  virtual void setLineMode(uint32_t mask, int32_t mode, nQoMDBG100::tStatus2& status) = 0;
  virtual ~iImmedDigPrim();
};

}  // namespace nQoCDP100
