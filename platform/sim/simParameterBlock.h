// A control parameter block over bytes a test supplies, read in order,
// little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "mrl/iControlParameterBlock.h"

namespace nQoSim {

class tByteParameterBlock : public nQoMRL100::iControlParameterBlock {
 public:
  explicit tByteParameterBlock(std::vector<uint8_t> bytes) : _bytes(std::move(bytes)) {}

  uint16_t readU16(int& status) override;
  int32_t readI32(int& status) override;
  uint32_t readU32(int& status) override;
  std::size_t position() const { return _position; }

 private:
  // The next size bytes as a number; 0 and kOutOfValues when fewer are left.
  uint32_t take(std::size_t size, int& status);

  std::vector<uint8_t> _bytes;
  std::size_t _position = 0;
};

}  // namespace nQoSim
