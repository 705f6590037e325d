// The in and out parameter blocks that a supervisor's control operation takes.
// Either block may be null. Reads answer the next value of the block; a read
// past its end sets kOutOfValues (by the merge rule) and reads nothing. An out
// block offers its data area and its size in bytes, and takes 32-bit writes
// in order; a write past its end sets kOutOfValues and writes nothing. An out
// block may also offer a stream writer over the same data area (its typed
// writes, and the GUIDs that externalize themselves through it).
#pragma once

#include <cstdint>

#include "orb/iExternalOutputStream.h"

namespace nQoMRL100 {

class iControlParameterBlock {
 public:
  // The block ran out of values; callers turn it into -50150.
  static constexpr int kOutOfValues = 88800;

  virtual ~iControlParameterBlock() = default;
  virtual uint16_t readU16(int& status) = 0;
  virtual int32_t readI32(int& status) = 0;
  virtual uint32_t readU32(int& status) = 0;

  virtual void* getData() = 0;
  virtual uint32_t getSize() const = 0;
  virtual void writeU32(uint32_t value, int& status) = 0;
  // The block's writer: it continues where the last write ended and sets
  // kEndOfStream on a write past the end. Null for a block without one.
  virtual nQoORB100::iExternalOutputStream* getWriter() { return nullptr; }
};

}  // namespace nQoMRL100
