// A node of the device tree: attributes by number.
#pragma once

#include <cstdint>

class iDeviceNode {
 public:
  virtual ~iDeviceNode() = default;
  // The node's 64-bit id, unique in the tree.
  virtual uint64_t getId() = 0;
  // A text attribute as a four-character code, first character in the most
  // significant byte; 0 with the status set when the node has none.
  virtual uint32_t getFourCharacterCode(uint32_t attribute, int* status) = 0;
  // A numeric attribute; 0 with the status set when the node has none.
  virtual uint32_t getNumber(uint32_t attribute, int* status) = 0;
  // A buffer attribute: null when the node has none; else a block of the
  // platform allocator of size bytes, freed with freeBuffer. size may be null.
  virtual const uint8_t* getBuffer(uint32_t attribute, uint32_t* size, int* status) = 0;
  virtual void freeBuffer(const uint8_t* buffer) = 0;
};
