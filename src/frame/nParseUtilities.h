// Text utilities of the module's exported surface: tests, trimming,
// splitting and validation of names, and integers to and from text. Most come
// in a narrow (char) and a wide (wchar_t) form with the same rules.
//
//   tString head, tail;
//   splitPath(tString("/a/b/c"), head, tail, status);          // "a", "b/c"
//   char text[72];
//   formatIntegerInRadix(text, 255, 2);                        // "2#11111111"
//   parseIntegerInRadix("16#ff");                              // 255
//
// Functions that take a status do nothing when it holds an error (the tests
// then answer as documented); a destination string that cannot grow is
// kOutOfMemory.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/commandLine.h"
#include "frame/numberText.h"
#include "frame/tBasicString.h"
#include "frame/tStatus.h"
#include "mdbg/tStatus2.h"

namespace nQoUdR100::nQoKABBO_1_0::nParseUtilities {

using tStatus = nQoAPALS100::tStatus;

// Each of the following has a narrow (char) and a wide (wchar_t) form.

// True with an error in the status, for an empty string, or for one of two
// characters or more that begins with '<' and ends with '>'.
template <class C>
bool isEmptyOrAngleBracketed(const tBasicString<C>& text, tStatus& status);
// True for null, "", "localhost" and "127.0.0.1"; false with an error in the
// status.
template <class C>
bool isLocalHost(const C* name, tStatus& status);
template <class C>
bool isLocalHost(const tBasicString<C>& name, tStatus& status) {
  return isLocalHost(name.c_str(), status);
}

// Space, tab, CR, LF, FF and VT at both ends.
template <class C>
void trimWhitespace(tBasicString<C>& text, tStatus& status);
// The CR and LF after the last other character; a text of CR and LF only
// stays.
template <class C>
void trimTrailingNewlines(tBasicString<C>& text, tStatus& status);
template <class C>
void removeLeadingSlash(tBasicString<C>& text, tStatus& status);
template <class C>
void assignString(const tBasicString<C>& source, tBasicString<C>& destination, tStatus& status);

// The decimal text of the value (uint32_t, int32_t, uint64_t or int64_t)
// replaces the destination.
template <class C, class T>
void numberToString(T value, tBasicString<C>& destination, tStatus& status);

// head = source[start, P) and tail = source[P + 1, end) for the first
// separator at P from start on; without one (or from a start at or past the
// end) head = source[start, end) and the tail is empty. The source may be
// head or tail itself.
template <class C>
void splitAtChar(const tBasicString<C>& source, C separator, tBasicString<C>& head,
                 tBasicString<C>& tail, tStatus& status, std::size_t start = 0);
// At the first '/' after a leading one; without one the head is empty and
// the tail holds the rest.
template <class C>
void splitPath(const tBasicString<C>& source, tBasicString<C>& head, tBasicString<C>& tail,
               tStatus& status);
// splitPath; kEmptyPath for an empty source, kEmptyPathPart when head or tail
// is empty.
template <class C>
void splitQualifiedPath(const tBasicString<C>& source, tBasicString<C>& head, tBasicString<C>& tail,
                        tStatus& status);

// Checks a name against the rules of its kind (0 to 5): kEmptyName empty,
// kBadNameCharacter a forbidden character, a lone ':' or a kind above 5,
// kLeadingSpace a leading space, kTrailingSpace a trailing space,
// kLeadingUnderscore a leading '_', kNameTooLong a name of kind 4 of 255
// characters or more. The bad position, when given, is all ones unless a
// forbidden character was found. A null kind: kNullPointer.
void validateName(const tWString& name, const uint32_t* kind, tStatus& status,
                  uint64_t* badPosition);
// The name decoded from UTF-8 first.
void validateName(const tString& name, const uint32_t* kind, tStatus& status,
                  uint64_t* badPosition);
// Into the system status; a name failure carries a description with the
// name (tag 177) and the bad position (tag 194, when there is one).
void validateName(const tWString& name, const uint32_t* kind, nQoMDBG100::tStatus2& status,
                  uint64_t* badPosition);
void validateName(const tWString& name, const uint32_t* kind, uint64_t ignored,
                  nQoMDBG100::tStatus2& status, uint64_t* badPosition);

// Integer text in radix 2 to 36 (digits 0-9 then A-Z) into a buffer the
// caller sizes (64 digits, a prefix of 3 and the NUL at most); any other
// radix writes only the NUL. Each returns the position of the NUL.
inline char* formatDigits(char* buffer, uint64_t value, uint32_t radix) {
  return unsignedToText(buffer, value, radix);
}
inline char* formatDigitsFixedWidth(char* buffer, uint32_t value, uint32_t width, uint32_t radix) {
  return unsignedToTextFixed(buffer, value, width, radix);
}
// Radix 16: "0x" and the digits; 10: the digits; else "R#" and the digits.
inline char* formatIntegerInRadix(char* buffer, uint64_t value, uint32_t radix) {
  return unsignedToTextWithBase(buffer, value, radix);
}
// '-' for a negative value, then the magnitude as above.
char* formatSignedDigits(char* buffer, int64_t value, uint32_t radix);
char* formatSignedIntegerInRadix(char* buffer, int64_t value, uint32_t radix);
// The digits in lower case into a wide buffer of at least 33 elements;
// returns the buffer.
wchar_t* formatDigitsWide(uint32_t value, wchar_t* buffer, uint32_t radix);

// Skip blanks; "0x" (lower-case x) selects radix 16, else decimal digits
// followed by '#' name the radix of the digits after it. Digits are 0-9, a-z,
// A-Z below the radix; arithmetic wraps.
uint64_t parseIntegerInRadix(const char* text);
uint32_t parseUnsignedInRadix32(const char* text);
// A '-' after leading blanks negates the rest.
int32_t parseSignedInRadix32(const char* text);

// The last count characters of the source, NUL-padded to count, then a NUL.
inline char* takeRightmost(char* destination, const char* source, std::size_t count) {
  return copyTextTail(destination, source, count);
}
// The first occurrence of the pattern; the text itself for a null or empty
// pattern; null when there is none.
const char* findSubstring(const char* text, const char* pattern);
// Splits in place into at most count tokens (see commandLine.h).
using nQoUdR100::splitCommandLine;
inline uint32_t countTokens(const char* text) {
  return static_cast<uint32_t>(countCommandLineTokens(text));
}

}  // namespace nQoUdR100::nQoKABBO_1_0::nParseUtilities
