// How one field of a settings record travels through the object broker's
// streams: the stream operation is chosen by the field's type (u16, i16,
// u32, i32, u64, string; a std::array streams its elements in order), and a
// member that streams itself (the resource identifier, a nested record) does
// so with its own readExternal / writeExternal. A read value is stored even
// after an error (the stream then answers 0): callers stream field after
// field without a test between them. Two field types of their own:
// - tSignedWrittenWord: a u32 written with writeI32 and read with readU32
//   (the bytes are the same);
// - a 128-bit fixed-point value: four u32 words, most significant first,
//   streamed only while the status holds no error and stored together.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "frame/tFixedPoint128.h"
#include "orb/iExternalInputStream.h"
#include "orb/iExternalOutputStream.h"
#include "orb/tNarrowString.h"

namespace nQoUdR100 {

using nQoORB100::iExternalInputStream;
using nQoORB100::iExternalOutputStream;
using tFixedPoint = nQoSS100::tFixedPoint128<64u, true>;

// Converts to and from uint32_t, so the field reads and compares as a word.
struct tSignedWrittenWord {
  tSignedWrittenWord(uint32_t word = 0) : value(word) {}
  operator uint32_t() const { return value; }
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
inline void readField(iExternalInputStream& in, tSignedWrittenWord& v, int& s) {
  v = in.readU32(s);
}
inline void readField(iExternalInputStream& in, tFixedPoint& v, int& s) {
  if (s < 0) return;
  uint32_t words[4];  // most significant first
  for (uint32_t& word : words) word = in.readU32(s);
  v.integer = static_cast<int64_t>((uint64_t{words[0]} << 32) | words[1]);
  v.fraction = (uint64_t{words[2]} << 32) | words[3];
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
inline void writeField(iExternalOutputStream& out, tSignedWrittenWord v, int& s) {
  out.writeI32(static_cast<int32_t>(v.value), s);
}
inline void writeField(iExternalOutputStream& out, const tFixedPoint& v, int& s) {
  if (s < 0) return;
  const auto integer = static_cast<uint64_t>(v.integer);
  out.writeU32(static_cast<uint32_t>(integer >> 32), s);
  out.writeU32(static_cast<uint32_t>(integer), s);
  out.writeU32(static_cast<uint32_t>(v.fraction >> 32), s);
  out.writeU32(static_cast<uint32_t>(v.fraction), s);
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
