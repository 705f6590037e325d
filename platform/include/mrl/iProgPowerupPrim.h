// The power-up programming primitive: the power-up states of a board's
// static digital ports, one entry per port.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoSDR000 {

struct tPowerupEntry {
  uint32_t valid;   // 1 when the entry holds data
  uint32_t enable;  // bit i: line i drives its power-up value
  uint32_t value;   // bit i: the level of line i
};

class iProgPowerupPrim {
 public:
  virtual ~iProgPowerupPrim() = default;
  // The entry array with its entry count; null when the status held an error.
  virtual tPowerupEntry* readPowerupStates(uint32_t& count, nQoMDBG100::tStatus2& status) = 0;
  virtual void writePowerupStates(const tPowerupEntry* entries, uint32_t count,
                                  nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoSDR000
