#include "sim/simStreams.h"

#include <type_traits>

#include "mdbg/tStatus2.h"

namespace nQoSim {

bool tStreamFault::fails(std::size_t call, int& status) const {
  if (call != _failAt) return false;
  if (nQoMDBG100::takesCode(status, _code)) status = _code;
  return true;
}

bool tRecordingOutputStream::record(const char* operation, uint64_t value, const std::string& text,
                                    int& status) {
  _calls.push_back({operation, value, text, status});
  return !fails(_calls.size(), status);
}

void tRecordingOutputStream::writeString(const nQoORB100::tNarrowString& value, int& status) {
  if (record("writeString", value.size(), value.c_str(), status)) _bytes.writeString(value, status);
}
void tRecordingOutputStream::writeI16(int16_t value, int& status) {
  if (record("writeI16", static_cast<uint64_t>(int64_t{value}), {}, status))
    _bytes.writeI16(value, status);
}
void tRecordingOutputStream::writeU16(uint16_t value, int& status) {
  if (record("writeU16", value, {}, status)) _bytes.writeU16(value, status);
}
void tRecordingOutputStream::writeI32(int32_t value, int& status) {
  if (record("writeI32", static_cast<uint64_t>(int64_t{value}), {}, status))
    _bytes.writeI32(value, status);
}
void tRecordingOutputStream::writeU32(uint32_t value, int& status) {
  if (record("writeU32", value, {}, status)) _bytes.writeU32(value, status);
}
void tRecordingOutputStream::writeU64(uint64_t value, int& status) {
  if (record("writeU64", value, {}, status)) _bytes.writeU64(value, status);
}

template <class T>
T tScriptedInputStream::read(const char* operation, T (nQoORB100::tByteInputStream::*reader)(int&),
                             int& status) {
  const int incoming = status;
  if (fails(_calls.size() + 1, status)) {
    _calls.push_back({operation, 0, {}, incoming});
    return T{};
  }
  T value = (_bytes.*reader)(status);
  if constexpr (std::is_same_v<T, nQoORB100::tNarrowString>)
    _calls.push_back({operation, value.size(), value.c_str(), incoming});
  else if constexpr (std::is_signed_v<T>)
    _calls.push_back({operation, static_cast<uint64_t>(int64_t{value}), {}, incoming});
  else
    _calls.push_back({operation, value, {}, incoming});
  return value;
}

nQoORB100::tNarrowString tScriptedInputStream::readString(int& status) {
  return read("readString", &nQoORB100::tByteInputStream::readString, status);
}
int16_t tScriptedInputStream::readI16(int& status) {
  return read("readI16", &nQoORB100::tByteInputStream::readI16, status);
}
uint16_t tScriptedInputStream::readU16(int& status) {
  return read("readU16", &nQoORB100::tByteInputStream::readU16, status);
}
int32_t tScriptedInputStream::readI32(int& status) {
  return read("readI32", &nQoORB100::tByteInputStream::readI32, status);
}
uint32_t tScriptedInputStream::readU32(int& status) {
  return read("readU32", &nQoORB100::tByteInputStream::readU32, status);
}
uint64_t tScriptedInputStream::readU64(int& status) {
  return read("readU64", &nQoORB100::tByteInputStream::readU64, status);
}

}  // namespace nQoSim
