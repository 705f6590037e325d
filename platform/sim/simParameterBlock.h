// A control parameter block over bytes a test supplies, read in order,
// little-endian. As an out block its data area is those bytes; 32-bit writes
// fill them in order from the start and are captured in order.
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

  void* getData() override { return _bytes.data(); }
  uint32_t getSize() const override { return static_cast<uint32_t>(_bytes.size()); }
  void writeU32(uint32_t value, int& status) override;
  // Every value a writeU32 stored, in order.
  const std::vector<uint32_t>& written() const { return _written; }

 private:
  // The next size bytes as a number; 0 and kOutOfValues when fewer are left.
  uint32_t take(std::size_t size, int& status);

  std::vector<uint8_t> _bytes;
  std::size_t _position = 0;
  std::size_t _writePosition = 0;
  std::vector<uint32_t> _written;
};

}  // namespace nQoSim
