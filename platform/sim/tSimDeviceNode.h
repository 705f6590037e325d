// A device-tree node with scripted attributes; an attribute that was not set
// answers 0 and sets -50004.
//
//   nQoSim::tSimDeviceNode bridge;
//   bridge.setFourCharacterCode(1, 0x20706369);   // " pci"
//   bridge.setNumber(1, 0x12D8);
#pragma once

#include <cstdint>
#include <map>

#include "bus/iDeviceNode.h"

namespace nQoSim {

class tSimDeviceNode : public iDeviceNode {
 public:
  void setFourCharacterCode(uint32_t attribute, uint32_t code) { _codes[attribute] = code; }
  void setNumber(uint32_t attribute, uint32_t value) { _numbers[attribute] = value; }

  uint32_t getFourCharacterCode(uint32_t attribute, int* status) override {
    return answer(_codes, attribute, status);
  }
  uint32_t getNumber(uint32_t attribute, int* status) override {
    return answer(_numbers, attribute, status);
  }

 private:
  static uint32_t answer(const std::map<uint32_t, uint32_t>& values, uint32_t attribute,
                         int* status) {
    auto found = values.find(attribute);
    if (found != values.end()) return found->second;
    if (status != nullptr && *status >= 0) *status = -50004;
    return 0;
  }

  std::map<uint32_t, uint32_t> _codes;
  std::map<uint32_t, uint32_t> _numbers;
};

}  // namespace nQoSim
