// Kernel blocks and plain portability statuses.
#pragma once

#include "frame/tStatus.h"

namespace nQoUdR100 {

// nQoKAL100_free when not null.
void freeKernelBlock(void* block);
// A plain status {16, 0} from nQoKAL100_malloc (freed with freeKernelBlock);
// null when out of memory.
nQoAPALS100::tStatus* newPlainStatus();
void noOperation();

}  // namespace nQoUdR100
