#include "sim/tSimListenerDeviceTree.h"

#include <algorithm>

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
    for (const tDeviceTreeListenerRecord* record : _listeners) observers.push_back(record->observer);
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

}  // namespace nQoSim
