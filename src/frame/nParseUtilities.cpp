#include "frame/nParseUtilities.h"

#include "frame/nString.h"
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

template <class C>
bool isEmptyOrAngleBracketedT(const tBasicString<C>& text, tStatus& status) {
  if (status.isFatal() || text.empty()) return true;
  return text.size() >= 2 && text[0] == C('<') && text[text.size() - 1] == C('>');
}

template <class C>
bool isLocalHostT(const C* name, tStatus& status) {
  if (status.isFatal()) return false;
  return name == nullptr || name[0] == C(0) || equalsLiteral(name, "localhost") ||
         equalsLiteral(name, "127.0.0.1");
}

template <class C>
void trimWhitespaceT(tBasicString<C>& text, tStatus& status) {
  if (status.isFatal()) return;
  std::size_t end = text.size();
  while (end > 0 && isWhitespace(text[end - 1])) --end;
  text.resize(end);
  std::size_t start = 0;
  while (start < end && isWhitespace(text[start])) ++start;
  text.erase(0, start);
}

template <class C>
void trimTrailingNewlinesT(tBasicString<C>& text, tStatus& status) {
  if (status.isFatal()) return;
  std::size_t end = text.size();
  while (end > 0 && isLineEnd(text[end - 1])) --end;
  if (end > 0) text.resize(end);
}

template <class C>
void removeLeadingSlashT(tBasicString<C>& text, tStatus& status) {
  if (status.isFatal() || text.empty() || text[0] != C('/')) return;
  text.erase(0, 1);
  text.checkAllocation(status, {kFile, 140});
}

template <class C>
void assignStringT(const tBasicString<C>& source, tBasicString<C>& destination, tStatus& status) {
  if (status.isFatal()) return;
  if (&source != &destination) destination = source;
  destination.checkAllocation(status, {kFile, 150});
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

// Results go through locals, so the source may be head or tail itself.
template <class C>
void splitAtCharT(const tBasicString<C>& source, C separator, tBasicString<C>& head,
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
void splitPathT(const tBasicString<C>& source, tBasicString<C>& head, tBasicString<C>& tail,
                tStatus& status) {
  if (status.isFatal()) return;
  const std::size_t start = !source.empty() && source[0] == C('/') ? 1 : 0;
  splitAtCharT(source, C('/'), head, tail, status, start);
  if (tail.empty()) head.swap(tail);
}

template <class C>
void splitQualifiedPathT(const tBasicString<C>& source, tBasicString<C>& head,
                         tBasicString<C>& tail, tStatus& status) {
  if (status.isFatal()) return;
  if (source.empty()) {
    head.clear();
    tail.clear();
    setCode(status, -200099, {kFile, 210});
    return;
  }
  splitPathT(source, head, tail, status);
  if (head.empty() || tail.empty()) setCode(status, -201237, {kFile, 215});
}

template <char* (*format)(char*, uint64_t, uint32_t)>
char* formatSigned(char* buffer, int64_t value, uint32_t radix) {
  if (radix < 2 || radix > 36) return format(buffer, 0, radix);
  if (value < 0) *buffer++ = '-';
  return format(buffer, value < 0 ? 0 - static_cast<uint64_t>(value) : value, radix);
}

}  // namespace

bool isEmptyOrAngleBracketed(const tString& text, tStatus& status) {
  return isEmptyOrAngleBracketedT(text, status);
}
bool isEmptyOrAngleBracketed(const tWString& text, tStatus& status) {
  return isEmptyOrAngleBracketedT(text, status);
}

bool isLocalHost(const char* name, tStatus& status) { return isLocalHostT(name, status); }
bool isLocalHost(const tString& name, tStatus& status) { return isLocalHostT(name.c_str(), status); }
bool isLocalHost(const wchar_t* name, tStatus& status) { return isLocalHostT(name, status); }
bool isLocalHost(const tWString& name, tStatus& status) {
  return isLocalHostT(name.c_str(), status);
}

void trimWhitespace(tString& text, tStatus& status) { trimWhitespaceT(text, status); }
void trimWhitespace(tWString& text, tStatus& status) { trimWhitespaceT(text, status); }
void trimTrailingNewlines(tString& text, tStatus& status) { trimTrailingNewlinesT(text, status); }
void trimTrailingNewlines(tWString& text, tStatus& status) { trimTrailingNewlinesT(text, status); }
void removeLeadingSlash(tString& text, tStatus& status) { removeLeadingSlashT(text, status); }
void removeLeadingSlash(tWString& text, tStatus& status) { removeLeadingSlashT(text, status); }
void assignString(const tString& source, tString& destination, tStatus& status) {
  assignStringT(source, destination, status);
}
void assignString(const tWString& source, tWString& destination, tStatus& status) {
  assignStringT(source, destination, status);
}

void numberToString(uint32_t value, tString& destination, tStatus& status) {
  store(decimal(value, false), destination, status);
}
void numberToString(int32_t value, tString& destination, tStatus& status) {
  store(decimal(int64_t{value}), destination, status);
}
void numberToString(uint64_t value, tString& destination, tStatus& status) {
  store(decimal(value, false), destination, status);
}
void numberToString(int64_t value, tString& destination, tStatus& status) {
  store(decimal(value), destination, status);
}
void numberToString(uint32_t value, tWString& destination, tStatus& status) {
  store(decimal(value, false), destination, status);
}
void numberToString(int32_t value, tWString& destination, tStatus& status) {
  store(decimal(int64_t{value}), destination, status);
}
void numberToString(uint64_t value, tWString& destination, tStatus& status) {
  store(decimal(value, false), destination, status);
}
void numberToString(int64_t value, tWString& destination, tStatus& status) {
  store(decimal(value), destination, status);
}

void splitAtChar(const tString& source, char separator, tString& head, tString& tail,
                 tStatus& status, std::size_t start) {
  splitAtCharT(source, separator, head, tail, status, start);
}
void splitAtChar(const tWString& source, wchar_t separator, tWString& head, tWString& tail,
                 tStatus& status, std::size_t start) {
  splitAtCharT(source, separator, head, tail, status, start);
}
void splitPath(const tString& source, tString& head, tString& tail, tStatus& status) {
  splitPathT(source, head, tail, status);
}
void splitPath(const tWString& source, tWString& head, tWString& tail, tStatus& status) {
  splitPathT(source, head, tail, status);
}
void splitQualifiedPath(const tString& source, tString& head, tString& tail, tStatus& status) {
  splitQualifiedPathT(source, head, tail, status);
}
void splitQualifiedPath(const tWString& source, tWString& head, tWString& tail,
                        tStatus& status) {
  splitQualifiedPathT(source, head, tail, status);
}

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
