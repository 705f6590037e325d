// Queries on a capability record's list of capability entries (capsList: a
// null-terminated array of entry pointers). Each query does nothing (null or
// 0) when the status holds an error; a record without a list, or a list in
// which nothing qualifies, is -223749. Ties go to the earlier entry.
#pragma once

#include <cstdint>

#include "device/tCapabilityEntry.h"
#include "frame/tProductDescriptor.h"
#include "mdbg/tStatus2.h"

namespace nQoUdR100 {

class tCapabilityList {
 public:
  static const tCapabilityEntry* findEntry(const tProductDescriptor* owner, int32_t key,
                                           nQoMDBG100::tStatus2& status);
  // The entry with the largest value not above the limit.
  static const tCapabilityEntry* findLargestNotAbove(const tProductDescriptor* owner,
                                                     uint32_t limit, nQoMDBG100::tStatus2& status);
  static const tCapabilityEntry* maxEntry(const tProductDescriptor* owner,
                                          nQoMDBG100::tStatus2& status);
  static const tCapabilityEntry* minEntry(const tProductDescriptor* owner,
                                          nQoMDBG100::tStatus2& status);
  // Counting from 1.
  static const tCapabilityEntry* entryAt(const tProductDescriptor* owner, uint32_t n,
                                         nQoMDBG100::tStatus2& status);
  // The 1-based position of the entry, or the list length + 1 when it is
  // absent; 1 for a missing or empty list. Sets no code.
  static uint32_t positionOf(const tProductDescriptor* owner, const tCapabilityEntry* entry,
                             nQoMDBG100::tStatus2& status);
};

}  // namespace nQoUdR100
