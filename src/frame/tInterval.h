// A range of physical values: the lower bound, then the upper bound.
#pragma once

#include "frame/tPhysicalValue.h"

namespace nQoUdRLP100 {

struct tInterval {
  tPhysicalValue lower;
  tPhysicalValue upper;

  // Null on either side: false. Bounds compare as tPhysicalValue::equal,
  // the lower first; the upper only when the lower ones are equal.
  static bool equal(const tInterval* a, const tInterval* b, int& status);
};

}  // namespace nQoUdRLP100
