#include "frame/nParseUtilities.h"

#include <type_traits>

#include "frame/nString.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdR100::nQoKABBO_1_0::nParseUtilities {

namespace {

constexpr char kFile[] = "nParseUtilities";

template <class C>
bool isWhitespace(C c) {
  return c == C(' ') || c == C('\t') || c == C('\r') || c == C('\n') || c == C('\f') ||
         c == C('\v');
}

template <class C>
bool isLineEnd(C c) {
  return c == C('\r') || c == C('\n');
}

// Element-wise against a narrow literal; null counts as empty.
template <class C>
bool equalsLiteral(const C* text, const char* literal) {
  std::size_t i = 0;
  for (; literal[i] != '\0'; ++i)
    if (text[i] != C(static_cast<unsigned char>(literal[i]))) return false;
  return text[i] == C(0);
}

template <char* (*format)(char*, uint64_t, uint32_t)>
char* formatSigned(char* buffer, int64_t value, uint32_t radix) {
  if (radix < 2 || radix > 36) return format(buffer, 0, radix);
  if (value < 0) *buffer++ = '-';
  return format(buffer, value < 0 ? 0 - static_cast<uint64_t>(value) : value, radix);
}

// The decimal text of a value, '-' first for a negative one.
struct tDecimalText {
  char text[24];
  std::size_t length;
};

tDecimalText decimal(uint64_t magnitude, bool negative) {
  tDecimalText out;
  char* at = out.text;
  if (negative) *at++ = '-';
  out.length = static_cast<std::size_t>(unsignedToText(at, magnitude, 10) - out.text);
  return out;
}

tDecimalText decimal(int64_t value) {
  return decimal(value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value),
                 value < 0);
}

void store(const tDecimalText& number, tString& destination, tStatus& status) {
  if (status.isFatal()) return;
  destination.assign(number.text, number.length);
  destination.checkAllocation(status, {kFile, 170});
}

void store(const tDecimalText& number, tWString& destination, tStatus& status) {
  nString::widenToWString(number.text, number.length, destination, status, nString::kCounted);
}

}  // namespace

template <class C>
bool isEmptyOrAngleBracketed(const tBasicString<C>& text, tStatus& status) {
  if (status.isFatal() || text.empty()) return true;
  return text.size() >= 2 && text[0] == C('<') && text[text.size() - 1] == C('>');
}

template <class C>
bool isLocalHost(const C* name, tStatus& status) {
  if (status.isFatal()) return false;
  return name == nullptr || name[0] == C(0) || equalsLiteral(name, "localhost") ||
         equalsLiteral(name, "127.0.0.1");
}

template <class C>
void trimWhitespace(tBasicString<C>& text, tStatus& status) {
  if (status.isFatal()) return;
  std::size_t end = text.size();
  while (end > 0 && isWhitespace(text[end - 1])) --end;
  text.resize(end);
  std::size_t start = 0;
  while (start < end && isWhitespace(text[start])) ++start;
  text.erase(0, start);
}

template <class C>
void trimTrailingNewlines(tBasicString<C>& text, tStatus& status) {
  if (status.isFatal()) return;
  std::size_t end = text.size();
  while (end > 0 && isLineEnd(text[end - 1])) --end;
  if (end > 0) text.resize(end);
}

template <class C>
void removeLeadingSlash(tBasicString<C>& text, tStatus& status) {
  if (status.isFatal() || text.empty() || text[0] != C('/')) return;
  text.erase(0, 1);
  text.checkAllocation(status, {kFile, 140});
}

template <class C>
void assignString(const tBasicString<C>& source, tBasicString<C>& destination, tStatus& status) {
  if (status.isFatal()) return;
  if (&source != &destination) destination = source;
  destination.checkAllocation(status, {kFile, 150});
}

// Results go through locals, so the source may be head or tail itself.
template <class C>
void splitAtChar(const tBasicString<C>& source, C separator, tBasicString<C>& head,
                 tBasicString<C>& tail, tStatus& status, std::size_t start) {
  if (status.isFatal()) return;
  tBasicString<C> first, rest;
  if (start < source.size()) {
    std::size_t at = start;
    while (at < source.size() && source[at] != separator) ++at;
    first.assign(source.c_str() + start, at - start);
    if (at < source.size()) rest.assign(source.c_str() + at + 1, source.size() - at - 1);
  }
  head.swap(first);
  tail.swap(rest);
  head.checkAllocation(status, {kFile, 190});
  tail.checkAllocation(status, {kFile, 191});
}

template <class C>
void splitPath(const tBasicString<C>& source, tBasicString<C>& head, tBasicString<C>& tail,
               tStatus& status) {
  if (status.isFatal()) return;
  const std::size_t start = !source.empty() && source[0] == C('/') ? 1 : 0;
  splitAtChar(source, C('/'), head, tail, status, start);
  if (tail.empty()) head.swap(tail);
}

template <class C>
void splitQualifiedPath(const tBasicString<C>& source, tBasicString<C>& head, tBasicString<C>& tail,
                        tStatus& status) {
  if (status.isFatal()) return;
  if (source.empty()) {
    head.clear();
    tail.clear();
    setCode(status, kEmptyPath, {kFile, 210});
    return;
  }
  splitPath(source, head, tail, status);
  if (head.empty() || tail.empty()) setCode(status, kEmptyPathPart, {kFile, 215});
}

template <class C, class T>
void numberToString(T value, tBasicString<C>& destination, tStatus& status) {
  if constexpr (std::is_signed_v<T>)
    store(decimal(int64_t{value}), destination, status);
  else
    store(decimal(uint64_t{value}, false), destination, status);
}

#define QO_PARSE_UTILITIES_FOR(C)                                                                \
  template bool isEmptyOrAngleBracketed(const tBasicString<C>&, tStatus&);                       \
  template bool isLocalHost(const C*, tStatus&);                                                 \
  template void trimWhitespace(tBasicString<C>&, tStatus&);                                      \
  template void trimTrailingNewlines(tBasicString<C>&, tStatus&);                                \
  template void removeLeadingSlash(tBasicString<C>&, tStatus&);                                  \
  template void assignString(const tBasicString<C>&, tBasicString<C>&, tStatus&);                \
  template void numberToString(uint32_t, tBasicString<C>&, tStatus&);                            \
  template void numberToString(int32_t, tBasicString<C>&, tStatus&);                             \
  template void numberToString(uint64_t, tBasicString<C>&, tStatus&);                            \
  template void numberToString(int64_t, tBasicString<C>&, tStatus&);                             \
  template void splitAtChar(const tBasicString<C>&, C, tBasicString<C>&, tBasicString<C>&,       \
                            tStatus&, std::size_t);                                              \
  template void splitPath(const tBasicString<C>&, tBasicString<C>&, tBasicString<C>&, tStatus&); \
  template void splitQualifiedPath(const tBasicString<C>&, tBasicString<C>&, tBasicString<C>&,   \
                                   tStatus&);
QO_PARSE_UTILITIES_FOR(char)
QO_PARSE_UTILITIES_FOR(wchar_t)
#undef QO_PARSE_UTILITIES_FOR

char* formatSignedDigits(char* buffer, int64_t value, uint32_t radix) {
  return formatSigned<unsignedToText>(buffer, value, radix);
}

char* formatSignedIntegerInRadix(char* buffer, int64_t value, uint32_t radix) {
  return formatSigned<unsignedToTextWithBase>(buffer, value, radix);
}

wchar_t* formatDigitsWide(uint32_t value, wchar_t* buffer, uint32_t radix) {
  char digits[256];
  unsignedToText(digits, value, radix);
  std::size_t i = 0;
  for (; digits[i] != '\0'; ++i) {
    const char c = digits[i];
    buffer[i] = c >= 'A' && c <= 'Z' ? wchar_t(c - 'A' + 'a') : wchar_t(c);
  }
  buffer[i] = 0;
  return buffer;
}

const char* findSubstring(const char* text, const char* pattern) {
  if (pattern == nullptr || pattern[0] == '\0') return text;
  if (text == nullptr) return nullptr;
  for (; *text != '\0'; ++text) {
    std::size_t i = 0;
    while (pattern[i] != '\0' && text[i] == pattern[i]) ++i;
    if (pattern[i] == '\0') return text;
  }
  return nullptr;
}

}  // namespace nQoUdR100::nQoKABBO_1_0::nParseUtilities
