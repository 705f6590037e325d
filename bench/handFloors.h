// Pieces the hand-written interrupt floors share: a bus atomic operation that
// does nothing (the floors run it to pay for the atomic bracket) and a record
// of a floor's observer list, kept as the primitives keep theirs.
#pragma once

#include <cstdint>

#include "bus/iBusAtomicOperation.h"

namespace nQoBench {

class tEmptyOperation : public iBusAtomicOperation {
 public:
  int32_t operateAtomically() override { return 0; }
};

template <class tObserver>
struct tHandRecord {
  tObserver* observer;
  uint32_t tag = 0;
  uint32_t inUse = 1;
};

}  // namespace nQoBench
