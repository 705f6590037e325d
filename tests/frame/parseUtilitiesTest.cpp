// The parse utilities: tests, trimming, splitting, name validation and
// integer text.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/nParseUtilities.h"
#include "sim/simAllocator.h"
#include "support/moduleFixture.h"

namespace {

using namespace nQoUdR100;
using namespace nQoUdR100::nQoKABBO_1_0::nParseUtilities;

using tStatus = nQoAPALS100::tStatus;
constexpr uint64_t kNoPosition = ~uint64_t{0};

template <class C>
std::basic_string<C> text(const tBasicString<C>& s) {
  return {s.c_str(), s.size()};
}

class ParseUtilitiesTest : public nQoTest::tLeakCheckedTest {};

TEST_F(ParseUtilitiesTest, TestsTrimmingAndNumbers) {
  tStatus ok, failed{16, -1};
  EXPECT_FALSE(isLocalHost("LOCALHOST", ok));
  EXPECT_TRUE(isLocalHost(static_cast<const char*>(nullptr), ok));
  EXPECT_FALSE(isLocalHost(L"localhost", failed));
  EXPECT_FALSE(isEmptyOrAngleBracketed(tString("<"), ok));
  EXPECT_TRUE(isEmptyOrAngleBracketed(tWString(L"<>"), ok));

  tString words(" \t\r\nab cd\r\n \t"), onlyEnds("\r\n");
  trimWhitespace(words, ok);
  trimTrailingNewlines(onlyEnds, ok);
  EXPECT_EQ(text(words), "ab cd");
  EXPECT_EQ(text(onlyEnds), "\r\n");

  tWString number(L"old");
  numberToString(int32_t{INT32_MIN}, number, ok);
  EXPECT_EQ(text(number), L"-2147483648");
  EXPECT_EQ(ok.code, 0);
}

TEST_F(ParseUtilitiesTest, Splitting) {
  tStatus status;
  tString head("h"), tail("t");
  const struct {
    const char* path;
    const char* head;
    const char* tail;
  } paths[] = {{"/a/b/c", "a", "b/c"}, {"abc", "", "abc"}, {"/abc", "", "abc"}, {"", "", ""}};
  for (const auto& p : paths) {
    splitPath(tString(p.path), head, tail, status);
    EXPECT_EQ(text(head), p.head) << p.path;
    EXPECT_EQ(text(tail), p.tail) << p.path;
  }

  tWString wideHead, wideTail;
  splitAtChar(tWString(L"k=v=w"), L'=', wideHead, wideTail, status, 2);
  EXPECT_EQ(text(wideHead), L"v");
  EXPECT_EQ(text(wideTail), L"w");
  splitAtChar(tWString(L"ab"), L'=', wideHead, wideTail, status, 7);  // past the end: the end
  EXPECT_TRUE(wideHead.empty() && wideTail.empty());
  tString both("x/y");  // the source may be a result
  splitAtChar(both, '/', both, tail, status);
  EXPECT_EQ(text(both) + "|" + text(tail), "x|y");
  EXPECT_EQ(status.code, 0);

  tStatus unqualified, empty;
  splitQualifiedPath(tString("abc"), head, tail, unqualified);
  splitQualifiedPath(tString(""), head, tail, empty);
  EXPECT_EQ(unqualified.code, -201237);
  EXPECT_EQ(empty.code, -200099);

  tStatus outOfMemory;
  const tString path("/a/b");
  nQoSim::failAllocation(1);
  splitPath(path, head, tail, outOfMemory);
  EXPECT_EQ(outOfMemory.code, -50352);
}

TEST_F(ParseUtilitiesTest, ValidateNameByKind) {
  const struct {
    const wchar_t* name;
    uint32_t kind;
    int64_t code;
    uint64_t position;
  } cases[] = {
      {L"a::b", 0, 0, kNoPosition},
      {L"a:b", 0, -200552, 1},
      {L"a::b", 2, -200552, 1},
      {L"a:::b", 5, -200552, 3},
      {L"::ab", 0, -200552, kNoPosition},  // edge rule: leading ':'
      {L" ab", 0, -200553, kNoPosition},
      {L"ab ", 1, -200554, kNoPosition},
      {L"_ab", 3, -200555, kNoPosition},
      {L" ab", 3, -200552, 0},  // a space is forbidden in kinds 2 to 4
      {L"a\x1F"
       L"b",
       0, -200552, 1},
      {L"a\x07"
       L"b",
       4, 0, kNoPosition},  // 1 to 7 are in neither set
      {L"a!b", 0, 0, kNoPosition},
      {L"ab", 6, -200552, 0},
      {L"", 0, -200467, kNoPosition},
  };
  for (const auto& c : cases) {
    tStatus status;
    uint64_t position = 17;
    validateName(tWString(c.name), &c.kind, status, &position);
    EXPECT_EQ(status.code, c.code) << "kind " << c.kind;
    EXPECT_EQ(position, c.position) << "kind " << c.kind;
  }

  const uint32_t kind4 = 4, kind0 = 0;
  tStatus tooLong, longest, firstErrorStays;
  validateName(tWString(std::wstring(255, L'n').c_str()), &kind4, tooLong, nullptr);
  validateName(tWString(std::wstring(254, L'n').c_str()), &kind4, longest, nullptr);
  validateName(tWString((L"_" + std::wstring(254, L'n')).c_str()), &kind4, firstErrorStays,
               nullptr);
  EXPECT_EQ(tooLong.code, -201337);
  EXPECT_EQ(longest.code, 0);
  EXPECT_EQ(firstErrorStays.code, -200555);

  tStatus narrow, noKind;
  uint64_t position = 0;
  validateName(tString("\xC3\xA9:x"), &kind0, narrow, &position);
  EXPECT_EQ(narrow.code, -200552);
  EXPECT_EQ(position, 1u) << "positions count code points";
  validateName(tWString(L"ab"), nullptr, noKind, &position);
  EXPECT_EQ(noKind.code, -50004);
}

template <class tValue>
std::string formatted(char* (*format)(char*, tValue, uint32_t), tValue value, uint32_t radix) {
  char buffer[80];
  std::memset(buffer, '#', sizeof buffer);
  const char* end = format(buffer, value, radix);
  EXPECT_EQ(static_cast<size_t>(end - buffer), std::strlen(buffer));
  return buffer;
}

TEST_F(ParseUtilitiesTest, IntegerText) {
  EXPECT_EQ(formatted<uint64_t>(formatIntegerInRadix, 255, 2), "2#11111111");
  EXPECT_EQ(formatted<int64_t>(formatSignedIntegerInRadix, -255, 16), "-0xFF");
  EXPECT_EQ(formatted<int64_t>(formatSignedDigits, INT64_MIN, 16), "-8000000000000000");
  wchar_t wide[40] = {};
  EXPECT_EQ(std::wstring(formatDigitsWide(0xBEEF, wide, 16)), L"beef");
  // Radixes outside 2..36 write only the NUL, and no sign either.
  for (uint32_t radix : {0u, 1u, 37u}) {
    EXPECT_EQ(formatted<uint64_t>(formatIntegerInRadix, 255, radix), "") << radix;
    EXPECT_EQ(formatted<uint64_t>(formatDigits, 255, radix), "") << radix;
    EXPECT_EQ(formatted<int64_t>(formatSignedDigits, -5, radix), "") << radix;
    EXPECT_EQ(formatted<int64_t>(formatSignedIntegerInRadix, -5, radix), "") << radix;
    wchar_t none[2] = {L'#', L'#'};
    EXPECT_EQ(formatDigitsWide(255, none, radix)[0], 0) << radix;
    char fixed[8];
    EXPECT_EQ(formatDigitsFixedWidth(fixed, 255, 4, radix), fixed) << radix;
  }

  EXPECT_EQ(parseIntegerInRadix("  0x1f"), 31u);
  EXPECT_EQ(parseIntegerInRadix("16#ff"), 255u);
  EXPECT_EQ(parseIntegerInRadix("0X10"), 0u);
  EXPECT_EQ(parseIntegerInRadix("12abc"), 12u);
  EXPECT_EQ(parseIntegerInRadix("36#zZ"), 35u * 36 + 35);
  EXPECT_EQ(parseIntegerInRadix("1#0"), 0u);
  EXPECT_EQ(parseUnsignedInRadix32("4294967298#5"), 0u) << "the radix wraps to 2 first";
  EXPECT_EQ(parseIntegerInRadix("4294967298#5"), 5u);
  EXPECT_EQ(parseSignedInRadix32(" - 0x10"), -16);
  EXPECT_EQ(parseSignedInRadix32("+5"), 0);

  const char* hay = "abcabd";
  EXPECT_EQ(findSubstring(hay, "abd"), hay + 3);
  EXPECT_EQ(findSubstring(hay, ""), hay);
  EXPECT_EQ(findSubstring(hay, "abde"), nullptr);
}

}  // namespace
