// A device tree that is a table of devices by index; otherwise a listener
// device tree (listeners, node lists). A look-up of an index beyond the table
// answers null and, when a test asks for it, sets a code.
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
  void clearLookups() { _lookups.clear(); }
  // A look-up of an unknown id sets this code (0: none).
  void setUnknownDeviceCode(int code) { _unknownCode = code; }

  iDevice* findDevice(uint32_t id, int* status) override {
    _lookups.push_back(id);
    if (id < _devices.size()) return _devices[id];
    if (status != nullptr && _unknownCode != 0 && *status >= 0) *status = _unknownCode;
    return nullptr;
  }

 private:
  std::vector<iDevice*> _devices;
  std::vector<uint32_t> _lookups;
  int _unknownCode = 0;
};

}  // namespace nQoSim
