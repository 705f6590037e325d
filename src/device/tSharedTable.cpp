#include "device/tSharedTable.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mru/routingTables.h"

namespace nQoUdR100 {

tSharedTable::tSharedTable(const tPackedTable& packed, tKind kind, void* const* classID)
    : _packed(packed), _kind(kind), _classID(classID) {
  iSync::tParam param;
  param.kind = 1;
  int code = 0;
  _lock = syncOpen(param, &code);
  setCode(_status, code, {"tSharedTable", 16});
}

tSharedTable::~tSharedTable() {
  if (_lock == nullptr) return;
  syncClose(_lock);
  if (_count == 0) return;
  nQoMDBG100::tStatus2 scratch;
  free(scratch);
}

void tSharedTable::acquire(nQoMDBG100::tStatus2& status) {
  status.assign(_status);
  if (!lock(status)) return;
  if (++_count == 1) {
    unpack(status);
    if (_table == nullptr) _count = 0;
  }
  unlock();
}

void tSharedTable::release(nQoMDBG100::tStatus2& status) {
  status.assign(_status);
  if (!lock(status)) return;
  if (_count == 0)
    setCode(status, kRefused, {"tSharedTable", 45});
  else if (--_count == 0)
    free(status);
  unlock();
}

bool tSharedTable::lock(nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || _lock == nullptr) return false;
  int code = 0;
  const bool held = _lock->waitOrAcquire(iSync::kWaitForever, &code) == 1;
  setCode(status, held || code < 0 ? code : kRefused, {"tSharedTable", 55});
  return held;
}

void tSharedTable::unlock() {
  int code = 0;
  _lock->releaseOrSet(&code);
}

void tSharedTable::unpack(nQoMDBG100::tStatus2& status) {
  if (_kind == kTopography)
    _table = nQoMRU230::unpackTopographyTable(_packed.version, _packed.unpackedSize, _packed.bytes,
                                              _packed.packedSize, _packed.words, _packed.wordCount,
                                              _classID, &_data, status);
  else
    _table = nQoMRU210::unpackRoutingNodeTable(_packed.version, _packed.unpackedSize, _packed.bytes,
                                               _packed.packedSize, _packed.words, _packed.wordCount,
                                               &_data, status);
}

void tSharedTable::free(nQoMDBG100::tStatus2& status) {
  if (_kind == kTopography)
    nQoMRU230::freeTopographyTable(_table, _data, status);
  else
    nQoMRU210::freeRoutingNodeTable(_table, _data, status);
  _table = nullptr;
  _data = nullptr;
}

}  // namespace nQoUdR100
