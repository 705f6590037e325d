// A device tree that is a table of devices by index; otherwise a listener
// device tree (listeners, node lists).
//
//   nQoSim::tSimDeviceTable tree({&device});
//   nQoSim::setDeviceTree(&tree);   // getDeviceTree answers it
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "sim/tSimListenerDeviceTree.h"

namespace nQoSim {

class tSimDeviceTable : public tSimListenerDeviceTree {
 public:
  explicit tSimDeviceTable(std::vector<iDevice*> devices) : _devices(std::move(devices)) {}

  const std::vector<uint32_t>& lookups() const { return _lookups; }

  iDevice* findDevice(uint32_t id, int*) override {
    _lookups.push_back(id);
    return id < _devices.size() ? _devices[id] : nullptr;
  }

 private:
  std::vector<iDevice*> _devices;
  std::vector<uint32_t> _lookups;
};

}  // namespace nQoSim
