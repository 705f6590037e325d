// The routing library's table unpackers: each inflates a zlib stream into a
// platform allocation of exactly the stated size and answers the unpacked
// bytes; *data receives the library's record of the table, which the free
// routine takes back with the bytes.
//
//   void* data = nullptr;
//   const void* table = nQoMRU230::unpackTopographyTable(version, size, packed, packedSize,
//                                                        tags, tagCount, classID, &data, status);
//   ...
//   nQoMRU230::freeTopographyTable(table, data, status);
//
// A corrupt stream, a wrong version or an unpacked size other than the stated
// one: -50150, null, nothing left allocated. Nothing happens when the status
// already holds an error.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoMRU210 {

// The library's record of an unpacked table.
struct tUnpackedTable {
  uint32_t version;
  uint32_t size;
  const uint32_t* identifiers;  // the route identifiers or the topography's tags
  uint32_t identifierCount;
  void* const* classID;  // the topography's class; null for a routing-node table
};

inline constexpr uint32_t kTableVersion = 0x01004012;

const void* unpackRoutingNodeTable(uint32_t version, uint32_t unpackedSize, const uint8_t* packed,
                                   uint32_t packedSize, const uint32_t* identifiers,
                                   uint32_t identifierCount, void** data,
                                   nQoMDBG100::tStatus2& status);
void freeRoutingNodeTable(const void* table, void* data, nQoMDBG100::tStatus2& status);

}  // namespace nQoMRU210

namespace nQoMRU230 {

const void* unpackTopographyTable(uint32_t version, uint32_t unpackedSize, const uint8_t* packed,
                                  uint32_t packedSize, const uint32_t* tags, uint32_t tagCount,
                                  void* const* classID, void** data, nQoMDBG100::tStatus2& status);
void freeTopographyTable(const void* table, void* data, nQoMDBG100::tStatus2& status);

}  // namespace nQoMRU230
