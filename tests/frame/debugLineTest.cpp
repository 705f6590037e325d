// Debug lines: the prefix layout, levels, bounds of message and suffix, and the
// bounded helpers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/debugLine.h"
#include "frame/qosdbg_VarLine.h"
#include "frame/qosdbg_VarLineToBuffer.h"
#include "sim/simModule.h"

namespace {

using namespace nQoUdR100;

const std::string kPrefix = "[    qoudrk|" + std::string(30, ' ');

class DebugLineTest : public ::testing::Test {
 protected:
  void SetUp() override { nQoSim::clearDebuggerLines(); }
};

TEST_F(DebugLineTest, PrefixedLinesHaveTheirLayoutAndLevelsFilter) {
  debugLinePrint({"ai", 7, "\n"}, "%s", "x");
  debugVarLinePrint(qosdbg_VarLine({"ai", 12345, "!"}), "v=%d", 3);
  debugLinePrint({"", 0, nullptr}, "m");
  debugPrintAtLevel(4095, "low");
  debugLinePrintAtLevel(4095, {"n", 1, ""}, "low");
  debugPrintAtLevel(4096, "high %u", 1u);
  debugLinePrintAtLevel(4096, {"n", 1, ""}, "high");
  EXPECT_EQ(
      nQoSim::debuggerLines(),
      (std::vector<std::string>{kPrefix + "ai|0007] x\n", kPrefix + "ai|2345] v=3!",
                                kPrefix + "  |0000] m", "high 1", kPrefix + " n|0001] high"}));
}

TEST_F(DebugLineTest, LongMessagesAreCutSoTheSuffixAlwaysEndsTheLine) {
  const std::string message(300, 'm');
  const std::string suffix300 = std::string(200, 's') + std::string(100, 't');
  const std::string suffix255(255, 'u'), suffix254(254, 'w');
  debugLinePrint({"ai", 7, "\n"}, "%s", message.c_str());
  debugLinePrint({"ai", 7, suffix300.c_str()}, "%s", message.c_str());
  debugLinePrint({"ai", 7, suffix255.c_str()}, "%s", "x");
  debugLinePrint({"ai", 7, suffix254.c_str()}, "%s", "xyz");
  debugPrint("%s", message.c_str());
  const auto out = nQoSim::debuggerLines();
  ASSERT_EQ(out.size(), 5u);
  EXPECT_EQ(out[0].size(), 255u);
  EXPECT_EQ(out[0].back(), '\n');
  EXPECT_EQ(out[0].substr(0, 51), kPrefix + "ai|0007] ");
  EXPECT_EQ(out[1], suffix300.substr(0, 255));
  EXPECT_EQ(out[2], suffix255);
  EXPECT_EQ(out[3], "x" + suffix254);
  EXPECT_EQ(out[4], message.substr(0, 255));
}

TEST_F(DebugLineTest, BoundedHelpersStayWithinTheirRoom) {
  char buffer[8];
  std::fill(std::begin(buffer), std::end(buffer), '#');
  EXPECT_EQ(debugCopyBounded(buffer, "abcdef", 0), buffer);
  EXPECT_EQ(debugPadField(buffer, 0, "abc", 5, '0'), buffer);
  EXPECT_EQ(debugConcat(buffer, 0, 2, "ab", "cd"), 0u);
  qosdbg_VarLineToBuffer empty(buffer, 0);
  EXPECT_EQ(debugVarLineToBufferPrint(empty, "x"), 0u);
  EXPECT_EQ(std::string(buffer, 8), "########");

  EXPECT_EQ(debugCopyBounded(buffer, "abcdef", 4) - buffer, 3);
  EXPECT_STREQ(buffer, "abc");
  debugPadField(buffer, 8, "12345", 4, '0');
  EXPECT_STREQ(buffer, "2345");
  debugPadField(buffer, 3, "7", 4, '0');
  EXPECT_STREQ(buffer, "00");
  EXPECT_EQ(debugConcat(buffer, 8, 2, "abcd", "efghij"), 8u);
  EXPECT_STREQ(buffer, "abcdefg");
  qosdbg_VarLineToBuffer line(buffer, 6);
  EXPECT_EQ(debugVarLineToBufferPrint(line, "n=%d!", 12345), 6u);
  EXPECT_STREQ(buffer, "n=123");
}

TEST(DebugHaltDeathTest, HaltsWithTheLocationOrTheFacilitysOwn) {
  EXPECT_DEATH(debugHalt(nullptr, nullptr), "qoudrk\\|qosdbg/qosdbg\\|341\\|halt");
  const tStatusSite site{"tThing", 12};
  EXPECT_DEATH(debugHalt(&site, "stuck"), "qoudrk\\|tThing\\|12\\|stuck");
}

}  // namespace
