#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/commandLine.h"
#include "frame/numberText.h"

namespace {

using namespace nQoUdR100;

// Runs a formatter into a guarded buffer: the text, and whether the returned
// end is its NUL.
template <class tFormat>
std::string formatted(tFormat format) {
  char buffer[80];
  std::memset(buffer, '#', sizeof buffer);
  char* end = format(buffer);
  EXPECT_EQ(*end, '\0');
  EXPECT_EQ(static_cast<size_t>(end - buffer), std::strlen(buffer));
  return buffer;
}

TEST(NumberText, FormattersWriteDigitsInTheirBase) {
  EXPECT_EQ(formatted([](char* b) { return unsignedToTextWithBase(b, 255, 16); }), "0xFF");
  EXPECT_EQ(formatted([](char* b) { return unsignedToTextWithBase(b, 255, 10); }), "255");
  EXPECT_EQ(formatted([](char* b) { return unsignedToTextWithBase(b, 5, 2); }), "2#101");
  EXPECT_EQ(formatted([](char* b) { return unsignedToTextWithBase(b, 35, 36); }), "36#Z");
  EXPECT_EQ(formatted([](char* b) { return unsignedToText(b, 0, 10); }), "0");
  EXPECT_EQ(formatted([](char* b) { return unsignedToText(b, ~0ull, 2); }), std::string(64, '1'));
  EXPECT_EQ(formatted([](char* b) { return unsignedToTextFixed(b, 42, 5, 10); }), "00042");
  EXPECT_EQ(formatted([](char* b) { return unsignedToTextFixed(b, 0x1234, 2, 16); }), "34");
  EXPECT_EQ(formatted([](char* b) { return unsignedToTextFixed(b, 7, 0, 10); }), "");
}

TEST(NumberText, BasesOutsideTwoTo36WriteOnlyTheNul) {
  for (uint32_t base : {0u, 1u, 37u, 0xFFFFFFFFu}) {
    EXPECT_EQ(formatted([&](char* b) { return unsignedToText(b, 255, base); }), "") << base;
    EXPECT_EQ(formatted([&](char* b) { return unsignedToTextFixed(b, 255, 4, base); }), "");
    EXPECT_EQ(formatted([&](char* b) { return unsignedToTextWithBase(b, 255, base); }), "");
  }
}

TEST(NumberText, ParsersSkipBlanksAndStopAtTheFirstOtherCharacter) {
  EXPECT_EQ(textToUnsignedAutoBase("16#ff"), 255u);
  EXPECT_EQ(textToUnsignedAutoBase("0x1A"), 26u);
  EXPECT_EQ(textToUnsignedAutoBase(" 42"), 42u);
  EXPECT_EQ(textToUnsignedAutoBase("\t\n\v\f\r 2#101;"), 5u);
  EXPECT_EQ(textToUnsignedAutoBase("2#12"), 4u);  // decimal digits count in every base
  EXPECT_EQ(textToUnsignedAutoBase("0XfFz"), 255u);
  EXPECT_EQ(textToUnsignedAutoBase("8#7a"), 7u);  // letters only in base 16
  EXPECT_EQ(textToUnsignedAutoBase(nullptr), 0u);
  EXPECT_EQ(textToUnsigned("  0x10", 10), 10u);  // the prefix is skipped in any base
  EXPECT_EQ(textToUnsigned("ff", 16), 255u);
  EXPECT_EQ(textToUnsigned("ff", 10), 0u);
  EXPECT_EQ(textToUnsigned("19", 8), 17u);  // decimal digits are read in every base
  EXPECT_EQ(textToUnsigned("18446744073709551617", 10), 1u);  // wraps
  EXPECT_EQ(textToUnsigned(nullptr, 10), 0u);
}

TEST(NumberText, CopyTextTailAndCompareText) {
  char buffer[8];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(copyTextTail(buffer, "abcdef", 3), buffer + 3);
  EXPECT_STREQ(buffer, "def");
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(copyTextTail(buffer, "ab", 5), buffer + 5);
  EXPECT_EQ(std::string(buffer, 6), std::string("ab\0\0\0\0", 6));
  EXPECT_EQ(buffer[6], '#');
  copyTextTail(buffer, "ab", 0);
  EXPECT_STREQ(buffer, "");

  EXPECT_EQ(compareText("abc", "abc"), 0);
  EXPECT_EQ(compareText("ab", "abc"), -1);
  EXPECT_EQ(compareText("ab", "ab\x80"), -1);  // a prefix first, even before a negative character
  EXPECT_EQ(compareText("ab\x80", "ab"), 1);
  EXPECT_EQ(compareText("a\x80", "a\x01"), -1);  // characters compare signed
  EXPECT_EQ(compareText("b", "a"), 1);
  EXPECT_EQ(compareText(nullptr, ""), 0);
}

TEST(CommandLine, SplitsInPlaceAndStoresNoMoreThanItsCount) {
  char line[] = "a \"b c\" d";
  EXPECT_EQ(countCommandLineTokens(line), 3);
  char* slots[3] = {nullptr, nullptr, nullptr};
  splitCommandLine(2, line, slots);
  EXPECT_STREQ(slots[0], "a");
  EXPECT_STREQ(slots[1], "b c");
  EXPECT_EQ(slots[2], nullptr);
  EXPECT_STREQ(line + 8, "d");  // the last token was not touched

  char all[] = "\tone  \"two three\"four\r\n\"\" five";
  ASSERT_EQ(countCommandLineTokens(all), 5);
  char* tokens[5] = {};
  splitCommandLine(5, all, tokens);
  const char* expected[] = {"one", "two three", "four", "", "five"};
  for (int i = 0; i < 5; ++i) EXPECT_STREQ(tokens[i], expected[i]) << i;
}

TEST(CommandLine, AnUnterminatedQuoteRunsToTheEndAndBadArgumentsDoNothing) {
  char line[] = "x \"open y";
  EXPECT_EQ(countCommandLineTokens(line), 2);
  char* slots[3] = {nullptr, nullptr, nullptr};
  splitCommandLine(3, line, slots);
  EXPECT_STREQ(slots[0], "x");
  EXPECT_STREQ(slots[1], "open y");
  EXPECT_EQ(slots[2], nullptr);

  char untouched[] = "a b";
  splitCommandLine(-1, untouched, slots);
  splitCommandLine(0, untouched, slots);
  splitCommandLine(2, nullptr, slots);
  splitCommandLine(2, untouched, nullptr);
  EXPECT_STREQ(untouched, "a b");
  EXPECT_EQ(countCommandLineTokens(nullptr), 0);
  EXPECT_EQ(countCommandLineTokens(" \t "), 0);
}

}  // namespace
