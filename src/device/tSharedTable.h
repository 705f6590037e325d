// A routing table that all objects of one topography class, or all nodes of
// one routing variant, share: unpacked by the routing library on the first
// acquire and freed on the last release, counted under the record's lock.
//
//   tModuleStatic<tSharedTable> gRecord;   // built at load:
//   gRecord.construct(kTopographyTable, tSharedTable::kTopography, &tTopography::___classID);
//   gRecord.get()->acquire(status);
//   ... gRecord.get()->table() ...
//   gRecord.get()->release(status);
//
// Destroying the record (at unload) frees a table still held and closes the
// lock.
#pragma once

#include <cstdint>

#include "device/tPackedTable.h"
#include "mdbg/tStatus2.h"
#include "sync/iSync.h"

namespace nQoUdR100 {

class tSharedTable {
 public:
  enum tKind { kTopography, kRoutingNodes };

  // A lock that cannot be opened leaves its code in the record, and every
  // acquire and release then reports it.
  tSharedTable(const tPackedTable& packed, tKind kind, void* const* classID);
  ~tSharedTable();
  tSharedTable(const tSharedTable&) = delete;
  tSharedTable& operator=(const tSharedTable&) = delete;

  // The first reference unpacks the table; a failed unpack counts nothing
  // and passes its code on.
  void acquire(nQoMDBG100::tStatus2& status);
  // The last reference frees the table; a release with no reference held is
  // -50150 and changes nothing.
  void release(nQoMDBG100::tStatus2& status);

  const void* table() const { return _table; }
  uint64_t count() const { return _count; }

 private:
  bool lock(nQoMDBG100::tStatus2& status);
  void unlock();
  void unpack(nQoMDBG100::tStatus2& status);
  void free(nQoMDBG100::tStatus2& status);

  nQoMDBG100::tStatus2 _status;
  iSync* _lock = nullptr;
  const void* _table = nullptr;
  void* _data = nullptr;
  uint64_t _count = 0;
  const tPackedTable& _packed;
  tKind _kind;
  void* const* _classID;
};

}  // namespace nQoUdR100
