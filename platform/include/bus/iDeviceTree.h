// The platform's device tree: devices by id, node lists with attributes, and
// notifications of device removal to registered listeners.
#pragma once

#include <cstdint>

class iDevice;
class iDeviceNode;

// Receives device-tree notifications.
class iDeviceTreeObserver {
 public:
  virtual ~iDeviceTreeObserver() = default;
  virtual void observeDevDeviceRemoved(iDevice* device) = 0;
};

// What a listener registers: {version, kind, flags, event mask, observer}.
struct tDeviceTreeListenerRecord {
  uint32_t version;
  uint32_t kind;
  uint32_t flags;
  uint32_t eventMask;
  iDeviceTreeObserver* observer;
};

// A list of nodes that the device tree hands out; freed with freeNodeList.
struct tDeviceNodeList {
  uint32_t failure;  // non-zero: the list could not be gathered
  uint32_t count;
  iDeviceNode* const* nodes;
};

// Told of nodes of a query's class that arrive (kind 32) or leave (kind 34).
class iDeviceNodeObserver {
 public:
  virtual ~iDeviceNodeObserver() = default;
  // True unless the status holds an error.
  virtual bool nodeArrived(iDeviceNode* node, int* status) = 0;
  virtual void nodeRemoved(iDeviceNode* node, int* status) = 0;
};

// What a node listener registers: {kind, 1, 0, query, owner}.
struct tDeviceNodeListenerRecord {
  static constexpr uint32_t kArrived = 32;
  static constexpr uint32_t kRemoved = 34;
  uint32_t kind;
  uint32_t one;
  uint32_t zero;
  uint32_t query;
  iDeviceNodeObserver* owner;

  // The record's notification: the owner is told of the node by the kind.
  void notify(iDeviceNode* node, int* status) const {
    if (kind == kArrived)
      owner->nodeArrived(node, status);
    else
      owner->nodeRemoved(node, status);
  }
};

class iDeviceTree {
 public:
  // The singleton, or null when the platform has no device tree.
  static iDeviceTree* getDeviceTree();

  virtual ~iDeviceTree() = default;
  // The device with that id (or index), or null.
  virtual iDevice* findDevice(uint32_t id, int* status) = 0;
  // Notifications reach the record's observer until it is unregistered.
  virtual void registerListener(tDeviceTreeListenerRecord* record, int* status) = 0;
  virtual void unregisterListener(tDeviceTreeListenerRecord* record, int* status) = 0;
  // The nodes on the way from the root to a device (first, second: 0, 0), or
  // null with the status set.
  virtual tDeviceNodeList* getNodeList(uint32_t first, uint32_t second, iDevice* device,
                                       int* status) = 0;
  virtual void freeNodeList(tDeviceNodeList* list) = 0;
  // The node of the device with that platform handle, or null when there is
  // none (the status is left alone).
  virtual iDeviceNode* findNode(uint32_t handle, int* status) = 0;

  // A query over the tree's nodes, by id; 0 with the status set when none
  // can be made. Released with releaseQuery.
  virtual uint32_t createQuery(int* status) = 0;
  virtual void releaseQuery(uint32_t query) = 0;
  // Only nodes of the class (a four-character code) answer the query.
  virtual void setQueryClass(uint32_t query, uint32_t classCode, int* status) = 0;
  // The query's nodes anywhere below the parent, or null with the status
  // set; freed with freeNodeList.
  virtual tDeviceNodeList* getNodesBelow(uint32_t query, iDeviceNode* parent, int* status) = 0;
  // Node listeners, as an array of records.
  virtual void registerNodeListeners(tDeviceNodeListenerRecord* const* records, uint32_t count,
                                     int* status) = 0;
  virtual void unregisterNodeListeners(tDeviceNodeListenerRecord* const* records, uint32_t count,
                                       int* status) = 0;
  // An id-list attribute (attribute 4: the ids of the query's nodes below the
  // parent) as count 64-bit ids in a block of the platform allocator, freed
  // with freeIds; null with count 0 and the status set when there is none.
  virtual uint64_t* getIds(uint32_t query, uint32_t attribute, iDeviceNode* parent, uint32_t* count,
                           int* status) = 0;
  virtual void freeIds(uint64_t* ids) = 0;
};
