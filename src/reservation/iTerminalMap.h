// Names the terminals of a terminal reserver's mask: terminal i by index.
#pragma once

#include <cstdint>

#include "frame/tBasicString.h"
#include "mdbg/tStatus2.h"

namespace nQoMRTB100 {

class iTerminalMap {
 public:
  virtual ~iTerminalMap() = default;
  virtual void getTerminalName(uint32_t index, nQoUdR100::tString& name,
                               nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMRTB100
