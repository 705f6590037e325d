// One-line shims over the kernel abstraction layer: register access and the
// memory and string primitives (memMove, for overlapping copies, has its own
// header).
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/memMove.h"
#include "kal/nQoKAL.h"

namespace nQoUdR100 {

inline uint32_t memoryRead32(uintptr_t address) { return nQoKAL100_memoryRead32(address); }
inline void memoryWrite32(uintptr_t address, uint32_t value) {
  nQoKAL100_memoryWrite32(address, value);
}
inline uint16_t memoryRead16(uintptr_t address) { return nQoKAL100_memoryRead16(address); }
inline void memoryWrite16(uintptr_t address, uint16_t value) {
  nQoKAL100_memoryWrite16(address, value);
}
inline uint8_t memoryRead8(uintptr_t address) { return nQoKAL100_memoryRead8(address); }
inline void memoryWrite8(uintptr_t address, uint8_t value) {
  nQoKAL100_memoryWrite8(address, value);
}

inline void* memCpy(void* destination, const void* source, size_t n) {
  return nQoKAL180_memCpy(destination, source, n);
}
inline void* memSet(void* destination, uint8_t byte, size_t n) {
  return nQoKAL240_memSet(destination, byte, n);
}
inline int strCmp(const char* a, const char* b) { return nQoKAL250_strCmp(a, b); }
inline size_t strLen(const char* text) { return nQoKAL250_strLen(text); }

inline void storeWord64(uint64_t* cell, uint64_t value) { *cell = value; }
inline uint64_t loadWord64(const uint64_t* cell) { return *cell; }

}  // namespace nQoUdR100
