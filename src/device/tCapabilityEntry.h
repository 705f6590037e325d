// An entry of a capability list: a key, a value and further words. A list is
// a null-terminated array of entry pointers held by its owner.
#pragma once

#include <cstdint>

namespace nQoUdR100 {

struct tCapabilityEntry {
  int32_t key;
  uint32_t value;
  uint64_t data;
};

}  // namespace nQoUdR100
