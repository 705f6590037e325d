// The board's product descriptor as far as the frame reads it: through it the
// 32-bit kind code of the board is reached.
#pragma once

#include <cstdint>

namespace nQoUdR100 {

// The record the descriptor refers to; its first word is the kind code.
struct tProductKind {
  uint32_t kind;
};

struct tProductDescriptor {
  const tProductKind* kindRecord;
};

}  // namespace nQoUdR100
