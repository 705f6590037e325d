// A byte buffer of a size fixed at construction, from the platform allocator.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"

namespace nQoUdP100 {

class iDigBuffer {
 public:
  virtual ~iDigBuffer() = default;
  virtual uint8_t* getAddress(uint32_t offset) = 0;
};

class tDigBufferPrimitive : public iDigBuffer, public nQoUdR100::tModuleObject {
 public:
  // Allocates nothing when the status holds an error; a failed allocation
  // leaves the buffer null with -50352 in the status.
  tDigBufferPrimitive(uint32_t size, nQoMDBG100::tStatus2& status);
  ~tDigBufferPrimitive() override;
  tDigBufferPrimitive(const tDigBufferPrimitive&) = delete;
  tDigBufferPrimitive& operator=(const tDigBufferPrimitive&) = delete;

  uint8_t* getAddress(uint32_t offset) override { return _buffer + offset; }
  uint8_t* getBuffer() { return _buffer; }
  uint32_t getSize() const { return _size; }

 private:
  uint8_t* _buffer = nullptr;
  uint32_t _size;
};

}  // namespace nQoUdP100
