#include "device/tChildDeviceGUIDList.h"

#include <cstring>

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdR100 {

namespace {

using nQoMDBG100::tStatus2;

constexpr const char kFile[] = "tChildDeviceGUIDList";
constexpr uint32_t kGUIDSize = 16;
constexpr uint32_t kInitialRecordRoom = 4;

// Holds the list's lock for one scope.
class tHeld {
 public:
  explicit tHeld(iSync* lock) : _lock(lock) { _lock->waitOrAcquire(iSync::kWaitForever, nullptr); }
  ~tHeld() { _lock->releaseOrSet(nullptr); }
  tHeld(const tHeld&) = delete;
  tHeld& operator=(const tHeld&) = delete;

 private:
  iSync* _lock;
};

}  // namespace

tChildDeviceGUIDList::tChildDeviceGUIDList(iDeviceNode* board, tStatus2& status) : _board(board) {
  if (status.isFatal()) return;
  _tree = iDeviceTree::getDeviceTree();
  if (_tree == nullptr) {
    setCode(status, kRefused, {kFile, 34});
    return;
  }
  // A query the tree cannot make is reported here, whatever the tree says.
  int queries = 0;
  _firstQuery = _tree->createQuery(&queries);
  _secondQuery = _tree->createQuery(&queries);
  if (_firstQuery == 0 || _secondQuery == 0) {
    setCode(status, kOutOfMemory, {kFile, 45});
    return;
  }
  iSync::tParam param;
  param.kind = 1;
  _lock = syncOpen(param, &status.code);
  if (status.isFatal()) return;
  _tree->setQueryClass(_firstQuery, kFirstClass, &status.code);
  _tree->setQueryClass(_secondQuery, kSecondClass, &status.code);
  registerListeners(status);
}

void tChildDeviceGUIDList::registerListeners(tStatus2& status) {
  if (status.isFatal()) return;
  using tRecord = tDeviceNodeListenerRecord;
  _records[0] = {tRecord::kArrived, 1, 0, _firstQuery, this};
  _records[1] = {tRecord::kArrived, 1, 0, _secondQuery, this};
  _records[2] = {tRecord::kRemoved, 1, 0, _firstQuery, this};
  _records[3] = {tRecord::kRemoved, 1, 0, _secondQuery, this};
  _registered.reserve(kInitialRecordRoom);
  for (tRecord& record : _records) _registered.append(&record);
  if (_registered.allocationFailed()) {
    _registered.clear();
    setCode(status, kOutOfMemory, {kFile, 66});
    return;
  }
  _tree->registerNodeListeners(&_registered[0], static_cast<uint32_t>(_registered.size()),
                               &status.code);
  if (status.isFatal()) _registered.clear();
}

tChildDeviceGUIDList::~tChildDeviceGUIDList() {
  if (_lock != nullptr) syncClose(_lock);
  if (_tree == nullptr) return;
  if (!_registered.empty())
    _tree->unregisterNodeListeners(&_registered[0], static_cast<uint32_t>(_registered.size()),
                                   nullptr);
  if (_firstQuery != 0) _tree->releaseQuery(_firstQuery);
  if (_secondQuery != 0) _tree->releaseQuery(_secondQuery);
}

bool tChildDeviceGUIDList::belowBoard(iDeviceNode* node, uint32_t query, tStatus2& status) {
  tDeviceNodeList* list = _tree->getNodesBelow(query, _board, &status.code);
  if (list == nullptr) return false;
  bool found = false;
  for (uint32_t n = 0; n < list->count && !found; ++n) found = list->nodes[n] == node;
  _tree->freeNodeList(list);
  return found;
}

nQoORB100::tGUID tChildDeviceGUIDList::readGUID(iDeviceNode* node, tStatus2& status) {
  nQoORB100::tGUID guid;
  if (status.isFatal()) return guid;
  if (node == nullptr) {
    setCode(status, kNullPointer, {kFile, 120});
    return guid;
  }
  uint32_t size = 0;
  const uint8_t* buffer = node->getBuffer(kGUIDAttribute, &size, &status.code);
  if (buffer == nullptr || size < kGUIDOffset + kGUIDSize) {
    if (buffer != nullptr) node->freeBuffer(buffer);
    setCode(status, kNotInitialized, {kFile, 126});
    return guid;
  }
  std::memcpy(&guid, buffer + kGUIDOffset, kGUIDSize);
  node->freeBuffer(buffer);
  return guid;
}

bool tChildDeviceGUIDList::childArrived(iDeviceNode* node, tStatus2& status) {
  if (status.isFatal() || _lock == nullptr) return status.isNotFatal();
  if (!belowBoard(node, _firstQuery, status) && !belowBoard(node, _secondQuery, status))
    return status.isNotFatal();
  const nQoORB100::tGUID guid = readGUID(node, status);
  if (status.isFatal()) return false;
  const tHeld held(_lock);
  if (!_live.append(guid)) setCode(status, kOutOfMemory, {kFile, 150});
  return status.isNotFatal();
}

void tChildDeviceGUIDList::childRemoved(iDeviceNode* node, tStatus2& status) {
  if (_lock == nullptr) return;
  const nQoORB100::tGUID guid = readGUID(node, status);
  if (status.isFatal()) return;
  const tHeld held(_lock);
  for (std::size_t n = 0; n < _live.size(); ++n) {
    if (_live[n] == guid) {
      _live.removeAt(n);
      break;
    }
  }
  _live.checkAllocation(status, {kFile, 170});
}

uint32_t tChildDeviceGUIDList::count(tStatus2& status) {
  if (status.isFatal() || _lock == nullptr) return 0;
  {
    const tHeld held(_lock);
    _reported.clear();
    _reported.reserve(_live.size());
    for (const nQoORB100::tGUID& guid : _live) _reported.append(guid);
  }
  if (_reported.allocationFailed()) {
    setCode(status, kOutOfMemory, {kFile, 190});
    return 0;
  }
  return static_cast<uint32_t>(_reported.size());
}

void tChildDeviceGUIDList::writeAll(nQoORB100::iExternalOutputStream& out, tStatus2& status) {
  for (const nQoORB100::tGUID& guid : _reported) {
    if (status.isFatal()) return;
    guid.writeExternal(out, status.code);
  }
}

bool tChildDeviceGUIDList::nodeArrived(iDeviceNode* node, int* status) {
  tStatus2 local;
  const bool answer = childArrived(node, local);
  if (status != nullptr) mergeCode(*status, local.code);
  return answer;
}

void tChildDeviceGUIDList::nodeRemoved(iDeviceNode* node, int* status) {
  tStatus2 local;
  childRemoved(node, local);
  if (status != nullptr) mergeCode(*status, local.code);
}

}  // namespace nQoUdR100
