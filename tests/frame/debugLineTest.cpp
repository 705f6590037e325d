#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/debugLine.h"
#include "frame/qosdbg_VarLine.h"
#include "frame/qosdbg_VarLineToBuffer.h"
#include "sim/simModule.h"

namespace {

using namespace nQoUdR100;

class DebugLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    _saved = gDebugSettings;
    nQoSim::clearDebuggerLines();
  }
  void TearDown() override { gDebugSettings = _saved; }

  static std::vector<std::string> lines() { return nQoSim::debuggerLines(); }

 private:
  tDebugSettings _saved{};
};

TEST_F(DebugLineTest, PrefixedLineHasItsExactLayout) {
  debugLinePrint({"ai", 7, "\n"}, "%s", "x");
  debugVarLinePrint(qosdbg_VarLine({"ai", 12345, "!"}), "v=%d", 3);
  debugLinePrint({"", 0, nullptr}, "m");
  const auto out = lines();
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0], "[    qoudrk|" + std::string(30, ' ') + "ai|0007] x\n");
  EXPECT_EQ(out[1], "[    qoudrk|" + std::string(30, ' ') + "ai|2345] v=3!");
  EXPECT_EQ(out[2], "[    qoudrk|" + std::string(32, ' ') + "|0000] m");
}

TEST_F(DebugLineTest, LevelledPrintsBelowTheThresholdAreDropped) {
  debugPrintAtLevel(4095, "low");
  debugLinePrintAtLevel(4095, {"n", 1, ""}, "low");
  debugPrintAtLevel(4096, "high %u", 1u);
  debugLinePrintAtLevel(4096, {"n", 1, ""}, "high");
  const auto out = lines();
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0], "high 1");
  EXPECT_EQ(out[1].substr(out[1].size() - 6), "] high");
}

TEST_F(DebugLineTest, LongMessagesAreCutSoTheSuffixAlwaysEndsTheLine) {
  const std::string message(300, 'm');
  debugLinePrint({"ai", 7, "\n"}, "%s", message.c_str());
  const std::string suffix300 = std::string(200, 's') + std::string(100, 't');
  debugLinePrint({"ai", 7, suffix300.c_str()}, "%s", message.c_str());
  const std::string suffix255(255, 'u');
  debugLinePrint({"ai", 7, suffix255.c_str()}, "%s", "x");
  const std::string suffix254(254, 'w');
  debugLinePrint({"ai", 7, suffix254.c_str()}, "%s", "xyz");
  debugPrint("%s", message.c_str());
  const auto out = lines();
  ASSERT_EQ(out.size(), 5u);
  EXPECT_EQ(out[0].size(), 255u);
  EXPECT_EQ(out[0].back(), '\n');
  EXPECT_EQ(out[0].substr(0, 51), "[    qoudrk|" + std::string(30, ' ') + "ai|0007] ");
  EXPECT_EQ(out[1], suffix300.substr(0, 255));
  EXPECT_EQ(out[2], suffix255);
  EXPECT_EQ(out[3].size(), 255u);
  EXPECT_EQ(out[3].substr(1), suffix254);
  EXPECT_EQ(out[4], message.substr(0, 255));
}

TEST_F(DebugLineTest, ReplacedSlotsAndFormattersAreUsed) {
  static std::vector<std::string> captured;
  captured.clear();
  gDebugSettings.output = [](const char* text) { captured.emplace_back(text); };
  static const tDebugFormatter kShort[] = {debugFormatOpen, debugFormatNumber, debugFormatClose,
                                           nullptr};
  gDebugSettings.prefixFormatters = kShort;
  gDebugSettings.numberWidth = 0;
  gDebugSettings.levelThreshold = 10;
  debugLinePrintAtLevel(10, {"n", 42, ";"}, "go");
  gDebugSettings.prefixFormatters = nullptr;
  debugLinePrint({"n", 42, ";"}, "bare");
  ASSERT_EQ(captured.size(), 2u);
  EXPECT_EQ(captured[0], "[42] go;");
  EXPECT_EQ(captured[1], "bare;");
  EXPECT_TRUE(lines().empty());
}

TEST_F(DebugLineTest, BoundedHelpersStayWithinTheirRoom) {
  char buffer[8];
  std::fill(std::begin(buffer), std::end(buffer), '#');
  EXPECT_EQ(debugCopyBounded(buffer, "abcdef", 0), buffer);
  EXPECT_EQ(debugPadField(buffer, 0, "abc", 5, '0'), buffer);
  EXPECT_EQ(debugConcat(buffer, 0, 2, "ab", "cd"), 0u);
  EXPECT_EQ(buffer[0], '#');

  EXPECT_EQ(debugCopyBounded(buffer, "abcdef", 4) - buffer, 3);
  EXPECT_STREQ(buffer, "abc");
  EXPECT_EQ(debugPadField(buffer, 8, "7", 4, '0') - buffer, 4);
  EXPECT_STREQ(buffer, "0007");
  debugPadField(buffer, 8, "12345", 4, '0');
  EXPECT_STREQ(buffer, "2345");
  debugPadField(buffer, 3, "7", 4, '0');
  EXPECT_STREQ(buffer, "00");
  debugPadField(buffer, 8, "whole", 0, ' ');
  EXPECT_STREQ(buffer, "whole");

  EXPECT_EQ(debugConcat(buffer, 8, 0), 1u);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(debugConcat(buffer, 8, 3, "ab", "cd", "e"), 6u);
  EXPECT_STREQ(buffer, "abcde");
  EXPECT_EQ(debugConcat(buffer, 8, 2, "abcd", "efghij"), 8u);
  EXPECT_STREQ(buffer, "abcdefg");
}

TEST_F(DebugLineTest, LineToBufferFormatsWithoutPrefixAndLeavesAnEmptyBufferAlone) {
  char buffer[6];
  qosdbg_VarLineToBuffer line(buffer, sizeof buffer);
  EXPECT_EQ(debugVarLineToBufferPrint(line, "n=%d!", 12345), 6u);
  EXPECT_STREQ(buffer, "n=123");
  char untouched = '#';
  qosdbg_VarLineToBuffer empty(&untouched, 0);
  EXPECT_EQ(debugVarLineToBufferPrint(empty, "x"), 0u);
  EXPECT_EQ(untouched, '#');
  EXPECT_TRUE(lines().empty());
}

TEST(DebugHaltDeathTest, HaltsWithTheLocationOrTheFacilitysOwn) {
  EXPECT_DEATH(debugHalt(nullptr, nullptr), "qoudrk\\|qosdbg/qosdbg\\|341\\|halt");
  const tStatusSite site{"tThing", 12};
  EXPECT_DEATH(debugHalt(&site, "stuck"), "qoudrk\\|tThing\\|12\\|stuck");
}

}  // namespace
