// A 128-bit identifier of the object broker, as two 64-bit words.
#pragma once

#include <cstdint>

namespace nQoORB100 {

struct tGUID {
  uint64_t first = 0;
  uint64_t second = 0;
  bool operator==(const tGUID&) const = default;
};

}  // namespace nQoORB100
