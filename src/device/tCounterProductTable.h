// The counter product table: the products whose counters the counter engine
// drives. Its static constructor fills the pointer table at load (the module
// gets a frequency output and counters for a listed board); unload empties
// it. Lookups walk the table they are handed, by default the module's own:
//
//   if (tCounterProductTable::findByProductId(id, scratch) != nullptr) ...
//
// Every lookup does nothing (null) when the status holds an error; a miss is
// -223747 and null.
#pragma once

#include <cstddef>
#include <cstdint>

#include "device/tCounterProductDescriptor.h"
#include "mdbg/tStatus2.h"

namespace nQoUdR100 {

class tCounterProductTable {
 public:
  struct tRows {
    const tCounterProductDescriptor* const* begin;
    const tCounterProductDescriptor* const* end;
  };
  // The record of three words exported beside the table, zero at load.
  struct tExtra {
    uint64_t words[3];
  };

  // The static constructor: 0, or -1 when the at-exit entry cannot be made
  // (the table then stays empty).
  static int construct();

  static const tCounterProductDescriptor* const* table();
  static std::size_t count();
  static tExtra* extra();
  static tRows rows() { return {table(), table() + count()}; }

  // A row matches its own identifier or, for a listed row, any entry of its
  // zero-terminated list; the first match wins.
  static const tCounterProductDescriptor* findByProductId(uint32_t productId,
                                                          nQoMDBG100::tStatus2& status,
                                                          tRows in = rows());
  // Node attribute 2 of the handle's node; no device tree or node: null
  // without a status code.
  static const tCounterProductDescriptor* findByDeviceHandle(uint32_t handle,
                                                             nQoMDBG100::tStatus2& status,
                                                             tRows in = rows());
  static const tCounterProductDescriptor* findByName(const char* name, nQoMDBG100::tStatus2& status,
                                                     tRows in = rows());
};

}  // namespace nQoUdR100
