// Unsigned numbers to text and back, and small text helpers.
//
//   char text[72];
//   unsignedToTextWithBase(text, 255, 16);        // "0xFF"
//   textToUnsignedAutoBase("16#ff");              // 255
//
// Digits are "0"-"9" then "A"-"Z". The formatters take bases 2 to 36; any
// other base writes only the NUL. The caller's buffer must hold the text:
// 64 digits, a base prefix of up to 3 characters and the NUL at most.
#pragma once

#include <cstddef>
#include <cstdint>

namespace nQoUdR100 {

// Tab, space, form feed, line feed, vertical tab, carriage return.
bool isBlank(char c);

// At least one digit, most significant first; returns the position of the NUL.
char* unsignedToText(char* buffer, uint64_t value, uint32_t base);
// Exactly count digits (leading zeros; higher digits dropped).
char* unsignedToTextFixed(char* buffer, uint64_t value, uint32_t count, uint32_t base);
// Base 16: "0x" and the digits; base 10: the digits; else the base in
// decimal, "#" and the digits ("2#101").
char* unsignedToTextWithBase(char* buffer, uint64_t value, uint32_t base);

// Skips blanks and a leading "0x" or "0X", then reads digits: "0"-"9" in
// every base, "a"-"f" and "A"-"F" only in base 16. Null gives 0.
uint64_t textToUnsigned(const char* text, uint64_t base);
// "0x1A" is hexadecimal, "16#ff" names its base, anything else is decimal.
uint64_t textToUnsignedAutoBase(const char* text);

// Exactly n characters: the last n of the source, or all of it followed by
// NULs when shorter; then a NUL. Returns destination + n.
char* copyTextTail(char* destination, const char* source, size_t n);
// -1, 0 or 1, comparing signed characters; a shorter prefix sorts first.
// Null counts as empty.
int compareText(const char* a, const char* b);

}  // namespace nQoUdR100
