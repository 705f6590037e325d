#include "frame/portableMemory.h"

#include <new>

#include "kal/nQoKAL.h"

namespace nQoUdR100 {

void freeKernelBlock(void* block) {
  if (block != nullptr) nQoKAL100_free(block);
}

nQoAPALS100::tStatus* newPlainStatus() {
  void* block = nQoKAL100_malloc(sizeof(nQoAPALS100::tStatus));
  return block == nullptr ? nullptr : new (block) nQoAPALS100::tStatus;
}

void noOperation() {}

}  // namespace nQoUdR100
