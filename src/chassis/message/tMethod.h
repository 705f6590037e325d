// The description of one remote method: its interface, its number and the
// status site of its interface's source file.
//
//   template <uint8_t kId, unsigned kLine>
//   inline constexpr tMethod kMethod{0x0830, kId, "tDigController", kLine};
//
// line is the site of kNullPointer (no message); the packer's own failures use
// the two lines after it: line + 1 when its copy of an array argument could not
// be allocated, line + 2 when its own reply array lost elements.
#pragma once

#include <cstdint>

namespace nQoFSL100 {

struct tMethod {
  uint16_t interfaceId;
  uint8_t id;
  const char* file;
  unsigned line;
};

}  // namespace nQoFSL100
