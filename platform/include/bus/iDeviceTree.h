// The platform's device tree: devices by id, and notifications of device
// removal to registered listeners.
#pragma once

#include <cstdint>

class iDevice;

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
};
