// Text between UTF-8 (narrow), UTF-16 (16-bit units) and UTF-32 (wide,
// 32-bit) elements, and the plain narrow <-> wide copies that do not decode.
//
//   uint16_t units[8];
//   convertUTF8ToUTF16("h\xC3\xA9", 3, units, 8, status, kTerminated);   // 2: 0x0068 0x00E9 0
//   tWString wide;
//   utf8ToUTF32String(text, wide, status);                              // the whole string
//
// Element converters take (source, length, destination or null, capacity,
// status, mode) and answer the number of elements produced (with a null
// destination: that would be produced). Mode kTerminated: the source ends at
// its first NUL or at length, and a NUL is written after the output (not
// counted); any other mode: exactly length elements, NULs included, and no
// terminator. A full destination is kDestinationFull, a bad character
// kBadCharacter; both end the conversion with what was written so far. With an
// error in the status every function does nothing and answers 0.
#pragma once

#include <cstdint>

#include "frame/tBasicString.h"
#include "frame/tStatus.h"

namespace nQoUdR100::nQoKABBO_1_0::nString {

inline constexpr uint32_t kTerminated = 1;
inline constexpr uint32_t kCounted = 0;

using tStatus = nQoAPALS100::tStatus;

// Each byte sign-extended (0xE9 becomes 0xFFFFFFE9).
uint64_t widenChars(const char* source, uint64_t length, wchar_t* destination, uint64_t capacity,
                    tStatus& status, uint32_t mode);
// Each element's low 8 bits.
uint64_t narrowChars(const wchar_t* source, uint64_t length, char* destination, uint64_t capacity,
                     tStatus& status, uint32_t mode);
// An unpaired high surrogate is a bad character; an unpaired low one passes.
uint64_t convertUTF16ToUTF32(const uint16_t* source, uint64_t length, wchar_t* destination,
                             uint64_t capacity, tStatus& status, uint32_t mode);
// Sequences of up to four bytes; overlong forms and encoded surrogates are
// taken as they decode.
uint64_t convertUTF8ToUTF32(const char* source, uint64_t length, wchar_t* destination,
                            uint64_t capacity, tStatus& status, uint32_t mode);
// Above 0x10FFFF a bad character; negative values give their low 16 bits.
uint64_t convertUTF32ToUTF16(const wchar_t* source, uint64_t length, uint16_t* destination,
                             uint64_t capacity, tStatus& status, uint32_t mode);
// Above 0x1FFFFF a bad character; negative values give their low 8 bits.
uint64_t convertUTF32ToUTF8(const wchar_t* source, uint64_t length, char* destination,
                            uint64_t capacity, tStatus& status, uint32_t mode);
// Through a UTF-32 scratch of 64 elements of inline storage (larger ones are
// allocated; kPalOutOfMemory when they cannot be). A source with a bad
// character writes nothing.
uint64_t convertUTF16ToUTF8(const uint16_t* source, uint64_t length, char* destination,
                            uint64_t capacity, tStatus& status, uint32_t mode);
uint64_t convertUTF8ToUTF16(const char* source, uint64_t length, uint16_t* destination,
                            uint64_t capacity, tStatus& status, uint32_t mode);

// A string converter: the destination is replaced by the whole conversion
// (without a terminator element); an empty source empties it; a destination
// that cannot grow is kOutOfMemory. The second form converts a whole string in
// counted mode.
template <class tIn, class tOut,
          uint64_t (*convert)(const tIn*, uint64_t, tOut*, uint64_t, tStatus&, uint32_t)>
struct tStringConverter {
  void operator()(const tIn* source, uint64_t length, tBasicString<tOut>& destination,
                  tStatus& status, uint32_t mode) const;
  void operator()(const tBasicString<tIn>& source, tBasicString<tOut>& destination,
                  tStatus& status) const {
    (*this)(source.c_str(), source.size(), destination, status, kCounted);
  }
};

inline constexpr tStringConverter<uint16_t, char, convertUTF16ToUTF8> utf16ToUTF8String{};
inline constexpr tStringConverter<wchar_t, char, narrowChars> narrowToString{};
inline constexpr tStringConverter<wchar_t, char, convertUTF32ToUTF8> utf32ToUTF8String{};
inline constexpr tStringConverter<wchar_t, uint16_t, convertUTF32ToUTF16> utf32ToUTF16String{};
inline constexpr tStringConverter<uint16_t, wchar_t, convertUTF16ToUTF32> utf16ToUTF32String{};
inline constexpr tStringConverter<char, uint16_t, convertUTF8ToUTF16> utf8ToUTF16String{};
inline constexpr tStringConverter<char, wchar_t, convertUTF8ToUTF32> utf8ToUTF32String{};
inline constexpr tStringConverter<char, wchar_t, widenChars> widenToWString{};

// Drops one trailing NUL element, when there is one.
void removeNULTerminator(tString& text, tStatus& status);
void removeNULTerminator(tString16& text, tStatus& status);
void removeNULTerminator(tWString& text, tStatus& status);

}  // namespace nQoUdR100::nQoKABBO_1_0::nString
