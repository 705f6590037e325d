// The stream calls of a write or a read, recorded once and replayed onto a
// stream: a floor that makes the same calls (with the same values) without
// walking the object that made them.
//
//   tStreamRecording recording;
//   settings.writeExternal(recording, status);
//   recording.replay(out, status);   // the same bytes as writeExternal(out)
//
//   tReadRecording reads(in);         // passes the reads on to in
//   target.readExternal(reads, status);
//   reads.replay(otherIn, status);    // the same read calls on otherIn
#pragma once

#include <cstdint>
#include <vector>

#include "orb/iExternalInputStream.h"
#include "orb/iExternalOutputStream.h"

namespace nQoBench {

class tStreamRecording : public nQoORB100::iExternalOutputStream {
 public:
  void writeString(const nQoORB100::tNarrowString& value, int&) override {
    _calls.push_back({kString, 0, &value});
  }
  void writeI16(int16_t value, int&) override { record(kI16, static_cast<uint16_t>(value)); }
  void writeU16(uint16_t value, int&) override { record(kU16, value); }
  void writeI32(int32_t value, int&) override { record(kI32, static_cast<uint32_t>(value)); }
  void writeU32(uint32_t value, int&) override { record(kU32, value); }
  void writeU64(uint64_t value, int&) override { record(kU64, value); }

  // The strings are those of the recorded object, which must still live.
  void replay(nQoORB100::iExternalOutputStream& out, int& status) const {
    for (const tCall& call : _calls) switch (call.kind) {
        case kString: out.writeString(*call.text, status); break;
        case kI16: out.writeI16(static_cast<int16_t>(call.value), status); break;
        case kU16: out.writeU16(static_cast<uint16_t>(call.value), status); break;
        case kI32: out.writeI32(static_cast<int32_t>(call.value), status); break;
        case kU32: out.writeU32(static_cast<uint32_t>(call.value), status); break;
        case kU64: out.writeU64(call.value, status); break;
      }
  }

 private:
  enum tKind : uint8_t { kString, kI16, kU16, kI32, kU32, kU64 };
  struct tCall {
    tKind kind;
    uint64_t value;
    const nQoORB100::tNarrowString* text;
  };
  void record(tKind kind, uint64_t value) { _calls.push_back({kind, value, nullptr}); }

  std::vector<tCall> _calls;
};

class tReadRecording : public nQoORB100::iExternalInputStream {
 public:
  explicit tReadRecording(nQoORB100::iExternalInputStream& in) : _in(in) {}

  nQoORB100::tNarrowString readString(int& status) override {
    _kinds.push_back(kString);
    return _in.readString(status);
  }
  int16_t readI16(int& status) override { return _kinds.push_back(kI16), _in.readI16(status); }
  uint16_t readU16(int& status) override { return _kinds.push_back(kU16), _in.readU16(status); }
  int32_t readI32(int& status) override { return _kinds.push_back(kI32), _in.readI32(status); }
  uint32_t readU32(int& status) override { return _kinds.push_back(kU32), _in.readU32(status); }
  uint64_t readU64(int& status) override { return _kinds.push_back(kU64), _in.readU64(status); }

  // Answers a fold of the values read, so that none of the reads is dropped.
  uint64_t replay(nQoORB100::iExternalInputStream& in, int& status) const {
    uint64_t fold = 0;
    for (tKind kind : _kinds) switch (kind) {
        case kString: fold += in.readString(status).size(); break;
        case kI16: fold += static_cast<uint16_t>(in.readI16(status)); break;
        case kU16: fold += in.readU16(status); break;
        case kI32: fold += static_cast<uint32_t>(in.readI32(status)); break;
        case kU32: fold += in.readU32(status); break;
        case kU64: fold += in.readU64(status); break;
      }
    return fold;
  }

 private:
  enum tKind : uint8_t { kString, kI16, kU16, kI32, kU32, kU64 };
  nQoORB100::iExternalInputStream& _in;
  std::vector<tKind> _kinds;
};

}  // namespace nQoBench
