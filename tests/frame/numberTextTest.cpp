// Number text, text comparison and command-line splitting.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "frame/commandLine.h"
#include "frame/numberText.h"

namespace {

using namespace nQoUdR100;

TEST(NumberText, FormattersWriteDigitsInTheirBaseAndOnlyTheNulOutsideTwoTo36) {
  const struct {
    std::function<char*(char*)> format;
    std::string expected;
  } cases[] = {
      {[](char* b) { return unsignedToTextWithBase(b, 255, 16); }, "0xFF"},
      {[](char* b) { return unsignedToTextWithBase(b, 255, 10); }, "255"},
      {[](char* b) { return unsignedToTextWithBase(b, 5, 2); }, "2#101"},
      {[](char* b) { return unsignedToTextWithBase(b, 35, 36); }, "36#Z"},
      {[](char* b) { return unsignedToText(b, ~0ull, 2); }, std::string(64, '1')},
      {[](char* b) { return unsignedToTextFixed(b, 42, 5, 10); }, "00042"},
      {[](char* b) { return unsignedToTextFixed(b, 0x1234, 2, 16); }, "34"},
      {[](char* b) { return unsignedToText(b, 255, 0); }, ""},
      {[](char* b) { return unsignedToTextFixed(b, 255, 4, 1); }, ""},
      {[](char* b) { return unsignedToTextWithBase(b, 255, 37); }, ""},
      {[](char* b) { return unsignedToTextWithBase(b, 255, 1); }, ""},
      {[](char* b) { return unsignedToText(b, 255, 0xFFFFFFFF); }, ""},
  };
  for (const auto& c : cases) {
    char buffer[80];
    std::memset(buffer, '#', sizeof buffer);
    char* end = c.format(buffer);
    EXPECT_EQ(std::string(buffer, end), c.expected);
    EXPECT_EQ(*end, '\0') << c.expected;
  }
}

TEST(NumberText, ParsersSkipBlanksAndStopAtTheFirstOtherCharacter) {
  EXPECT_EQ(textToUnsignedAutoBase("16#ff"), 255u);
  EXPECT_EQ(textToUnsignedAutoBase("0x1A"), 26u);
  EXPECT_EQ(textToUnsignedAutoBase(" 42"), 42u);
  EXPECT_EQ(textToUnsignedAutoBase("\t\n\v\f\r 2#101;"), 5u);
  EXPECT_EQ(textToUnsignedAutoBase(nullptr), 0u);
  EXPECT_EQ(textToUnsigned("  0x10", 10), 10u);
  EXPECT_EQ(textToUnsigned("ff", 10), 0u);
  EXPECT_EQ(textToUnsigned("18446744073709551617", 10), 1u);
  EXPECT_EQ(compareText("ab", "ab\x80"), -1);
  EXPECT_EQ(compareText("a\x80", "a\x01"), -1);
  EXPECT_EQ(compareText(nullptr, ""), 0);
  char buffer[8] = "#######";
  EXPECT_EQ(copyTextTail(buffer, "ab", 5), buffer + 5);
  EXPECT_EQ(std::string(buffer, 7), std::string("ab\0\0\0\0#", 7));
}

TEST(CommandLine, SplitsInPlaceAndStoresNoMoreThanItsCount) {
  char line[] = "a \"b c\" d", all[] = "\tone  \"two three\"four\r\n\"\" five";
  char* slots[3] = {nullptr, nullptr, nullptr};
  char* tokens[5] = {};
  EXPECT_EQ(countCommandLineTokens(line), 3);
  splitCommandLine(2, line, slots);
  EXPECT_STREQ(slots[0], "a");
  EXPECT_STREQ(slots[1], "b c");
  EXPECT_EQ(slots[2], nullptr);
  EXPECT_STREQ(line + 8, "d");
  ASSERT_EQ(countCommandLineTokens(all), 5);
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
