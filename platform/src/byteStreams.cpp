// Byte-buffer streams of the object broker and the GUID's stream operations.
#include "mdbg/tStatus2.h"
#include "orb/tByteInputStream.h"
#include "orb/tByteOutputStream.h"
#include "orb/tGUID.h"

namespace nQoORB100 {

namespace {
void endOfStream(int& status) {
  if (nQoMDBG100::takesCode(status, kEndOfStream)) status = kEndOfStream;
}
}  // namespace

tNarrowString tByteInputStream::readString(int& status) {
  tNarrowString text;
  const std::size_t start = _position;
  const std::size_t length = read(4, status);
  if (status < 0) return text;
  if (_size - _position < length) {
    _position = start;
    endOfStream(status);
    return text;
  }
  if (!text.assign(reinterpret_cast<const char*>(_bytes + _position), length)) {
    _position = start;
    if (nQoMDBG100::takesCode(status, -50352)) status = -50352;
    return text;
  }
  _position += length;
  return text;
}

uint64_t tByteInputStream::read(std::size_t width, int& status) {
  if (status < 0) return 0;
  if (_size - _position < width) {
    endOfStream(status);
    return 0;
  }
  uint64_t value = 0;
  for (std::size_t i = 0; i < width; ++i) value |= uint64_t{_bytes[_position + i]} << (8 * i);
  _position += width;
  return value;
}

int16_t tByteInputStream::readI16(int& status) { return static_cast<int16_t>(read(2, status)); }
uint16_t tByteInputStream::readU16(int& status) { return static_cast<uint16_t>(read(2, status)); }
int32_t tByteInputStream::readI32(int& status) { return static_cast<int32_t>(read(4, status)); }
uint32_t tByteInputStream::readU32(int& status) { return static_cast<uint32_t>(read(4, status)); }
uint64_t tByteInputStream::readU64(int& status) { return read(8, status); }

bool tByteOutputStream::fits(std::size_t size, int& status) {
  if (_limit - _bytes.size() >= size) return true;
  endOfStream(status);
  return false;
}

void tByteOutputStream::write(uint64_t value, std::size_t width, int& status) {
  if (status < 0 || !fits(width, status)) return;
  for (std::size_t i = 0; i < width; ++i) _bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void tByteOutputStream::writeString(const tNarrowString& value, int& status) {
  if (status < 0 || !fits(4 + value.size(), status)) return;
  write(value.size(), 4, status);
  _bytes.insert(_bytes.end(), value.c_str(), value.c_str() + value.size());
}

void tByteOutputStream::writeI16(int16_t value, int& status) {
  write(static_cast<uint16_t>(value), 2, status);
}
void tByteOutputStream::writeU16(uint16_t value, int& status) { write(value, 2, status); }
void tByteOutputStream::writeI32(int32_t value, int& status) {
  write(static_cast<uint32_t>(value), 4, status);
}
void tByteOutputStream::writeU32(uint32_t value, int& status) { write(value, 4, status); }
void tByteOutputStream::writeU64(uint64_t value, int& status) { write(value, 8, status); }

void tGUID::readExternal(iExternalInputStream& stream, int& status) {
  if (status < 0) return;
  const uint64_t first = stream.readU64(status);
  const uint64_t second = stream.readU64(status);
  if (status < 0) return;
  high = first;
  low = second;
}

void tGUID::writeExternal(iExternalOutputStream& stream, int& status) const {
  if (status < 0) return;
  stream.writeU64(high, status);
  stream.writeU64(low, status);
}

}  // namespace nQoORB100
