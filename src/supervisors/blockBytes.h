// The byte area of a control parameter block, as the byte requests of the
// memory supervisors (EEPROM, TEDS) read and fill it.
#pragma once

#include <cstdint>

#include "mrl/iControlParameterBlock.h"

namespace nQoUdR100 {

inline uint8_t* dataOf(nQoMRL100::iControlParameterBlock& block) {
  return static_cast<uint8_t*>(block.getData());
}

// Whether length bytes fit behind the leading argument bytes of an in block.
inline bool fitsBehind(const nQoMRL100::iControlParameterBlock& in, uint32_t leading,
                       uint32_t length) {
  return in.getSize() >= leading && in.getSize() - leading >= length;
}

}  // namespace nQoUdR100
