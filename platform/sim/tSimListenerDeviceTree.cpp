#include "sim/tSimListenerDeviceTree.h"

#include <algorithm>

#include "bus/iDeviceNode.h"
#include "kal/nQoKAL.h"

namespace nQoSim {

iDevice* tSimListenerDeviceTree::findDevice(uint32_t, int* status) {
  if (status != nullptr && *status < 0) return nullptr;
  std::lock_guard<std::mutex> lock(_lock);
  return _device;
}

void tSimListenerDeviceTree::registerListener(tDeviceTreeListenerRecord* record, int* status) {
  if (status != nullptr && *status < 0) return;
  std::lock_guard<std::mutex> lock(_lock);
  int result = 0;
  if (_failCode != 0) {
    result = _failCode;
    _failCode = 0;
  } else {
    _listeners.push_back(record);
  }
  if (status != nullptr && result != 0) *status = result;
  _registrations.push_back({tRegistration::kRegister, *record, record, result});
}

void tSimListenerDeviceTree::unregisterListener(tDeviceTreeListenerRecord* record, int* status) {
  if (status != nullptr && *status < 0) return;
  std::unique_lock<std::mutex> lock(_lock);
  auto found = std::find(_listeners.begin(), _listeners.end(), record);
  const int result = found == _listeners.end() ? -50300 : 0;
  if (found != _listeners.end()) _listeners.erase(found);
  if (status != nullptr && result != 0) *status = result;
  _registrations.push_back({tRegistration::kUnregister, *record, record, result});
  _deliveryDone.wait(lock, [this] { return _deliveries == 0; });
}

void tSimListenerDeviceTree::setDevice(iDevice* device) {
  std::lock_guard<std::mutex> lock(_lock);
  _device = device;
}

void tSimListenerDeviceTree::failNextRegistration(int code) {
  std::lock_guard<std::mutex> lock(_lock);
  _failCode = code;
}

void tSimListenerDeviceTree::deliverRemoval(iDevice* device) {
  std::vector<iDeviceTreeObserver*> observers;
  {
    std::lock_guard<std::mutex> lock(_lock);
    for (const tDeviceTreeListenerRecord* record : _listeners)
      observers.push_back(record->observer);
    ++_deliveries;
  }
  for (iDeviceTreeObserver* observer : observers) observer->observeDevDeviceRemoved(device);
  std::lock_guard<std::mutex> lock(_lock);
  --_deliveries;
  _deliveryDone.notify_all();
}

std::vector<tSimListenerDeviceTree::tRegistration> tSimListenerDeviceTree::registrations() const {
  std::lock_guard<std::mutex> lock(_lock);
  return _registrations;
}

std::size_t tSimListenerDeviceTree::listenerCount() const {
  std::lock_guard<std::mutex> lock(_lock);
  return _listeners.size();
}

tDeviceNodeList* tSimListenerDeviceTree::getNodeList(uint32_t first, uint32_t second,
                                                     iDevice* device, int* status) {
  std::lock_guard<std::mutex> lock(_lock);
  _nodeListQueries.push_back({first, second, device});
  if (_nodeListFailure != 0) {
    if (status != nullptr && *status >= 0) *status = _nodeListFailure;
    _nodeListFailure = 0;
    return nullptr;
  }
  return handOut(_nodes);
}

// Under the lock.
tDeviceNodeList* tSimListenerDeviceTree::handOut(std::vector<iDeviceNode*> nodes) {
  auto held = std::make_unique<tHeldList>();
  held->nodes = std::move(nodes);
  held->list = {_failureWord, static_cast<uint32_t>(held->nodes.size()), held->nodes.data()};
  tDeviceNodeList* list = &held->list;
  _lists[list] = std::move(held);
  return list;
}

void tSimListenerDeviceTree::freeNodeList(tDeviceNodeList* list) {
  std::lock_guard<std::mutex> lock(_lock);
  if (_lists.erase(list) == 0)
    nQoKAL250_halt("qoplatform", "tSimListenerDeviceTree", 93, "free of a list not handed out");
}

iDeviceNode* tSimListenerDeviceTree::findNode(uint32_t handle, int*) {
  std::lock_guard<std::mutex> lock(_lock);
  auto found = _nodesByHandle.find(handle);
  return found == _nodesByHandle.end() ? nullptr : found->second;
}

void tSimListenerDeviceTree::setNode(uint32_t handle, iDeviceNode* node) {
  std::lock_guard<std::mutex> lock(_lock);
  if (node == nullptr)
    _nodesByHandle.erase(handle);
  else
    _nodesByHandle[handle] = node;
}

void tSimListenerDeviceTree::setNodes(std::vector<iDeviceNode*> nodes, uint32_t failureWord) {
  std::lock_guard<std::mutex> lock(_lock);
  _nodes = std::move(nodes);
  _failureWord = failureWord;
}

void tSimListenerDeviceTree::failNextNodeList(int code) {
  std::lock_guard<std::mutex> lock(_lock);
  _nodeListFailure = code;
}

std::vector<tSimListenerDeviceTree::tNodeListQuery> tSimListenerDeviceTree::nodeListQueries()
    const {
  std::lock_guard<std::mutex> lock(_lock);
  return _nodeListQueries;
}

std::size_t tSimListenerDeviceTree::liveNodeLists() const {
  std::lock_guard<std::mutex> lock(_lock);
  return _lists.size();
}

uint32_t tSimListenerDeviceTree::createQuery(int* status) {
  std::lock_guard<std::mutex> lock(_lock);
  if (_queryFailure != 0) {
    if (status != nullptr && *status >= 0) *status = _queryFailure;
    _queryFailure = 0;
    return 0;
  }
  _queryClasses[_nextQuery] = 0;
  return _nextQuery++;
}

void tSimListenerDeviceTree::releaseQuery(uint32_t query) {
  std::lock_guard<std::mutex> lock(_lock);
  if (_queryClasses.erase(query) == 0)
    nQoKAL250_halt("qoplatform", "tSimListenerDeviceTree", 160, "release of an unknown query");
}

void tSimListenerDeviceTree::setQueryClass(uint32_t query, uint32_t classCode, int* status) {
  std::lock_guard<std::mutex> lock(_lock);
  auto found = _queryClasses.find(query);
  if (found != _queryClasses.end())
    found->second = classCode;
  else if (status != nullptr && *status >= 0)
    *status = -50004;
}

bool tSimListenerDeviceTree::below(iDeviceNode* node, iDeviceNode* parent) const {
  for (auto at = _placed.find(node); at != _placed.end(); at = _placed.find(at->second.parent))
    if (at->second.parent == parent) return true;
  return false;
}

tDeviceNodeList* tSimListenerDeviceTree::getNodesBelow(uint32_t query, iDeviceNode* parent,
                                                       int* status) {
  std::lock_guard<std::mutex> lock(_lock);
  auto found = _queryClasses.find(query);
  if (found == _queryClasses.end()) {
    if (status != nullptr && *status >= 0) *status = -50004;
    return nullptr;
  }
  std::vector<iDeviceNode*> nodes;
  for (const auto& [node, placed] : _placed)
    if (placed.classCode == found->second && below(node, parent)) nodes.push_back(node);
  return handOut(std::move(nodes));
}

void tSimListenerDeviceTree::registerNodeListeners(tDeviceNodeListenerRecord* const* records,
                                                   uint32_t count, int* status) {
  if (status != nullptr && *status < 0) return;
  std::lock_guard<std::mutex> lock(_lock);
  if (_failCode != 0) {
    if (status != nullptr) *status = _failCode;
    _failCode = 0;
    return;
  }
  _nodeListeners.insert(_nodeListeners.end(), records, records + count);
}

void tSimListenerDeviceTree::unregisterNodeListeners(tDeviceNodeListenerRecord* const* records,
                                                     uint32_t count, int*) {
  std::unique_lock<std::mutex> lock(_lock);
  for (uint32_t n = 0; n < count; ++n) std::erase(_nodeListeners, records[n]);
  _deliveryDone.wait(lock, [this] { return _deliveries == 0; });
}

void tSimListenerDeviceTree::addNode(iDeviceNode* parent, iDeviceNode* node, uint32_t classCode) {
  std::lock_guard<std::mutex> lock(_lock);
  _placed[node] = {parent, classCode};
}

void tSimListenerDeviceTree::failNextQuery(int code) {
  std::lock_guard<std::mutex> lock(_lock);
  _queryFailure = code;
}

std::size_t tSimListenerDeviceTree::liveQueries() const {
  std::lock_guard<std::mutex> lock(_lock);
  return _queryClasses.size();
}

uint64_t* tSimListenerDeviceTree::getIds(uint32_t query, uint32_t attribute, iDeviceNode* parent,
                                         uint32_t* count, int* status) {
  std::lock_guard<std::mutex> lock(_lock);
  *count = 0;
  auto found = _queryClasses.find(query);
  if (attribute != 4 || found == _queryClasses.end()) {
    if (status != nullptr && *status >= 0) *status = -50004;
    return nullptr;
  }
  std::vector<uint64_t> ids;
  for (const auto& [node, placed] : _placed)
    if (placed.classCode == found->second && below(node, parent)) ids.push_back(node->getId());
  auto* block = static_cast<uint64_t*>(
      nQoKAL100_malloc(std::max<std::size_t>(ids.size(), 1) * sizeof(uint64_t)));
  if (block == nullptr) {
    if (status != nullptr && *status >= 0) *status = -50352;
    return nullptr;
  }
  std::copy(ids.begin(), ids.end(), block);
  *count = static_cast<uint32_t>(ids.size());
  _idLists.insert(block);
  return block;
}

void tSimListenerDeviceTree::freeIds(uint64_t* ids) {
  std::lock_guard<std::mutex> lock(_lock);
  if (_idLists.erase(ids) == 0)
    nQoKAL250_halt("qoplatform", "tSimListenerDeviceTree", 264, "free of ids not handed out");
  nQoKAL100_free(ids);
}

std::size_t tSimListenerDeviceTree::liveIdLists() const {
  std::lock_guard<std::mutex> lock(_lock);
  return _idLists.size();
}

std::vector<tDeviceNodeListenerRecord> tSimListenerDeviceTree::nodeListeners() const {
  std::lock_guard<std::mutex> lock(_lock);
  std::vector<tDeviceNodeListenerRecord> copies;
  for (const tDeviceNodeListenerRecord* record : _nodeListeners) copies.push_back(*record);
  return copies;
}

void tSimListenerDeviceTree::deliverNodeEvent(uint32_t kind, iDeviceNode* node) {
  std::vector<iDeviceNodeObserver*> owners;
  {
    std::lock_guard<std::mutex> lock(_lock);
    auto placed = _placed.find(node);
    const uint32_t classCode = placed != _placed.end() ? placed->second.classCode : 0;
    for (const tDeviceNodeListenerRecord* record : _nodeListeners) {
      auto query = _queryClasses.find(record->query);
      if (record->kind == kind && query != _queryClasses.end() && query->second == classCode)
        owners.push_back(record->owner);
    }
    ++_deliveries;
  }
  for (iDeviceNodeObserver* owner : owners) {
    int status = 0;
    if (kind == tDeviceNodeListenerRecord::kArrived)
      owner->nodeArrived(node, &status);
    else
      owner->nodeRemoved(node, &status);
  }
  std::lock_guard<std::mutex> lock(_lock);
  --_deliveries;
  _deliveryDone.notify_all();
}

}  // namespace nQoSim
