// A node of the device tree: attributes by number.
#pragma once

#include <cstdint>

class iDeviceNode {
 public:
  virtual ~iDeviceNode() = default;
  // A text attribute as a four-character code, first character in the most
  // significant byte; 0 with the status set when the node has none.
  virtual uint32_t getFourCharacterCode(uint32_t attribute, int* status) = 0;
  // A numeric attribute; 0 with the status set when the node has none.
  virtual uint32_t getNumber(uint32_t attribute, int* status) = 0;
};
