// The capability table: one constant record per board model, found by
// product identifier, device handle or name. The lookups walk the table they
// are handed, by default the module's own (generated from
// src/device/boards/models.txt):
//
//   const tProductDescriptor* record = tCapabilityTable::findByProductId(0x5D02, status);
//
// Every lookup does nothing (null) when the status holds an error; a miss is
// -223747 and null.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/tProductDescriptor.h"
#include "mdbg/tStatus2.h"

namespace nQoUdR100 {

class tCapabilityTable {
 public:
  // Product id 0xC4C4 on a node stands for (attribute 19 << 16) + 0xC4C4.
  static constexpr uint32_t kExtendedId = 0xC4C4;
  static constexpr uint32_t kExtensionAttribute = 19;

  struct tRecords {
    const tProductDescriptor* const* begin;
    const tProductDescriptor* const* end;
  };

  static const tProductDescriptor* const* table();
  static const tProductDescriptor* const* tableEnd();
  static std::size_t count();
  static tRecords records() { return {table(), tableEnd()}; }

  static const tProductDescriptor* findByProductId(uint32_t productId, nQoMDBG100::tStatus2& status,
                                                   tRecords in = records());
  // No device tree or no node: null without a status code. A node without
  // the attributes matches nothing.
  static const tProductDescriptor* findByDeviceHandle(uint32_t handle, nQoMDBG100::tStatus2& status,
                                                      tRecords in = records());
  static const tProductDescriptor* findByName(const char* name, nQoMDBG100::tStatus2& status,
                                              tRecords in = records());

  // The code pairs 14713/1, 14714/2, 14712/3, 10195/4; any other code is
  // -223744 and 0.
  static uint32_t toInternalCode(uint32_t code, nQoMDBG100::tStatus2& status);
  static uint32_t toExternalCode(uint32_t code, nQoMDBG100::tStatus2& status);
};

}  // namespace nQoUdR100
