#include "frame/tInterval.h"

namespace nQoUdRLP100 {

bool tInterval::equal(const tInterval* a, const tInterval* b, int& status) {
  if (a == nullptr || b == nullptr) return false;
  return tPhysicalValue::equal(a->lower, b->lower, status) &&
         tPhysicalValue::equal(a->upper, b->upper, status);
}

}  // namespace nQoUdRLP100
