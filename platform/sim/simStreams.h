// Test handles of the object broker's streams: the byte streams, with every
// call also recorded in order (operation, value and the status it was given,
// also calls made under an error). The failure script and the byte log are the
// byte streams' own (tStreamOperationLog):
//
//   nQoSim::tRecordingOutputStream out;
//   settings.writeExternal(out, status);
//   out.calls()[0].operation == "writeU32", out.calls()[0].value == base
//
//   nQoSim::tScriptedInputStream in(bytes);
//   in.failOperation(3, -7);   // the third read sets -7 and reads nothing
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "orb/tByteInputStream.h"
#include "orb/tByteOutputStream.h"

namespace nQoSim {

struct tStreamCall {
  std::string operation;  // "writeU32", "readString", ...
  uint64_t value;         // the value written or read (signed values sign-extended)
  std::string text;       // the string written or read
  int incoming;           // the status code the call was given
};

class tRecordingOutputStream : public nQoORB100::tByteOutputStream {
 public:
  void writeString(const nQoORB100::tNarrowString& value, int& status) override;
  void writeI16(int16_t value, int& status) override;
  void writeU16(uint16_t value, int& status) override;
  void writeI32(int32_t value, int& status) override;
  void writeU32(uint32_t value, int& status) override;
  void writeU64(uint64_t value, int& status) override;

  const std::vector<tStreamCall>& calls() const { return _calls; }

 private:
  std::vector<tStreamCall> _calls;
};

// The bytes a scripted input stream reads; a base so that they exist before
// the byte stream over them.
struct tHeldBytes {
  std::vector<uint8_t> held;
};

class tScriptedInputStream : private tHeldBytes, public nQoORB100::tByteInputStream {
 public:
  explicit tScriptedInputStream(std::vector<uint8_t> bytes)
      : tHeldBytes{std::move(bytes)}, tByteInputStream(held.data(), held.size()) {}
  tScriptedInputStream(const tScriptedInputStream&) = delete;
  tScriptedInputStream& operator=(const tScriptedInputStream&) = delete;

  nQoORB100::tNarrowString readString(int& status) override;
  int16_t readI16(int& status) override;
  uint16_t readU16(int& status) override;
  int32_t readI32(int& status) override;
  uint32_t readU32(int& status) override;
  uint64_t readU64(int& status) override;

  const std::vector<tStreamCall>& calls() const { return _calls; }

 private:
  // Records the call with the value read (0 when it read nothing).
  template <class T>
  T recorded(const char* operation, T value, int incoming);

  std::vector<tStreamCall> _calls;
};

}  // namespace nQoSim
