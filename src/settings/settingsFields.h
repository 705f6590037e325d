// How one field of a settings record travels through the object broker's
// streams: the stream operation is chosen by the field's type (u16, i16,
// u32, i32, u64, string; a std::array streams its elements in order), and a
// member that streams itself (the resource identifier, a GUID, a nested
// record) does so with its own readExternal / writeExternal. A read value is
// stored even after an error (the stream then answers 0): callers stream
// field after field without a test between them.
//
// Three field types of their own: the system's string (tString, read into
// the stream's string and copied in, so that a failed growth sets its flag),
// a 128-bit fixed-point value (four u32 words, most significant first, only
// while the status holds no error) and a u32 word that is written with
// writeI32 (tSignedWrittenWord; it reads back unchanged with readU32).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "frame/statusCodes.h"
#include "frame/tBasicString.h"
#include "frame/tFixedPoint128.h"
#include "frame/tStatusSite.h"
#include "orb/iExternalInputStream.h"
#include "orb/iExternalOutputStream.h"
#include "orb/tNarrowString.h"

namespace nQoUdR100 {

using nQoORB100::iExternalInputStream;
using nQoORB100::iExternalOutputStream;
// 64 integer bits above 64 fraction bits.
using tSignedFixedPoint128 = nQoSS100::tFixedPoint128<64u, true>;

// A u32 word that goes out through writeI32; it converts to and from
// uint32_t, so it reads and compares as a word.
struct tSignedWrittenWord {
  tSignedWrittenWord(uint32_t word = 0) : value(word) {}
  operator uint32_t() const { return value; }
  bool operator==(const tSignedWrittenWord&) const = default;
  uint32_t value;
};

inline void readField(iExternalInputStream& in, uint16_t& v, int& s) { v = in.readU16(s); }
inline void readField(iExternalInputStream& in, int16_t& v, int& s) { v = in.readI16(s); }
inline void readField(iExternalInputStream& in, uint32_t& v, int& s) { v = in.readU32(s); }
inline void readField(iExternalInputStream& in, int32_t& v, int& s) { v = in.readI32(s); }
inline void readField(iExternalInputStream& in, uint64_t& v, int& s) { v = in.readU64(s); }
inline void readField(iExternalInputStream& in, nQoORB100::tNarrowString& v, int& s) {
  v = in.readString(s);
}
inline void readField(iExternalInputStream& in, tString& v, int& s) {
  const nQoORB100::tNarrowString text = in.readString(s);
  v.assign(text.c_str(), text.size());
}
inline void readField(iExternalInputStream& in, tSignedWrittenWord& v, int& s) {
  v.value = in.readU32(s);
}
// The four words are read together and stored together.
inline void readField(iExternalInputStream& in, tSignedFixedPoint128& v, int& s) {
  if (s < 0) return;
  uint32_t words[4];
  for (uint32_t& word : words) word = in.readU32(s);
  v.integer = static_cast<int64_t>(uint64_t{words[0]} << 32 | words[1]);
  v.fraction = uint64_t{words[2]} << 32 | words[3];
}
template <class T, std::size_t N>
void readField(iExternalInputStream& in, std::array<T, N>& v, int& s) {
  for (T& element : v) readField(in, element, s);
}
template <class T>
  requires requires(T& v, iExternalInputStream& in, int& s) { v.readExternal(in, s); }
void readField(iExternalInputStream& in, T& v, int& s) {
  v.readExternal(in, s);
}

inline void writeField(iExternalOutputStream& out, uint16_t v, int& s) { out.writeU16(v, s); }
inline void writeField(iExternalOutputStream& out, int16_t v, int& s) { out.writeI16(v, s); }
inline void writeField(iExternalOutputStream& out, uint32_t v, int& s) { out.writeU32(v, s); }
inline void writeField(iExternalOutputStream& out, int32_t v, int& s) { out.writeI32(v, s); }
inline void writeField(iExternalOutputStream& out, uint64_t v, int& s) { out.writeU64(v, s); }
inline void writeField(iExternalOutputStream& out, const nQoORB100::tNarrowString& v, int& s) {
  out.writeString(v, s);
}
// The stream takes its own string: a copy that cannot be allocated is -50352.
inline void writeField(iExternalOutputStream& out, const tString& v, int& s) {
  nQoORB100::tNarrowString text;
  if (s >= 0 && !text.assign(v.c_str(), v.size())) mergeCode(s, kOutOfMemory);
  out.writeString(text, s);
}
inline void writeField(iExternalOutputStream& out, tSignedWrittenWord v, int& s) {
  out.writeI32(static_cast<int32_t>(v.value), s);
}
inline void writeField(iExternalOutputStream& out, const tSignedFixedPoint128& v, int& s) {
  if (s < 0) return;
  const auto integer = static_cast<uint64_t>(v.integer);
  for (uint64_t half : {integer, v.fraction}) {
    out.writeU32(static_cast<uint32_t>(half >> 32), s);
    out.writeU32(static_cast<uint32_t>(half), s);
  }
}
template <class T, std::size_t N>
void writeField(iExternalOutputStream& out, const std::array<T, N>& v, int& s) {
  for (const T& element : v) writeField(out, element, s);
}
template <class T>
  requires requires(const T& v, iExternalOutputStream& out, int& s) { v.writeExternal(out, s); }
void writeField(iExternalOutputStream& out, const T& v, int& s) {
  v.writeExternal(out, s);
}

}  // namespace nQoUdR100
