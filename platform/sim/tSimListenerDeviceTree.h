// A device tree for tests that keeps listener registrations and delivers
// device-removal notifications:
//
//   nQoSim::tSimListenerDeviceTree tree;
//   nQoSim::setDeviceTree(&tree);
//   tree.failNextRegistration(-50300);
//   std::thread notifier([&] { tree.deliverRemoval(nullptr); });
//
// Unregistering waits until every delivery in progress has returned, so an
// observer is never called after its record is unregistered.
//
// Node lists: getNodeList answers the nodes a test set, with the failure word
// it set; every query is recorded and every list must be freed.
//
//   tree.setNodes({&root, &bridge});
//   tree.failNextNodeList(-50004);   // the next query answers null
//
// Nodes by handle: findNode answers the node a test set for that handle.
//
//   tree.setNode(7, &boardNode);
//
// Node classes and listeners: queries select nodes by class below a node;
// arrivals and removals reach the records whose query's class the node has.
//
//   tree.addNode(&board, &child, 0x206C756D);   // " lum" below the board
//   tree.failNextQuery(-50352);                  // the next createQuery answers 0
//   std::thread arrival([&] { tree.deliverNodeEvent(32, &child); });
//
// Id lists (attribute 4): the ids of the nodes of a query's class below the
// parent, in blocks of the platform allocator that must be freed.
//
//   tree.getIds(query, 4, &board, &count, &status);   // then freeIds
#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "bus/iDeviceTree.h"

namespace nQoSim {

class tSimListenerDeviceTree : public iDeviceTree {
 public:
  struct tRegistration {
    enum tOperation { kRegister, kUnregister } operation;
    tDeviceTreeListenerRecord record;  // a copy, as it was at the call
    const tDeviceTreeListenerRecord* address;
    int status;  // the status after the call
  };
  struct tNodeListQuery {
    uint32_t first;
    uint32_t second;
    const iDevice* device;
    bool operator==(const tNodeListQuery&) const = default;
  };

  // Answers the device that a test set (null by default) for every id.
  iDevice* findDevice(uint32_t id, int* status) override;
  void registerListener(tDeviceTreeListenerRecord* record, int* status) override;
  void unregisterListener(tDeviceTreeListenerRecord* record, int* status) override;
  tDeviceNodeList* getNodeList(uint32_t first, uint32_t second, iDevice* device,
                               int* status) override;
  void freeNodeList(tDeviceNodeList* list) override;
  iDeviceNode* findNode(uint32_t handle, int* status) override;
  uint32_t createQuery(int* status) override;
  void releaseQuery(uint32_t query) override;
  void setQueryClass(uint32_t query, uint32_t classCode, int* status) override;
  tDeviceNodeList* getNodesBelow(uint32_t query, iDeviceNode* parent, int* status) override;
  void registerNodeListeners(tDeviceNodeListenerRecord* const* records, uint32_t count,
                             int* status) override;
  void unregisterNodeListeners(tDeviceNodeListenerRecord* const* records, uint32_t count,
                               int* status) override;
  uint64_t* getIds(uint32_t query, uint32_t attribute, iDeviceNode* parent, uint32_t* count,
                   int* status) override;
  void freeIds(uint64_t* ids) override;

  void setDevice(iDevice* device);
  // The next registration stores this code in the caller's status and
  // registers nothing.
  void failNextRegistration(int code);
  // Calls observeDevDeviceRemoved of every registered listener on the calling
  // thread; returns when they all have returned.
  void deliverRemoval(iDevice* device);

  std::vector<tRegistration> registrations() const;
  std::size_t listenerCount() const;

  void setNodes(std::vector<iDeviceNode*> nodes, uint32_t failureWord = 0);
  void failNextNodeList(int code);
  std::vector<tNodeListQuery> nodeListQueries() const;
  // Lists handed out and not yet freed.
  std::size_t liveNodeLists() const;
  // Null removes the handle's node.
  void setNode(uint32_t handle, iDeviceNode* node);

  void addNode(iDeviceNode* parent, iDeviceNode* node, uint32_t classCode);
  void failNextQuery(int code);
  // Queries made and not yet released.
  std::size_t liveQueries() const;
  // Copies of the node listener records registered now, in order.
  std::vector<tDeviceNodeListenerRecord> nodeListeners() const;
  // Calls the owner of every record of that kind whose query's class the
  // node has, on the calling thread; returns when they all have returned.
  void deliverNodeEvent(uint32_t kind, iDeviceNode* node);
  // Id lists handed out and not yet freed.
  std::size_t liveIdLists() const;

 private:
  mutable std::mutex _lock;
  std::condition_variable _deliveryDone;
  std::vector<tDeviceTreeListenerRecord*> _listeners;
  std::vector<tRegistration> _registrations;
  iDevice* _device = nullptr;
  int _failCode = 0;
  int _deliveries = 0;

  struct tHeldList {
    tDeviceNodeList list;
    std::vector<iDeviceNode*> nodes;
  };
  std::vector<iDeviceNode*> _nodes;
  uint32_t _failureWord = 0;
  int _nodeListFailure = 0;
  std::vector<tNodeListQuery> _nodeListQueries;
  std::map<const tDeviceNodeList*, std::unique_ptr<tHeldList>> _lists;
  std::map<uint32_t, iDeviceNode*> _nodesByHandle;

  struct tPlacedNode {
    iDeviceNode* parent;
    uint32_t classCode;
  };
  std::map<iDeviceNode*, tPlacedNode> _placed;
  std::map<uint32_t, uint32_t> _queryClasses;
  uint32_t _nextQuery = 1;
  int _queryFailure = 0;
  std::vector<tDeviceNodeListenerRecord*> _nodeListeners;
  std::set<const uint64_t*> _idLists;

  tDeviceNodeList* handOut(std::vector<iDeviceNode*> nodes);
  bool below(iDeviceNode* node, iDeviceNode* parent) const;
};

}  // namespace nQoSim
