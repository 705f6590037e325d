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
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
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

  // Answers the device that a test set (null by default) for every id.
  iDevice* findDevice(uint32_t id, int* status) override;
  void registerListener(tDeviceTreeListenerRecord* record, int* status) override;
  void unregisterListener(tDeviceTreeListenerRecord* record, int* status) override;

  void setDevice(iDevice* device);
  // The next registration stores this code in the caller's status and
  // registers nothing.
  void failNextRegistration(int code);
  // Calls observeDevDeviceRemoved of every registered listener on the calling
  // thread; returns when they all have returned.
  void deliverRemoval(iDevice* device);

  std::vector<tRegistration> registrations() const;
  std::size_t listenerCount() const;

 private:
  mutable std::mutex _lock;
  std::condition_variable _deliveryDone;
  std::vector<tDeviceTreeListenerRecord*> _listeners;
  std::vector<tRegistration> _registrations;
  iDevice* _device = nullptr;
  int _failCode = 0;
  int _deliveries = 0;
};

}  // namespace nQoSim
