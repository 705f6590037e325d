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
// terminator. A full destination is -52019, a bad character -200811; both end
// the conversion with what was written so far. With an error in the status
// every function does nothing and answers 0.
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
// allocated; -52000 when they cannot be). A source with a bad character
// writes nothing.
uint64_t convertUTF16ToUTF8(const uint16_t* source, uint64_t length, char* destination,
                            uint64_t capacity, tStatus& status, uint32_t mode);
uint64_t convertUTF8ToUTF16(const char* source, uint64_t length, uint16_t* destination,
                            uint64_t capacity, tStatus& status, uint32_t mode);

// String converters: the destination is replaced by the whole conversion
// (without a terminator element); an empty source empties it; a destination
// that cannot grow is -50352. The second forms convert a whole string in
// counted mode.
void utf16ToUTF8String(const uint16_t* source, uint64_t length, tString& destination,
                       tStatus& status, uint32_t mode);
void utf16ToUTF8String(const tString16& source, tString& destination, tStatus& status);
void narrowToString(const wchar_t* source, uint64_t length, tString& destination, tStatus& status,
                    uint32_t mode);
void narrowToString(const tWString& source, tString& destination, tStatus& status);
void utf32ToUTF8String(const wchar_t* source, uint64_t length, tString& destination,
                       tStatus& status, uint32_t mode);
void utf32ToUTF8String(const tWString& source, tString& destination, tStatus& status);
void utf32ToUTF16String(const wchar_t* source, uint64_t length, tString16& destination,
                        tStatus& status, uint32_t mode);
void utf32ToUTF16String(const tWString& source, tString16& destination, tStatus& status);
void utf16ToUTF32String(const uint16_t* source, uint64_t length, tWString& destination,
                        tStatus& status, uint32_t mode);
void utf16ToUTF32String(const tString16& source, tWString& destination, tStatus& status);
void utf8ToUTF16String(const char* source, uint64_t length, tString16& destination,
                       tStatus& status, uint32_t mode);
void utf8ToUTF16String(const tString& source, tString16& destination, tStatus& status);
void utf8ToUTF32String(const char* source, uint64_t length, tWString& destination,
                       tStatus& status, uint32_t mode);
void utf8ToUTF32String(const tString& source, tWString& destination, tStatus& status);
void widenToWString(const char* source, uint64_t length, tWString& destination, tStatus& status,
                    uint32_t mode);
void widenToWString(const tString& source, tWString& destination, tStatus& status);

// Drops one trailing NUL element, when there is one.
void removeNULTerminator(tString& text, tStatus& status);
void removeNULTerminator(tString16& text, tStatus& status);
void removeNULTerminator(tWString& text, tStatus& status);

}  // namespace nQoUdR100::nQoKABBO_1_0::nString
