#include "primitives/dio/tDigBufferPrimitive.h"

#include "apal/nQoAPALMemory.h"

namespace nQoUdP100 {

tDigBufferPrimitive::tDigBufferPrimitive(uint32_t size, nQoMDBG100::tStatus2& status)
    : _size(size) {
  if (status.isFatal()) return;
  _buffer = static_cast<uint8_t*>(_memNewUsingCRT(size, 4, &status));
}

tDigBufferPrimitive::~tDigBufferPrimitive() { _memDelete(_buffer); }

}  // namespace nQoUdP100
