// A routing table as the module stores it: a zlib stream with its unpacked
// size and version, and the u32 words (topography tags or route identifiers)
// that go with it to the routing library's unpacker.
#pragma once

#include <cstdint>

namespace nQoUdR100 {

struct tPackedTable {
  uint32_t version;
  uint32_t unpackedSize;
  const uint8_t* bytes;
  uint32_t packedSize;
  const uint32_t* words;
  uint32_t wordCount;
};

// Where a variant's terminal groups lie in its unpacked routing-node table,
// and its count of terminal numbers.
struct tNodeLayout {
  struct tGroup {
    uint32_t byteOffset;
    uint32_t entryCount;
  };
  uint32_t terminalCount;
  uint32_t groupCount;
  tGroup groups[6];
};

}  // namespace nQoUdR100
