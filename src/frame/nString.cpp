#include "frame/nString.h"

#include <cstring>
#include <type_traits>

#include "frame/TempBuffer.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdR100::nQoKABBO_1_0::nString {

namespace {

constexpr char kFile[] = "nString";
constexpr unsigned kMaxUnits = 4;

// Where the source ends and whether a NUL follows the output. The direct
// conversions read to an end found beforehand and still terminate.
struct tEnds {
  bool atNul;
  bool terminate;
};

tEnds endsOf(uint32_t mode) { return {mode == kTerminated, mode == kTerminated}; }

// Decoders read one character from at most left elements into a code point;
// they answer the elements used, 0 for a bad character.
unsigned decodeByte(const char* at, uint64_t, int32_t& point) {
  // NOLINTNEXTLINE(bugprone-signed-char-misuse): a char widens with its sign.
  point = static_cast<signed char>(at[0]);
  return 1;
}

unsigned decodeElement(const wchar_t* at, uint64_t, int32_t& point) {
  // NOLINTNEXTLINE(bugprone-signed-char-misuse): wchar_t is a 32-bit unit here, not a char.
  point = static_cast<int32_t>(at[0]);
  return 1;
}

bool isHighSurrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

unsigned decodeUTF16(const uint16_t* at, uint64_t left, int32_t& point) {
  const uint32_t unit = at[0];
  if (!isHighSurrogate(unit)) {
    point = static_cast<int32_t>(unit);
    return 1;
  }
  if (left < 2 || !isLowSurrogate(at[1])) return 0;
  point = static_cast<int32_t>((((unit >> 6) & 0xF) + 1) * 0x10000 + (unit & 0x3F) * 0x400 +
                               (at[1] & 0x3FF));
  return 2;
}

unsigned decodeUTF8(const char* at, uint64_t left, int32_t& point) {
  const uint8_t lead = static_cast<uint8_t>(at[0]);
  unsigned length;
  uint32_t value;
  if (lead < 0x80) {
    point = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07;
  } else {
    return 0;
  }
  if (left < length) return 0;
  for (unsigned i = 1; i < length; ++i) {
    const uint8_t follower = static_cast<uint8_t>(at[i]);
    if ((follower & 0xC0) != 0x80) return 0;
    value = value << 6 | (follower & 0x3F);
  }
  point = static_cast<int32_t>(value);
  return length;
}

// Encoders write one code point and answer the elements written, 0 for a
// bad character.
unsigned encodeByte(int32_t point, char* out) {
  out[0] = static_cast<char>(point);
  return 1;
}

unsigned encodeElement(int32_t point, wchar_t* out) {
  out[0] = static_cast<wchar_t>(point);
  return 1;
}

unsigned encodeUTF16(int32_t point, uint16_t* out) {
  if (point < 0x10000) {
    out[0] = static_cast<uint16_t>(point);
    return 1;
  }
  if (point > 0x10FFFF) return 0;
  out[0] = static_cast<uint16_t>(0xD800 | (((point >> 16) & 31) - 1) << 6 | (point & 0xFFFF) >> 10);
  out[1] = static_cast<uint16_t>(0xDC00 | (point & 0x3FF));
  return 2;
}

unsigned encodeUTF8(int32_t point, char* out) {
  const auto put = [out](unsigned i, uint32_t byte) { out[i] = static_cast<char>(byte); };
  const uint32_t p = static_cast<uint32_t>(point);
  if (point < 0x80) {
    put(0, p & 0xFF);
    return 1;
  }
  if (point < 0x800) {
    put(0, 0xC0 | p >> 6);
    put(1, 0x80 | (p & 0x3F));
    return 2;
  }
  if (point < 0x10000) {
    put(0, 0xE0 | p >> 12);
    put(1, 0x80 | (p >> 6 & 0x3F));
    put(2, 0x80 | (p & 0x3F));
    return 3;
  }
  if (point > 0x1FFFFF) return 0;
  put(0, 0xF0 | p >> 18);
  put(1, 0x80 | (p >> 12 & 0x3F));
  put(2, 0x80 | (p >> 6 & 0x3F));
  put(3, 0x80 | (p & 0x3F));
  return 4;
}

// The elements before the first NUL, at most length. Terminated text may end
// at its NUL well before length, so the search reads one element at a time
// and nothing past the NUL.
template <class tIn>
uint64_t lengthToNul(const tIn* source, uint64_t length) {
  uint64_t n = 0;
  while (n < length && source[n] != tIn(0)) ++n;
  return n;
}

uint64_t lengthToNul(const char* source, uint64_t length) {
  if (length == 0) return 0;
  const void* nul = std::memchr(source, 0, static_cast<size_t>(length));
  return nul == nullptr ? length : static_cast<uint64_t>(static_cast<const char*>(nul) - source);
}

// The elements at the start of the source that are below 0x80, counted in
// whole words of 8 bytes. Every decoder takes such an element as its own code
// point and every encoder writes it as one element of the same value.
template <class tIn>
uint64_t asciiRun(const tIn* source, uint64_t left) {
  constexpr uint64_t kPerWord = 8 / sizeof(tIn);
  constexpr uint64_t kHighBits = sizeof(tIn) == 1   ? 0x8080808080808080u
                                 : sizeof(tIn) == 2 ? 0xFF80FF80FF80FF80u
                                                    : 0xFFFFFF80FFFFFF80u;
  uint64_t run = 0;
  if (left == 0 || static_cast<std::make_unsigned_t<tIn>>(source[0]) >= 0x80) return 0;
  for (; left - run >= kPerWord; run += kPerWord) {
    uint64_t word;
    std::memcpy(&word, source + run, sizeof word);
    if ((word & kHighBits) != 0) break;
  }
  return run;
}

// Ends the destination after produced elements when the ends ask for it;
// answers produced.
template <class tOut>
uint64_t terminate(tOut* destination, uint64_t produced, uint64_t capacity, tStatus& status,
                   tEnds ends) {
  if (destination != nullptr && ends.terminate) {
    if (produced < capacity)
      destination[produced] = tOut(0);
    else
      setCode(status, kDestinationFull, {kFile, 230});
  }
  return produced;
}

// Decodes and encodes the source up to end, until it ends, the destination
// is full or a character is bad; answers the elements produced. Without a
// destination (write false) it only counts them.
template <class tIn, class tOut, unsigned (*decode)(const tIn*, uint64_t, int32_t&),
          unsigned (*encode)(int32_t, tOut*), bool write>
uint64_t convertRange(const tIn* source, uint64_t end, tOut* destination, uint64_t capacity,
                      tStatus& status) {
  uint64_t produced = 0;
  for (uint64_t at = 0; at < end;) {
    uint64_t run = asciiRun(source + at, end - at);
    if (write && capacity - produced < run) run = capacity - produced;
    if (run != 0) {
      if constexpr (write)
        for (uint64_t i = 0; i < run; ++i)
          destination[produced + i] =
              static_cast<tOut>(static_cast<std::make_unsigned_t<tIn>>(source[at + i]));
      produced += run;
      at += run;
      continue;
    }
    int32_t point;
    tOut units[kMaxUnits];
    const unsigned used = decode(source + at, end - at, point);
    const unsigned count = used == 0 ? 0 : encode(point, units);
    if (count == 0) {
      setCode(status, kBadCharacter, {kFile, 210});
      break;
    }
    if constexpr (write) {
      if (capacity - produced < count) {
        setCode(status, kDestinationFull, {kFile, 220});
        break;
      }
      for (unsigned i = 0; i < count; ++i) destination[produced + i] = units[i];
    }
    produced += count;
    at += used;
  }
  return produced;
}

// One element converter: decode a character, encode it, until the source
// ends, the destination is full or a character is bad.
template <class tIn, class tOut, unsigned (*decode)(const tIn*, uint64_t, int32_t&),
          unsigned (*encode)(int32_t, tOut*)>
uint64_t convert(const tIn* source, uint64_t length, tOut* destination, uint64_t capacity,
                 tStatus& status, tEnds ends) {
  if (status.isFatal()) return 0;
  if (source == nullptr) return terminate(destination, 0, capacity, status, ends);
  const uint64_t end = ends.atNul ? lengthToNul(source, length) : length;
  const uint64_t produced =
      destination == nullptr
          ? convertRange<tIn, tOut, decode, encode, false>(source, end, nullptr, 0, status)
          : convertRange<tIn, tOut, decode, encode, true>(source, end, destination, capacity,
                                                          status);
  return terminate(destination, produced, capacity, status, ends);
}

// The characters of the source up to end, each decoded once; a bad one is
// kBadCharacter.
template <class tIn, unsigned (*decode)(const tIn*, uint64_t, int32_t&)>
uint64_t countCharacters(const tIn* source, uint64_t end, tStatus& status) {
  uint64_t count = 0;
  for (uint64_t at = 0; at < end;) {
    const uint64_t run = asciiRun(source + at, end - at);
    if (run != 0) {
      count += run;
      at += run;
      continue;
    }
    int32_t point;
    const unsigned used = decode(source + at, end - at, point);
    if (used == 0) {
      setCode(status, kBadCharacter, {kFile, 210});
      break;
    }
    ++count;
    at += used;
  }
  return count;
}

// From one encoding straight into another: the whole source is checked first
// so that a bad character writes nothing, then converted in one pass. The
// character count still takes a UTF-32 scratch of count + 1 elements (from the
// allocator past 64), so that a text the allocator cannot serve answers
// kPalOutOfMemory at the same site as the conversion through UTF-32 did.
template <class tIn, class tOut, unsigned (*decode)(const tIn*, uint64_t, int32_t&),
          unsigned (*encode)(int32_t, tOut*)>
uint64_t direct(const tIn* source, uint64_t length, tOut* destination, uint64_t capacity,
                tStatus& status, uint32_t mode) {
  if (status.isFatal()) return 0;
  if (source == nullptr) length = 0;
  const uint64_t end = mode == kTerminated ? lengthToNul(source, length) : length;
  const uint64_t count = countCharacters<tIn, decode>(source, end, status);
  const TempBuffer<wchar_t, 64> scratch(count + 1, status);
  return convert<tIn, tOut, decode, encode>(source, end, destination, capacity, status,
                                            {false, mode == kTerminated});
}

constexpr auto utf16ToUTF32 = convert<uint16_t, wchar_t, decodeUTF16, encodeElement>;
constexpr auto utf8ToUTF32 = convert<char, wchar_t, decodeUTF8, encodeElement>;
constexpr auto utf32ToUTF16 = convert<wchar_t, uint16_t, decodeElement, encodeUTF16>;
constexpr auto utf32ToUTF8 = convert<wchar_t, char, decodeElement, encodeUTF8>;

template <class C>
void dropNul(tBasicString<C>& text, tStatus& status) {
  if (status.isFatal() || text.empty() || text[text.size() - 1] != C(0)) return;
  text.resize(text.size() - 1);
  text.checkAllocation(status, {kFile, 330});
}

}  // namespace

uint64_t widenChars(const char* source, uint64_t length, wchar_t* destination, uint64_t capacity,
                    tStatus& status, uint32_t mode) {
  return convert<char, wchar_t, decodeByte, encodeElement>(source, length, destination, capacity,
                                                           status, endsOf(mode));
}

uint64_t narrowChars(const wchar_t* source, uint64_t length, char* destination, uint64_t capacity,
                     tStatus& status, uint32_t mode) {
  return convert<wchar_t, char, decodeElement, encodeByte>(source, length, destination, capacity,
                                                           status, endsOf(mode));
}

uint64_t convertUTF16ToUTF32(const uint16_t* source, uint64_t length, wchar_t* destination,
                             uint64_t capacity, tStatus& status, uint32_t mode) {
  return utf16ToUTF32(source, length, destination, capacity, status, endsOf(mode));
}

uint64_t convertUTF8ToUTF32(const char* source, uint64_t length, wchar_t* destination,
                            uint64_t capacity, tStatus& status, uint32_t mode) {
  return utf8ToUTF32(source, length, destination, capacity, status, endsOf(mode));
}

uint64_t convertUTF32ToUTF16(const wchar_t* source, uint64_t length, uint16_t* destination,
                             uint64_t capacity, tStatus& status, uint32_t mode) {
  return utf32ToUTF16(source, length, destination, capacity, status, endsOf(mode));
}

uint64_t convertUTF32ToUTF8(const wchar_t* source, uint64_t length, char* destination,
                            uint64_t capacity, tStatus& status, uint32_t mode) {
  return utf32ToUTF8(source, length, destination, capacity, status, endsOf(mode));
}

uint64_t convertUTF16ToUTF8(const uint16_t* source, uint64_t length, char* destination,
                            uint64_t capacity, tStatus& status, uint32_t mode) {
  return direct<uint16_t, char, decodeUTF16, encodeUTF8>(source, length, destination, capacity,
                                                         status, mode);
}

uint64_t convertUTF8ToUTF16(const char* source, uint64_t length, uint16_t* destination,
                            uint64_t capacity, tStatus& status, uint32_t mode) {
  return direct<char, uint16_t, decodeUTF8, encodeUTF16>(source, length, destination, capacity,
                                                         status, mode);
}

template <class tIn, class tOut,
          uint64_t (*convert)(const tIn*, uint64_t, tOut*, uint64_t, tStatus&, uint32_t)>
void tStringConverter<tIn, tOut, convert>::operator()(const tIn* source, uint64_t length,
                                                      tBasicString<tOut>& destination,
                                                      tStatus& status, uint32_t mode) const {
  if (status.isFatal()) return;
  if (source == nullptr || length == 0) {
    destination.clear();
    return;
  }
  const uint64_t count = convert(source, length, nullptr, 0, status, mode);
  if (status.isFatal()) return;
  destination.resize(count + (mode == kTerminated ? 1 : 0));
  destination.checkAllocation(status, {kFile, 310});
  if (status.isFatal()) return;
  convert(source, length, destination.data(), destination.size(), status, mode);
  if (mode == kTerminated) removeNULTerminator(destination, status);
}

template struct tStringConverter<uint16_t, char, convertUTF16ToUTF8>;
template struct tStringConverter<wchar_t, char, narrowChars>;
template struct tStringConverter<wchar_t, char, convertUTF32ToUTF8>;
template struct tStringConverter<wchar_t, uint16_t, convertUTF32ToUTF16>;
template struct tStringConverter<uint16_t, wchar_t, convertUTF16ToUTF32>;
template struct tStringConverter<char, uint16_t, convertUTF8ToUTF16>;
template struct tStringConverter<char, wchar_t, convertUTF8ToUTF32>;
template struct tStringConverter<char, wchar_t, widenChars>;

void removeNULTerminator(tString& text, tStatus& status) { dropNul(text, status); }
void removeNULTerminator(tString16& text, tStatus& status) { dropNul(text, status); }
void removeNULTerminator(tWString& text, tStatus& status) { dropNul(text, status); }

}  // namespace nQoUdR100::nQoKABBO_1_0::nString
