// A device's 128-bit identifier as two 64-bit words.
#pragma once

#include <cstdint>

#include "orb/iExternalInputStream.h"
#include "orb/iExternalOutputStream.h"

namespace nQoORB100 {

struct tGUID {
  uint64_t high = 0;
  uint64_t low = 0;

  // "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" and a terminator.
  static constexpr uint32_t kTextLength = 39;

  bool operator==(const tGUID&) const = default;

  // The text form into a buffer of kTextLength bytes.
  void toString(char (&text)[kTextLength]) const;

  // Both words through readU64 / writeU64. Nothing when the status holds an
  // error; a read that fails part-way leaves the GUID as it was.
  void readExternal(iExternalInputStream& stream, int& status);
  void writeExternal(iExternalOutputStream& stream, int& status) const;
};

}  // namespace nQoORB100
