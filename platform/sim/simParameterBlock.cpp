#include "sim/simParameterBlock.h"

#include "mdbg/tStatus2.h"

namespace nQoSim {

uint32_t tByteParameterBlock::take(std::size_t size, int& status) {
  if (_bytes.size() - _position < size) {
    if (nQoMDBG100::takesCode(status, kOutOfValues)) status = kOutOfValues;
    return 0;
  }
  uint32_t value = 0;
  for (std::size_t i = 0; i < size; ++i) value |= uint32_t(_bytes[_position + i]) << (8 * i);
  _position += size;
  return value;
}

void tByteParameterBlock::writeU32(uint32_t value, int& status) {
  if (_bytes.size() - _writePosition < 4) {
    if (nQoMDBG100::takesCode(status, kOutOfValues)) status = kOutOfValues;
    return;
  }
  for (std::size_t i = 0; i < 4; ++i) _bytes[_writePosition + i] = uint8_t(value >> (8 * i));
  _writePosition += 4;
  _written.push_back(value);
}

uint16_t tByteParameterBlock::readU16(int& status) {
  return static_cast<uint16_t>(take(2, status));
}
int32_t tByteParameterBlock::readI32(int& status) { return static_cast<int32_t>(take(4, status)); }
uint32_t tByteParameterBlock::readU32(int& status) { return take(4, status); }

}  // namespace nQoSim
