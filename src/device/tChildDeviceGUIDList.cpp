#include "device/tChildDeviceGUIDList.h"

#include <algorithm>
#include <cstring>

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdR100 {

namespace {

using nQoMDBG100::tStatus2;

constexpr const char kFile[] = "tChildDeviceGUIDList";
constexpr uint32_t kGUIDSize = 16;
constexpr uint32_t kInitialRecordRoom = 4;

// Holds the list's lock for one scope: a lock that refused is reported (its
// code, or kRefused when it gave none) and never given back, and the scope
// then leaves the list alone. What the release reports goes to the status.
class tHeld {
 public:
  tHeld(iSync* lock, tStatus2& status) : _status(status), _lock(take(lock, status)) {}
  ~tHeld() {
    if (_lock == nullptr) return;
    int code = 0;
    _lock->releaseOrSet(&code);
    setCode(_status, code, {kFile, 26});
  }
  tHeld(const tHeld&) = delete;
  tHeld& operator=(const tHeld&) = delete;
  bool taken() const { return _lock != nullptr; }

 private:
  static iSync* take(iSync* lock, tStatus2& status) {
    int code = 0;
    if (lock->waitOrAcquire(iSync::kWaitForever, &code) == 1) return lock;
    setCode(status, code < 0 ? code : kRefused, {kFile, 36});
    return nullptr;
  }

  tStatus2& _status;
  iSync* const _lock;
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

// The listeners go first: once unregistered, no arrival or removal starts
// and none is still running, so none can take the lock after it is closed.
tChildDeviceGUIDList::~tChildDeviceGUIDList() {
  if (_tree != nullptr && !_registered.empty())
    _tree->unregisterNodeListeners(&_registered[0], static_cast<uint32_t>(_registered.size()),
                                   nullptr);
  if (_lock != nullptr) syncClose(_lock);
  if (_tree == nullptr) return;
  if (_firstQuery != 0) _tree->releaseQuery(_firstQuery);
  if (_secondQuery != 0) _tree->releaseQuery(_secondQuery);
}

bool tChildDeviceGUIDList::listed(iDeviceTree* tree, uint32_t query, iDeviceNode* parent,
                                  uint64_t id, tStatus2& status) {
  uint32_t count = 0;
  uint64_t* ids = tree->getIds(query, kIdListAttribute, parent, &count, &status.code);
  if (ids == nullptr) return false;
  const bool found = std::find(ids, ids + count, id) != ids + count;
  tree->freeIds(ids);
  return found;
}

bool tChildDeviceGUIDList::isChildDevice(iDeviceNode* parent, uint64_t id, tStatus2& status) {
  if (status.isFatal()) return false;
  iDeviceTree* tree = iDeviceTree::getDeviceTree();
  if (tree == nullptr) {
    setCode(status, kNullPointer, {kFile, 112});
    return false;
  }
  if (listed(tree, _firstQuery, parent, id, status)) return true;
  return status.isNotFatal() && listed(tree, _secondQuery, parent, id, status);
}

void tChildDeviceGUIDList::getDeviceGUID(iDeviceNode* node, nQoORB100::tGUID& guid,
                                         tStatus2& status) {
  if (status.isFatal()) return;
  if (node == nullptr) {
    setCode(status, kNullPointer, {kFile, 120});
    return;
  }
  uint32_t size = 0;
  const uint8_t* buffer = node->getBuffer(kGUIDAttribute, &size, &status.code);
  if (buffer == nullptr) {
    setCode(status, kNotInitialized, {kFile, 126});
    return;
  }
  if (size < kGUIDOffset + kGUIDSize) setCode(status, kNotInitialized, {kFile, 130});
  if (status.isNotFatal()) std::memcpy(&guid, buffer + kGUIDOffset, kGUIDSize);
  node->freeBuffer(buffer);
}

void tChildDeviceGUIDList::notifyListeners(iDeviceNode* node, tStatus2& status) {
  notifyListeners(_registered.begin(), _registered.size(), node, status);
}

void tChildDeviceGUIDList::notifyListeners(tDeviceNodeListenerRecord* const* records,
                                           std::size_t count, iDeviceNode* node, tStatus2& status) {
  for (std::size_t n = 0; n < count && status.isNotFatal(); ++n)
    records[n]->notify(node, &status.code);
}

bool tChildDeviceGUIDList::childArrived(iDeviceNode* node, tStatus2& status) {
  if (status.isFatal() || _lock == nullptr) return status.isNotFatal();
  if (node != nullptr && !isChildDevice(_board, node->getId(), status)) return status.isNotFatal();
  nQoORB100::tGUID guid;
  getDeviceGUID(node, guid, status);
  if (status.isFatal()) return false;
  const tHeld held(_lock, status);
  if (held.taken() && !_live.append(guid)) setCode(status, kOutOfMemory, {kFile, 150});
  return status.isNotFatal();
}

void tChildDeviceGUIDList::childRemoved(iDeviceNode* node, tStatus2& status) {
  if (_lock == nullptr) return;
  nQoORB100::tGUID guid;
  getDeviceGUID(node, guid, status);
  if (status.isFatal()) return;
  const tHeld held(_lock, status);
  if (!held.taken()) return;
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
    const tHeld held(_lock, status);
    if (!held.taken()) return 0;
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
