// Register identifiers (tId): bits 24..0 hold the register index; a field
// identifier of 7 bits is spread over the top: field bits 4..0 in bits 31..27,
// field bit 5 in bit 26, field bit 6 in bit 25. Field 0 is the whole register.
//
//   uint32_t id = makeRegisterId(87, 3);   // field 3 of register 87
//   registerIndex(id) == 87; fieldIdentifier(id) == 3;
#pragma once

#include <cstdint>

namespace nQoUdRLP100 {

inline constexpr uint32_t kRegisterIndexMask = 0x1FFFFFF;

constexpr uint32_t registerIndex(uint32_t id) { return id & kRegisterIndexMask; }

constexpr uint32_t fieldIdentifier(uint32_t id) {
  return (id >> 27) | ((id & 0x2000000) >> 19) | ((id & 0x4000000) >> 21);
}

constexpr uint32_t makeRegisterId(uint32_t index, uint32_t field) {
  return (index & kRegisterIndexMask) | ((field & 0x1F) << 27) | ((field & 0x20) << 21) |
         ((field & 0x40) << 19);
}

}  // namespace nQoUdRLP100
