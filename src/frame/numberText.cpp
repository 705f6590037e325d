#include "frame/numberText.h"

#include "frame/nParseUtilities.h"

namespace nQoUdR100 {

namespace {

constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

bool validBase(uint32_t base) { return base >= 2 && base <= 36; }

char* terminate(char* at) {
  *at = '\0';
  return at;
}

// The value of a digit character, or -1 when it is none in this base:
// decimal digits in every base, letters only in base 16.
int portableDigit(char c, uint64_t base) {
  if (c >= '0' && c <= '9') return c - '0';
  if (base != 16) return -1;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Digits 0-9 then letters of either case, only below the radix.
int radixDigit(char c, uint64_t radix) {
  int value = -1;
  if (c >= '0' && c <= '9') value = c - '0';
  if (c >= 'a' && c <= 'z') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') value = c - 'A' + 10;
  return value >= 0 && static_cast<uint64_t>(value) < radix ? value : -1;
}

using tDigitValue = int (*)(char c, uint64_t base);

template <class T>
T readDigits(const char*& text, T base, tDigitValue digitValue) {
  T value = 0;
  for (int digit; (digit = digitValue(*text, base)) >= 0; ++text)
    value = static_cast<T>(value * base + static_cast<T>(digit));
  return value;
}

const char* skipBlanks(const char* text) {
  while (isBlank(*text)) ++text;
  return text;
}

bool hasHexPrefix(const char* text) { return text[0] == '0' && (text[1] == 'x' || text[1] == 'X'); }
bool hasLowerHexPrefix(const char* text) { return text[0] == '0' && text[1] == 'x'; }

// Skips blanks; a hexadecimal prefix selects base 16, else the text is
// decimal unless its digits are followed by "#": then they name the base of
// the digits after it. Arithmetic wraps in T.
template <class T>
T readNumber(const char* text, bool (*hexPrefix)(const char*), tDigitValue digitValue) {
  if (text == nullptr) return 0;
  text = skipBlanks(text);
  if (hexPrefix(text)) {
    text += 2;
    return readDigits<T>(text, 16, digitValue);
  }
  const T value = readDigits<T>(text, 10, digitValue);
  if (*text != '#') return value;
  ++text;
  return readDigits<T>(text, value, digitValue);
}

}  // namespace

bool isBlank(char c) {
  return c == '\t' || c == ' ' || c == '\f' || c == '\n' || c == '\v' || c == '\r';
}

char* unsignedToText(char* buffer, uint64_t value, uint32_t base) {
  if (!validBase(base)) return terminate(buffer);
  char reversed[64];
  unsigned n = 0;
  do {
    reversed[n++] = kDigits[value % base];
    value /= base;
  } while (value != 0);
  while (n > 0) *buffer++ = reversed[--n];
  return terminate(buffer);
}

char* unsignedToTextFixed(char* buffer, uint64_t value, uint32_t count, uint32_t base) {
  if (!validBase(base)) return terminate(buffer);
  for (uint32_t i = count; i > 0; --i) {
    buffer[i - 1] = kDigits[value % base];
    value /= base;
  }
  return terminate(buffer + count);
}

char* unsignedToTextWithBase(char* buffer, uint64_t value, uint32_t base) {
  if (!validBase(base)) return terminate(buffer);
  if (base == 16) {
    *buffer++ = '0';
    *buffer++ = 'x';
  } else if (base != 10) {
    buffer = unsignedToText(buffer, base, 10);
    *buffer++ = '#';
  }
  return unsignedToText(buffer, value, base);
}

uint64_t textToUnsigned(const char* text, uint64_t base) {
  if (text == nullptr) return 0;
  text = skipBlanks(text);
  if (hasHexPrefix(text)) text += 2;
  return readDigits<uint64_t>(text, base, portableDigit);
}

uint64_t textToUnsignedAutoBase(const char* text) {
  return readNumber<uint64_t>(text, hasHexPrefix, portableDigit);
}

namespace nQoKABBO_1_0::nParseUtilities {

uint64_t parseIntegerInRadix(const char* text) {
  return readNumber<uint64_t>(text, hasLowerHexPrefix, radixDigit);
}

uint32_t parseUnsignedInRadix32(const char* text) {
  return readNumber<uint32_t>(text, hasLowerHexPrefix, radixDigit);
}

int32_t parseSignedInRadix32(const char* text) {
  if (text == nullptr) return 0;
  text = skipBlanks(text);
  if (*text != '-') return static_cast<int32_t>(parseUnsignedInRadix32(text));
  return static_cast<int32_t>(0u - parseUnsignedInRadix32(text + 1));
}

}  // namespace nQoKABBO_1_0::nParseUtilities

char* copyTextTail(char* destination, const char* source, size_t n) {
  size_t length = 0;
  if (source != nullptr)
    while (source[length] != '\0') ++length;
  const char* from = length > n ? source + (length - n) : source;
  const size_t copied = length > n ? n : length;
  for (size_t i = 0; i < n; ++i) destination[i] = i < copied ? from[i] : '\0';
  return terminate(destination + n);
}

int compareText(const char* a, const char* b) {
  if (a == nullptr) a = "";
  if (b == nullptr) b = "";
  for (; *a != '\0' && *a == *b; ++a, ++b) {
  }
  if (*a == *b) return 0;
  if (*a == '\0') return -1;
  if (*b == '\0') return 1;
  return static_cast<signed char>(*a) < static_cast<signed char>(*b) ? -1 : 1;
}

}  // namespace nQoUdR100
