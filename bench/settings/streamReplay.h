// The stream calls of a write, recorded once and replayed onto a stream: a
// floor that makes the same calls with the same values without walking the
// object that made them.
//
//   tStreamRecording recording;
//   settings.writeExternal(recording, status);
//   recording.replay(out, status);   // the same bytes as writeExternal(out)
#pragma once

#include <cstdint>
#include <vector>

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

}  // namespace nQoBench
