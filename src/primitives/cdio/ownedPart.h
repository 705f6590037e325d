// Parts that a subsystem object builds from the platform allocator and owns:
// a failed allocation answers null with -50352 in the status and builds
// nothing; destroyPart runs the part's destructor, frees it and clears the
// pointer (null does nothing). The pointer's type must be the built type.
//
//   tPart* part = buildPart<tPart>(status, arguments...);
//   destroyPart(part);
#pragma once

#include <new>
#include <utility>

#include "apal/nQoAPALMemory.h"
#include "mdbg/tStatus2.h"

namespace nQoUdP100 {

template <class tPart, class... tArguments>
tPart* buildPart(nQoMDBG100::tStatus2& status, tArguments&&... arguments) {
  void* block = _memNewUsingCRT(sizeof(tPart), 0, &status);
  if (block == nullptr) return nullptr;
  return new (block) tPart(std::forward<tArguments>(arguments)...);
}

template <class tPart>
void destroyPart(tPart*& part) {
  if (part == nullptr) return;
  part->~tPart();
  _memDelete(part);
  part = nullptr;
}

}  // namespace nQoUdP100
