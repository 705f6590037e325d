#include "frame/memMove.h"

#include "kal/nQoKAL.h"

namespace nQoUdR100 {

void* memMove(void* destination, const void* source, std::size_t count) {
  return nQoKAL180_memMove(destination, source, count);
}

}  // namespace nQoUdR100
