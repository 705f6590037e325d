// A device-tree node with scripted attributes; an attribute that was not set
// answers 0 and sets -50004. Every node has an id of its own; buffers come
// from the platform allocator, so a failed allocation answers none.
//
//   nQoSim::tSimDeviceNode bridge;
//   bridge.setFourCharacterCode(1, 0x20706369);   // " pci"
//   bridge.setNumber(1, 0x12D8);
//   bridge.setBuffer(18756, bytes);               // getBuffer hands out copies
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <map>
#include <vector>

#include "bus/iDeviceNode.h"
#include "kal/nQoKAL.h"

namespace nQoSim {

class tSimDeviceNode : public iDeviceNode {
 public:
  void setFourCharacterCode(uint32_t attribute, uint32_t code) { _codes[attribute] = code; }
  void setNumber(uint32_t attribute, uint32_t value) { _numbers[attribute] = value; }
  void setBuffer(uint32_t attribute, std::vector<uint8_t> bytes) {
    _buffers[attribute] = std::move(bytes);
  }

  uint64_t getId() override { return _id; }
  uint32_t getFourCharacterCode(uint32_t attribute, int* status) override {
    return answer(_codes, attribute, status);
  }
  uint32_t getNumber(uint32_t attribute, int* status) override {
    return answer(_numbers, attribute, status);
  }
  // A copy of the buffer; every copy handed out must be freed.
  const uint8_t* getBuffer(uint32_t attribute, uint32_t* size, int*) override {
    auto found = _buffers.find(attribute);
    if (found == _buffers.end()) return nullptr;
    auto* copy =
        static_cast<uint8_t*>(nQoKAL100_malloc(std::max<std::size_t>(found->second.size(), 1)));
    if (copy == nullptr) return nullptr;
    if (size != nullptr) *size = static_cast<uint32_t>(found->second.size());
    std::copy(found->second.begin(), found->second.end(), copy);
    ++_liveBuffers;
    return copy;
  }
  void freeBuffer(const uint8_t* buffer) override {
    nQoKAL100_free(const_cast<uint8_t*>(buffer));
    --_liveBuffers;
  }
  int liveBuffers() const { return _liveBuffers; }

 private:
  static uint32_t answer(const std::map<uint32_t, uint32_t>& values, uint32_t attribute,
                         int* status) {
    auto found = values.find(attribute);
    if (found != values.end()) return found->second;
    if (status != nullptr && *status >= 0) *status = -50004;
    return 0;
  }

  static inline std::atomic<uint64_t> gNextId{0x5100000000000001};

  uint64_t _id = gNextId++;
  std::map<uint32_t, uint32_t> _codes;
  std::map<uint32_t, uint32_t> _numbers;
  std::map<uint32_t, std::vector<uint8_t>> _buffers;
  int _liveBuffers = 0;
};

}  // namespace nQoSim
