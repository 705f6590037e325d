// A line-reservation object that a supervisor hands to the comm routing: it
// reserves and releases lines of one line group by mask.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoUdP100 {

class iDigReserver {
 public:
  virtual ~iDigReserver() = default;
  virtual void reserve(uint32_t mask, nQoMDBG100::tStatus2& status) = 0;
  virtual void release(uint32_t mask, nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoUdP100
