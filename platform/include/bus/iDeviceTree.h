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
};
