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

bool tByteParameterBlock::tWriter::takes(std::size_t size, int& status) {
  if (!proceed(status) || status < 0) return false;
  if (_block._bytes.size() - _block._writePosition >= size) return true;
  if (nQoMDBG100::takesCode(status, nQoORB100::kEndOfStream)) status = nQoORB100::kEndOfStream;
  return false;
}

void tByteParameterBlock::tWriter::write(uint64_t value, nQoORB100::tStreamOperation::tType type,
                                         std::size_t size, int& status) {
  if (takes(size, status)) put(value, type, size);
}

void tByteParameterBlock::tWriter::put(uint64_t value, nQoORB100::tStreamOperation::tType type,
                                       std::size_t size) {
  for (std::size_t i = 0; i < size; ++i)
    _block._bytes[_block._writePosition + i] = uint8_t(value >> (8 * i));
  _block._writePosition += size;
  log(type, value);
}

void tByteParameterBlock::tWriter::writeString(const nQoORB100::tNarrowString& value, int& status) {
  if (!takes(4 + value.size(), status)) return;
  put(value.size(), nQoORB100::tStreamOperation::kU32, 4);
  for (std::size_t i = 0; i < value.size(); ++i)
    _block._bytes[_block._writePosition++] = uint8_t(value.c_str()[i]);
}
void tByteParameterBlock::tWriter::writeI16(int16_t value, int& status) {
  write(static_cast<uint16_t>(value), nQoORB100::tStreamOperation::kI16, 2, status);
}
void tByteParameterBlock::tWriter::writeU16(uint16_t value, int& status) {
  write(value, nQoORB100::tStreamOperation::kU16, 2, status);
}
void tByteParameterBlock::tWriter::writeI32(int32_t value, int& status) {
  write(static_cast<uint32_t>(value), nQoORB100::tStreamOperation::kI32, 4, status);
}
void tByteParameterBlock::tWriter::writeU32(uint32_t value, int& status) {
  write(value, nQoORB100::tStreamOperation::kU32, 4, status);
}
void tByteParameterBlock::tWriter::writeU64(uint64_t value, int& status) {
  write(value, nQoORB100::tStreamOperation::kU64, 8, status);
}

uint16_t tByteParameterBlock::readU16(int& status) {
  return static_cast<uint16_t>(take(2, status));
}
int32_t tByteParameterBlock::readI32(int& status) { return static_cast<int32_t>(take(4, status)); }
uint32_t tByteParameterBlock::readU32(int& status) { return take(4, status); }

}  // namespace nQoSim
