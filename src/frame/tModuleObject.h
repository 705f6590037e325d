// Allocation of the module's objects from the platform allocator. Every form
// answers null instead of throwing, so a failed allocation skips the
// constructor:
//
//   class tThing : public nQoUdR100::tModuleObject { ... };
//   tThing* a = new tThing;               // null when out of memory
//   tThing* b = new (status) tThing;      // null, and kOutOfMemory in the status
//   uint32_t* raw = new (nQoUdR100::kModuleHeap) uint32_t[n];  // raw storage
//   nQoUdR100::moduleFree(raw);
#pragma once

#include <cstddef>
#include <utility>

#include "apal/nQoAPALMemory.h"
#include "mdbg/tStatus2.h"

namespace nQoUdR100 {

class tModuleObject {
 public:
  static void* operator new(std::size_t size) noexcept;
  static void* operator new(std::size_t size, nQoMDBG100::tStatus2& status) noexcept;
  static void* operator new(std::size_t size, int& status) noexcept;
  static void* operator new[](std::size_t size) noexcept;
  static void* operator new[](std::size_t size, nQoMDBG100::tStatus2& status) noexcept;
  static void operator delete(void* block) noexcept;
  static void operator delete(void* block, nQoMDBG100::tStatus2& status) noexcept;
  static void operator delete(void* block, int& status) noexcept;
  static void operator delete[](void* block) noexcept;
  static void operator delete[](void* block, nQoMDBG100::tStatus2& status) noexcept;
};

// The tag of the raw-storage form.
struct tModuleHeap {};
inline constexpr tModuleHeap kModuleHeap{};

// Frees raw storage taken with the tagged form (trivially destructible types).
inline void moduleFree(void* block) { _memDelete(block); }

// A class of another layer (the platform's, or one without allocation of its
// own) allocated as the module's; its deleting destructor frees it there.
//
//   auto* pool = new (status) tModuleOwned<tDriverLoadFailureResourcePool>(failure);
template <class T>
struct tModuleOwned final : T, tModuleObject {
  template <class... Args>
  explicit tModuleOwned(Args&&... arguments) : T(std::forward<Args>(arguments)...) {}
};

}  // namespace nQoUdR100

void* operator new(std::size_t size, const nQoUdR100::tModuleHeap&) noexcept;
void* operator new[](std::size_t size, const nQoUdR100::tModuleHeap&) noexcept;
void operator delete(void* block, const nQoUdR100::tModuleHeap&) noexcept;
void operator delete[](void* block, const nQoUdR100::tModuleHeap&) noexcept;
