// The object broker's output stream, through which externalizable objects
// write their fields. Once the status holds an error every write leaves it as
// it is and writes nothing; a stream that is full sets kEndOfStream. A word
// written with writeI32 reads back unchanged with readU32.
#pragma once

#include <cstdint>

#include "orb/iExternalInputStream.h"

namespace nQoORB100 {

class iExternalOutputStream {
 public:
  virtual ~iExternalOutputStream() = default;
  virtual void writeString(const tNarrowString& value, int& status) = 0;
  virtual void writeI16(int16_t value, int& status) = 0;
  virtual void writeU16(uint16_t value, int& status) = 0;
  virtual void writeI32(int32_t value, int& status) = 0;
  virtual void writeU32(uint32_t value, int& status) = 0;
  virtual void writeU64(uint64_t value, int& status) = 0;
};

}  // namespace nQoORB100
