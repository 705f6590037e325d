// The object broker's input stream, through which externalizable objects
// read their fields. The status is a plain code: once it holds an error every
// read leaves it as it is and answers 0 (an empty string); a warning does not
// stop a read. A stream that runs out sets kEndOfStream; a string that cannot
// be allocated sets -50352.
#pragma once

#include <cstdint>

#include "orb/tNarrowString.h"

namespace nQoORB100 {

inline constexpr int kEndOfStream = -50411;

class iExternalInputStream {
 public:
  virtual ~iExternalInputStream() = default;
  virtual tNarrowString readString(int& status) = 0;
  virtual int16_t readI16(int& status) = 0;
  virtual uint16_t readU16(int& status) = 0;
  virtual int32_t readI32(int& status) = 0;
  virtual uint32_t readU32(int& status) = 0;
  virtual uint64_t readU64(int& status) = 0;
};

}  // namespace nQoORB100
