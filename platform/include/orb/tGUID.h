// A device's 128-bit identifier as two 64-bit words.
#pragma once

#include <cstdint>

#include "orb/iExternalInputStream.h"
#include "orb/iExternalOutputStream.h"

namespace nQoORB100 {

struct tGUID {
  uint64_t high = 0;
  uint64_t low = 0;

  bool operator==(const tGUID&) const = default;

  // Both words through readU64 / writeU64. Nothing when the status holds an
  // error; a read that fails part-way leaves the GUID as it was.
  void readExternal(iExternalInputStream& stream, int& status);
  void writeExternal(iExternalOutputStream& stream, int& status) const;
};

}  // namespace nQoORB100
