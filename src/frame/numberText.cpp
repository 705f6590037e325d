#include "frame/numberText.h"

namespace nQoUdR100 {

namespace {

constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

bool validBase(uint32_t base) { return base >= 2 && base <= 36; }

char* terminate(char* at) {
  *at = '\0';
  return at;
}

// The value of a digit character, or -1 when it is none in this base.
int digitValue(char c, uint64_t base) {
  if (c >= '0' && c <= '9') return c - '0';
  if (base != 16) return -1;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

uint64_t readDigits(const char*& text, uint64_t base) {
  uint64_t value = 0;
  for (int digit; (digit = digitValue(*text, base)) >= 0; ++text) value = value * base + digit;
  return value;
}

const char* skipBlanks(const char* text) {
  while (isBlank(*text)) ++text;
  return text;
}

bool hasHexPrefix(const char* text) { return text[0] == '0' && (text[1] == 'x' || text[1] == 'X'); }

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
  return readDigits(text, base);
}

uint64_t textToUnsignedAutoBase(const char* text) {
  if (text == nullptr) return 0;
  text = skipBlanks(text);
  if (hasHexPrefix(text)) {
    text += 2;
    return readDigits(text, 16);
  }
  const uint64_t value = readDigits(text, 10);
  if (*text != '#') return value;
  ++text;
  return readDigits(text, value);
}

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
