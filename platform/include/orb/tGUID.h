// A device's 128-bit identifier as two 64-bit words.
#pragma once

#include <cstdint>

namespace nQoORB100 {

struct tGUID {
  uint64_t high = 0;
  uint64_t low = 0;

  bool operator==(const tGUID&) const = default;
};

}  // namespace nQoORB100
