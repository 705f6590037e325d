#include "sim/simStreams.h"

#include <type_traits>

namespace nQoSim {

namespace {
uint64_t bitsOf(int64_t value) { return static_cast<uint64_t>(value); }
}  // namespace

void tRecordingOutputStream::writeString(const nQoORB100::tNarrowString& value, int& status) {
  _calls.push_back({"writeString", value.size(), value.c_str(), status});
  tByteOutputStream::writeString(value, status);
}
void tRecordingOutputStream::writeI16(int16_t value, int& status) {
  _calls.push_back({"writeI16", bitsOf(value), {}, status});
  tByteOutputStream::writeI16(value, status);
}
void tRecordingOutputStream::writeU16(uint16_t value, int& status) {
  _calls.push_back({"writeU16", value, {}, status});
  tByteOutputStream::writeU16(value, status);
}
void tRecordingOutputStream::writeI32(int32_t value, int& status) {
  _calls.push_back({"writeI32", bitsOf(value), {}, status});
  tByteOutputStream::writeI32(value, status);
}
void tRecordingOutputStream::writeU32(uint32_t value, int& status) {
  _calls.push_back({"writeU32", value, {}, status});
  tByteOutputStream::writeU32(value, status);
}
void tRecordingOutputStream::writeU64(uint64_t value, int& status) {
  _calls.push_back({"writeU64", value, {}, status});
  tByteOutputStream::writeU64(value, status);
}

template <class T>
T tScriptedInputStream::recorded(const char* operation, T value, int incoming) {
  if constexpr (std::is_same_v<T, nQoORB100::tNarrowString>)
    _calls.push_back({operation, value.size(), value.c_str(), incoming});
  else if constexpr (std::is_signed_v<T>)
    _calls.push_back({operation, bitsOf(value), {}, incoming});
  else
    _calls.push_back({operation, value, {}, incoming});
  return value;
}

nQoORB100::tNarrowString tScriptedInputStream::readString(int& status) {
  const int incoming = status;
  return recorded("readString", tByteInputStream::readString(status), incoming);
}
int16_t tScriptedInputStream::readI16(int& status) {
  const int incoming = status;
  return recorded("readI16", tByteInputStream::readI16(status), incoming);
}
uint16_t tScriptedInputStream::readU16(int& status) {
  const int incoming = status;
  return recorded("readU16", tByteInputStream::readU16(status), incoming);
}
int32_t tScriptedInputStream::readI32(int& status) {
  const int incoming = status;
  return recorded("readI32", tByteInputStream::readI32(status), incoming);
}
uint32_t tScriptedInputStream::readU32(int& status) {
  const int incoming = status;
  return recorded("readU32", tByteInputStream::readU32(status), incoming);
}
uint64_t tScriptedInputStream::readU64(int& status) {
  const int incoming = status;
  return recorded("readU64", tByteInputStream::readU64(status), incoming);
}

}  // namespace nQoSim
