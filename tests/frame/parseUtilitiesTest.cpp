// The parse utilities: tests, trimming, splitting, name validation and
// integer text.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/nParseUtilities.h"
#include "sim/simAllocator.h"
#include "sim/simStatusLog.h"
#include "support/moduleFixture.h"

namespace {

using namespace nQoUdR100;
using namespace nQoUdR100::nQoKABBO_1_0::nParseUtilities;

using tStatus = nQoAPALS100::tStatus;
constexpr uint64_t kNoPosition = ~uint64_t{0};

std::string text(const tString& s) { return {s.c_str(), s.size()}; }
std::wstring text(const tWString& s) { return {s.c_str(), s.size()}; }

class ParseUtilitiesTest : public nQoTest::tLeakCheckedTest {};

TEST_F(ParseUtilitiesTest, TestsOfNames) {
  tStatus ok, failed{16, -1};
  EXPECT_FALSE(isLocalHost("LOCALHOST", ok));
  EXPECT_TRUE(isLocalHost("localhost", ok));
  EXPECT_TRUE(isLocalHost(L"127.0.0.1", ok));
  EXPECT_FALSE(isLocalHost(L"127.0.0.10", ok));
  EXPECT_FALSE(isLocalHost("localhos", ok));
  EXPECT_TRUE(isLocalHost(static_cast<const char*>(nullptr), ok));
  EXPECT_TRUE(isLocalHost(tWString(), ok));
  EXPECT_FALSE(isLocalHost("localhost", failed));

  EXPECT_FALSE(isEmptyOrAngleBracketed(tString("<"), ok));
  EXPECT_TRUE(isEmptyOrAngleBracketed(tString("<>"), ok));
  EXPECT_TRUE(isEmptyOrAngleBracketed(tWString(L"<a b>"), ok));
  EXPECT_FALSE(isEmptyOrAngleBracketed(tWString(L"<ab"), ok));
  EXPECT_TRUE(isEmptyOrAngleBracketed(tString(), ok));
  EXPECT_TRUE(isEmptyOrAngleBracketed(tString("x"), failed));
  EXPECT_EQ(ok.code, 0);
}

TEST_F(ParseUtilitiesTest, TrimmingAndEditing) {
  tStatus status;
  tString words(" \t\r\nab cd\r\n \t");
  trimWhitespace(words, status);
  EXPECT_EQ(text(words), "ab cd");
  tWString blank(L" \t\v\f ");
  trimWhitespace(blank, status);
  EXPECT_TRUE(blank.empty());

  tString lines("a\r\n\r\n");
  trimTrailingNewlines(lines, status);
  EXPECT_EQ(text(lines), "a");
  tString onlyEnds("\r\n");
  trimTrailingNewlines(onlyEnds, status);
  EXPECT_EQ(text(onlyEnds), "\r\n");

  tWString slash(L"//a");
  removeLeadingSlash(slash, status);
  EXPECT_EQ(text(slash), L"/a");
  tString copy;
  assignString(tString("xyz"), copy, status);
  assignString(copy, copy, status);
  EXPECT_EQ(text(copy), "xyz");
  EXPECT_EQ(status.code, 0);

  tStatus failed{16, -3};
  tString kept(" a ");
  trimWhitespace(kept, failed);
  EXPECT_EQ(text(kept), " a ");
}

TEST_F(ParseUtilitiesTest, NumbersToStrings) {
  tStatus status;
  tString narrow("old");
  numberToString(int32_t{INT32_MIN}, narrow, status);
  EXPECT_EQ(text(narrow), "-2147483648");
  numberToString(uint32_t{4294967295u}, narrow, status);
  EXPECT_EQ(text(narrow), "4294967295");
  numberToString(int64_t{INT64_MIN}, narrow, status);
  EXPECT_EQ(text(narrow), "-9223372036854775808");
  numberToString(uint64_t{0}, narrow, status);
  EXPECT_EQ(text(narrow), "0");
  tWString wide;
  numberToString(int32_t{-42}, wide, status);
  EXPECT_EQ(text(wide), L"-42");
  numberToString(uint64_t{18446744073709551615u}, wide, status);
  EXPECT_EQ(text(wide), L"18446744073709551615");
  EXPECT_EQ(status.code, 0);

  tString fresh;
  nQoSim::failAllocation(1);
  numberToString(uint32_t{7}, fresh, status);
  EXPECT_EQ(status.code, -50352);
}

TEST_F(ParseUtilitiesTest, Splitting) {
  tStatus status;
  tString head("h"), tail("t");
  splitPath(tString("/a/b/c"), head, tail, status);
  EXPECT_EQ(text(head), "a");
  EXPECT_EQ(text(tail), "b/c");
  splitPath(tString("abc"), head, tail, status);
  EXPECT_EQ(text(head), "");
  EXPECT_EQ(text(tail), "abc");
  splitPath(tString("/abc"), head, tail, status);
  EXPECT_EQ(text(head), "");
  EXPECT_EQ(text(tail), "abc");
  EXPECT_EQ(status.code, 0);

  tWString wideHead, wideTail;
  splitAtChar(tWString(L"k=v=w"), L'=', wideHead, wideTail, status);
  EXPECT_EQ(text(wideHead), L"k");
  EXPECT_EQ(text(wideTail), L"v=w");
  splitAtChar(tWString(L"k=v=w"), L'=', wideHead, wideTail, status, 2);
  EXPECT_EQ(text(wideHead), L"v");
  EXPECT_EQ(text(wideTail), L"w");
  // A start past the end counts as the end.
  splitAtChar(tWString(L"ab"), L'=', wideHead, wideTail, status, 7);
  EXPECT_TRUE(wideHead.empty());
  EXPECT_TRUE(wideTail.empty());
  // The source may be one of the results.
  tString both("x/y");
  splitAtChar(both, '/', both, tail, status);
  EXPECT_EQ(text(both), "x");
  EXPECT_EQ(text(tail), "y");
  EXPECT_EQ(status.code, 0);

  tStatus unqualified;
  splitQualifiedPath(tString("abc"), head, tail, unqualified);
  EXPECT_EQ(unqualified.code, -201237);
  tStatus empty;
  splitQualifiedPath(tString(""), head, tail, empty);
  EXPECT_EQ(empty.code, -200099);
  EXPECT_TRUE(head.empty() && tail.empty());
  tStatus qualified;
  splitQualifiedPath(tString("dev/ai0"), head, tail, qualified);
  EXPECT_EQ(qualified.code, 0);

  tStatus outOfMemory;
  const tString path("/a/b");
  nQoSim::failAllocation(1);
  splitPath(path, head, tail, outOfMemory);
  EXPECT_EQ(outOfMemory.code, -50352);
}

struct tNameCase {
  const wchar_t* name;
  uint32_t kind;
  int64_t code;
  uint64_t position;
};

TEST_F(ParseUtilitiesTest, ValidateNameByKind) {
  const tNameCase cases[] = {
      {L"a::b", 0, 0, kNoPosition},
      {L"a:b", 0, -200552, 1},
      {L"a::b", 2, -200552, 1},
      {L"ab:", 1, -200552, 2},
      {L"a:::b", 5, -200552, 3},
      {L"::ab", 0, -200552, kNoPosition},  // edge rule: leading ':'
      {L" ab", 0, -200553, kNoPosition},
      {L"ab ", 0, -200554, kNoPosition},
      {L"_ab", 0, -200555, kNoPosition},
      {L"_ab", 3, -200555, kNoPosition},
      {L" ab", 3, -200552, 0},  // a space is forbidden in kinds 2 to 4
      {L"a.b", 0, -200552, 1},
      {L"a\x1F"
       L"b",
       0, -200552, 1},
      {L"a\x07"
       L"b",
       4, 0, kNoPosition},  // 1 to 7 are in neither set
      {L"a!b", 0, 0, kNoPosition},
      {L"a!b", 2, -200552, 1},
      {L"ab", 6, -200552, 0},
      {L"", 0, -200467, kNoPosition},
  };
  for (const tNameCase& c : cases) {
    tStatus status;
    uint64_t position = 17;
    validateName(tWString(c.name), &c.kind, status, &position);
    EXPECT_EQ(status.code, c.code) << "kind " << c.kind;
    EXPECT_EQ(position, c.position) << "kind " << c.kind;
  }

  const uint32_t kind4 = 4;
  tStatus tooLong;
  validateName(tWString(std::wstring(255, L'n').c_str()), &kind4, tooLong, nullptr);
  EXPECT_EQ(tooLong.code, -201337);
  tStatus longest;
  validateName(tWString(std::wstring(254, L'n').c_str()), &kind4, longest, nullptr);
  EXPECT_EQ(longest.code, 0);
  tStatus firstErrorStays;
  validateName(tWString((L" " + std::wstring(254, L'n')).c_str()), &kind4, firstErrorStays,
               nullptr);
  EXPECT_EQ(firstErrorStays.code, -200552);

  const uint32_t kind0 = 0;
  tStatus narrow;
  uint64_t position = 0;
  validateName(tString("\xC3\xA9:x"), &kind0, narrow, &position);
  EXPECT_EQ(narrow.code, -200552);
  EXPECT_EQ(position, 1u) << "positions count code points";
  tStatus badUTF8;
  validateName(tString("a\xFF"), &kind0, badUTF8, &position);
  EXPECT_EQ(badUTF8.code, -200811);
  EXPECT_EQ(position, kNoPosition);
  tStatus noKind;
  validateName(tWString(L"ab"), nullptr, noKind, &position);
  EXPECT_EQ(noKind.code, -50004);
}

std::string formatted(char* (*format)(char*, uint64_t, uint32_t), uint64_t value, uint32_t radix) {
  char buffer[80];
  std::memset(buffer, '#', sizeof buffer);
  const char* end = format(buffer, value, radix);
  EXPECT_EQ(static_cast<size_t>(end - buffer), std::strlen(buffer));
  return buffer;
}

std::string formattedSigned(char* (*format)(char*, int64_t, uint32_t), int64_t value,
                            uint32_t radix) {
  char buffer[80];
  std::memset(buffer, '#', sizeof buffer);
  const char* end = format(buffer, value, radix);
  EXPECT_EQ(static_cast<size_t>(end - buffer), std::strlen(buffer));
  return buffer;
}

TEST_F(ParseUtilitiesTest, IntegerText) {
  EXPECT_EQ(formatted(formatIntegerInRadix, 255, 16), "0xFF");
  EXPECT_EQ(formatted(formatIntegerInRadix, 255, 2), "2#11111111");
  EXPECT_EQ(formatted(formatIntegerInRadix, 255, 10), "255");
  EXPECT_EQ(formatted(formatDigits, 35, 36), "Z");
  EXPECT_EQ(formattedSigned(formatSignedIntegerInRadix, -255, 16), "-0xFF");
  EXPECT_EQ(formattedSigned(formatSignedDigits, INT64_MIN, 16), "-8000000000000000");
  EXPECT_EQ(formattedSigned(formatSignedDigits, 5, 2), "101");
  // Radixes outside 2..36 write only the NUL, also no sign.
  for (uint32_t radix : {0u, 1u, 37u}) {
    EXPECT_EQ(formatted(formatIntegerInRadix, 255, radix), "") << radix;
    EXPECT_EQ(formatted(formatDigits, 255, radix), "") << radix;
    EXPECT_EQ(formattedSigned(formatSignedDigits, -5, radix), "") << radix;
    EXPECT_EQ(formattedSigned(formatSignedIntegerInRadix, -5, radix), "") << radix;
    wchar_t wide[4] = {L'#', L'#', L'#', L'#'};
    EXPECT_EQ(formatDigitsWide(255, wide, radix), wide);
    EXPECT_EQ(wide[0], 0);
    char fixed[8];
    std::memset(fixed, '#', sizeof fixed);
    EXPECT_EQ(formatDigitsFixedWidth(fixed, 255, 4, radix), fixed);
  }
  wchar_t wide[40];
  EXPECT_EQ(std::wstring(formatDigitsWide(0xBEEF, wide, 16)), L"beef");
  EXPECT_EQ(std::wstring(formatDigitsWide(0xFFFFFFFF, wide, 2)), std::wstring(32, L'1'));
  char fixed[8];
  formatDigitsFixedWidth(fixed, 0x1234, 3, 16);
  EXPECT_STREQ(fixed, "234");

  EXPECT_EQ(parseIntegerInRadix("  0x1f"), 31u);
  EXPECT_EQ(parseIntegerInRadix("16#ff"), 255u);
  EXPECT_EQ(parseIntegerInRadix("0X10"), 0u);
  EXPECT_EQ(parseIntegerInRadix("12abc"), 12u);
  EXPECT_EQ(parseIntegerInRadix("36#zZ"), 35u * 36 + 35);
  EXPECT_EQ(parseIntegerInRadix("2#102"), 2u);
  EXPECT_EQ(parseIntegerInRadix("1#0"), 0u);
  EXPECT_EQ(parseIntegerInRadix("0#5"), 0u);
  EXPECT_EQ(parseIntegerInRadix("18446744073709551617"), 1u);
  EXPECT_EQ(parseIntegerInRadix(nullptr), 0u);
  EXPECT_EQ(parseUnsignedInRadix32("4294967297"), 1u);
  EXPECT_EQ(parseUnsignedInRadix32("4294967298#5"), 0u) << "the radix wraps to 2 first";
  EXPECT_EQ(parseIntegerInRadix("4294967298#5"), 5u);
  EXPECT_EQ(parseSignedInRadix32(" - 0x10"), -16);
  EXPECT_EQ(parseSignedInRadix32("+5"), 0);
  EXPECT_EQ(parseSignedInRadix32("2147483648"), INT32_MIN);
}

TEST_F(ParseUtilitiesTest, PlainTextFunctions) {
  const char* hay = "abcabd";
  EXPECT_EQ(findSubstring(hay, "abd"), hay + 3);
  EXPECT_EQ(findSubstring(hay, ""), hay);
  EXPECT_EQ(findSubstring(hay, nullptr), hay);
  EXPECT_EQ(findSubstring(hay, "abde"), nullptr);
  EXPECT_EQ(findSubstring(nullptr, "a"), nullptr);

  char line[] = "a \"b c\" d";
  EXPECT_EQ(countTokens(line), 3u);
  char* tokens[3] = {};
  splitCommandLine(3, line, tokens);
  EXPECT_STREQ(tokens[0], "a");
  EXPECT_STREQ(tokens[1], "b c");
  EXPECT_STREQ(tokens[2], "d");

  char tail[6];
  EXPECT_EQ(takeRightmost(tail, "abcdef", 3), tail + 3);
  EXPECT_STREQ(tail, "def");
}

}  // namespace
