// Test handles of the object broker's streams: an output stream that records
// every call in order (operation and value, also calls made under an error),
// and an input stream over bytes that sets a code at its k-th operation.
// Both count their calls:
//
//   nQoSim::tRecordingOutputStream out;
//   settings.writeExternal(out, status);
//   out.calls()[0].operation == "writeU32", out.calls()[0].value == base
//
//   nQoSim::tScriptedInputStream in(bytes);
//   in.failAt(3, -7);          // the third read sets -7 and reads nothing
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "orb/iExternalInputStream.h"
#include "orb/iExternalOutputStream.h"
#include "orb/tByteInputStream.h"
#include "orb/tByteOutputStream.h"

namespace nQoSim {

struct tStreamCall {
  std::string operation;  // "writeU32", "readString", ...
  uint64_t value;         // the value written or read (signed values sign-extended)
  std::string text;       // the string written or read
  int incoming;           // the status code the call was given
};

// The k-th call (1: the first) gets the code by the merge rule and moves no
// byte; 0 disarms.
class tStreamFault {
 public:
  void failAt(std::size_t call, int code) {
    _failAt = call;
    _code = code;
  }
  // True when this call is the one to fail (the code is then set).
  bool fails(std::size_t call, int& status) const;

 private:
  std::size_t _failAt = 0;
  int _code = 0;
};

class tRecordingOutputStream : public nQoORB100::iExternalOutputStream, public tStreamFault {
 public:
  void writeString(const nQoORB100::tNarrowString& value, int& status) override;
  void writeI16(int16_t value, int& status) override;
  void writeU16(uint16_t value, int& status) override;
  void writeI32(int32_t value, int& status) override;
  void writeU32(uint32_t value, int& status) override;
  void writeU64(uint64_t value, int& status) override;

  const std::vector<tStreamCall>& calls() const { return _calls; }
  // The bytes written, as tByteOutputStream writes them.
  const std::vector<uint8_t>& bytes() const { return _bytes.bytes(); }

 private:
  // Records the call; false when the written value is to be dropped.
  bool record(const char* operation, uint64_t value, const std::string& text, int& status);

  std::vector<tStreamCall> _calls;
  nQoORB100::tByteOutputStream _bytes;
};

class tScriptedInputStream : public nQoORB100::iExternalInputStream, public tStreamFault {
 public:
  explicit tScriptedInputStream(std::vector<uint8_t> bytes)
      : _data(std::move(bytes)), _bytes(_data.data(), _data.size()) {}

  nQoORB100::tNarrowString readString(int& status) override;
  int16_t readI16(int& status) override;
  uint16_t readU16(int& status) override;
  int32_t readI32(int& status) override;
  uint32_t readU32(int& status) override;
  uint64_t readU64(int& status) override;

  const std::vector<tStreamCall>& calls() const { return _calls; }
  std::size_t position() const { return _bytes.position(); }

 private:
  template <class T>
  T read(const char* operation, T (nQoORB100::tByteInputStream::*reader)(int&), int& status);

  std::vector<uint8_t> _data;
  nQoORB100::tByteInputStream _bytes;
  std::vector<tStreamCall> _calls;
};

}  // namespace nQoSim
