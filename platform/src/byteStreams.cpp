// Byte-buffer streams of the object broker and the GUID's stream operations.
#include <cstdio>

#include "mdbg/tStatus2.h"
#include "orb/tByteInputStream.h"
#include "orb/tByteOutputStream.h"
#include "orb/tGUID.h"

namespace nQoORB100 {

namespace {
void setStreamCode(int& status, int code) {
  if (nQoMDBG100::takesCode(status, code)) status = code;
}

constexpr std::size_t kWidths[] = {2, 2, 4, 4, 8};
std::size_t widthOf(tStreamOperation::tType type) { return kWidths[type]; }
}  // namespace

bool tStreamOperationLog::proceed(int& status) {
  if (++_calls != _failAt) return true;
  _failAt = 0;
  setStreamCode(status, _failure);
  return false;
}

void tStreamOperationLog::log(tStreamOperation::tType type, uint64_t bits) {
  int64_t value = static_cast<int64_t>(bits);
  if (type == tStreamOperation::kI16) value = static_cast<int16_t>(bits);
  if (type == tStreamOperation::kI32) value = static_cast<int32_t>(bits);
  _operations.push_back({type, value});
}

tNarrowString tByteInputStream::readString(int& status) {
  tNarrowString text;
  const std::size_t start = _position;
  const std::size_t length = read(tStreamOperation::kU32, status);
  if (status < 0) return text;
  if (_size - _position < length) {
    _position = start;
    setStreamCode(status, kEndOfStream);
    return text;
  }
  if (!text.assign(reinterpret_cast<const char*>(_bytes + _position), length)) {
    _position = start;
    setStreamCode(status, -50352);
    return text;
  }
  _position += length;
  return text;
}

uint64_t tByteInputStream::read(tStreamOperation::tType type, int& status) {
  if (!proceed(status) || status < 0) return 0;
  const std::size_t width = widthOf(type);
  if (_size - _position < width) {
    setStreamCode(status, kEndOfStream);
    return 0;
  }
  uint64_t value = 0;
  for (std::size_t i = 0; i < width; ++i) value |= uint64_t{_bytes[_position + i]} << (8 * i);
  _position += width;
  log(type, value);
  return value;
}

int16_t tByteInputStream::readI16(int& status) {
  return static_cast<int16_t>(read(tStreamOperation::kI16, status));
}
uint16_t tByteInputStream::readU16(int& status) {
  return static_cast<uint16_t>(read(tStreamOperation::kU16, status));
}
int32_t tByteInputStream::readI32(int& status) {
  return static_cast<int32_t>(read(tStreamOperation::kI32, status));
}
uint32_t tByteInputStream::readU32(int& status) {
  return static_cast<uint32_t>(read(tStreamOperation::kU32, status));
}
uint64_t tByteInputStream::readU64(int& status) { return read(tStreamOperation::kU64, status); }

bool tByteOutputStream::fits(std::size_t size, int& status) {
  if (_limit - _bytes.size() >= size) return true;
  setStreamCode(status, kEndOfStream);
  return false;
}

bool tByteOutputStream::takes(std::size_t size, int& status) {
  return proceed(status) && status >= 0 && fits(size, status);
}

void tByteOutputStream::put(uint64_t value, tStreamOperation::tType type) {
  for (std::size_t i = 0; i < widthOf(type); ++i)
    _bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
  log(type, value);
}

void tByteOutputStream::write(uint64_t value, tStreamOperation::tType type, int& status) {
  if (takes(widthOf(type), status)) put(value, type);
}

void tByteOutputStream::writeString(const tNarrowString& value, int& status) {
  if (!takes(4 + value.size(), status)) return;
  put(value.size(), tStreamOperation::kU32);
  _bytes.insert(_bytes.end(), value.c_str(), value.c_str() + value.size());
}

void tByteOutputStream::writeI16(int16_t value, int& status) {
  write(static_cast<uint16_t>(value), tStreamOperation::kI16, status);
}
void tByteOutputStream::writeU16(uint16_t value, int& status) {
  write(value, tStreamOperation::kU16, status);
}
void tByteOutputStream::writeI32(int32_t value, int& status) {
  write(static_cast<uint32_t>(value), tStreamOperation::kI32, status);
}
void tByteOutputStream::writeU32(uint32_t value, int& status) {
  write(value, tStreamOperation::kU32, status);
}
void tByteOutputStream::writeU64(uint64_t value, int& status) {
  write(value, tStreamOperation::kU64, status);
}

void tGUID::toString(char (&text)[kTextLength]) const {
  std::snprintf(text, kTextLength, "{%08X-%04X-%04X-%04X-%012llX}",
                static_cast<unsigned>(high >> 32), static_cast<unsigned>((high >> 16) & 0xFFFF),
                static_cast<unsigned>(high & 0xFFFF), static_cast<unsigned>(low >> 48),
                static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFull));
}

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
