// The version words, the compatibility check and its trace line.
#include <gtest/gtest.h>

#include <string>

#include "frame/version.h"
#include "sim/simModule.h"

namespace {

using nQoUdR100::compareVersion;

class VersionTest : public ::testing::Test {
 protected:
  void SetUp() override { nQoSim::clearTraceLines(); }
  void TearDown() override { nQoSim::setCheckAnswer(true); }
};

TEST_F(VersionTest, RangeChecksInOrder) {
  tSSVersion current, oldest;
  EXPECT_EQ(nQoUdR100::getCurrentVersion(current).word(), 0x1580C0EEu);
  EXPECT_EQ(nQoUdR100::getOldestCompatibleVersion(oldest).word(), 0x02004000u);
  const struct {
    uint32_t newest, oldest;
    int statusIn, statusOut;
  } cases[] = {
      {0x1580C0EE, 0x02004000, 0, 0},         {0x02003FFF, 0x02003FFF, 0, -50253},
      {0x1580C0EF, 0x1580C0EF, 0, -50252},    {0x02004000, 0x02004001, 0, -50000},
      {0x02003FFF, 0x1580C0EF, 0, -50000},  // inverted comes first
      {0x1580C0EE, 0x02004000, 50202, 50202}, {0x02003FFF, 0x02003FFF, 50202, -50253},
      {0x02003FFF, 0x02003FFF, -7, -7},
  };
  for (const auto& c : cases) {
    nQoSim::clearTraceLines();
    int status = c.statusIn;
    compareVersion(tSSVersion(c.newest), tSSVersion(c.oldest), status, nullptr);
    EXPECT_EQ(status, c.statusOut) << std::hex << c.newest << " " << c.oldest;
    EXPECT_EQ(nQoSim::traceLines().size(), c.statusOut < 0 && c.statusIn >= 0 ? 1u : 0u)
        << std::hex << c.newest << " " << c.oldest;
  }
}

TEST_F(VersionTest, AFailureIsTracedWithBothRanges) {
  int status = 0;
  compareVersion(tSSVersion(0x02003FFF), tSSVersion(0x02003FFF), status, "ai");
  auto lines = nQoSim::traceLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].component + "|" + lines[0].location, "qoudrk|codegen/qoudr/version");
  EXPECT_EQ(lines[0].line, 117u);
  EXPECT_EQ(lines[0].text,
            "version check failed with status = -50253. Component 'ai' desires the range "
            "2.0.0d16383 - 2.0.0d16383 however the installed range is 2.0.0a0 - 21.8.0f238");
  EXPECT_EQ(nQoSim::checkFailures(),
            std::vector<std::string>{
                "qoudrk|codegen/qoudr/version|117|CHECK(palStatusIsNonfatal(status))"});

  nQoSim::clearTraceLines();
  status = 0;
  compareVersion(tSSVersion(0x1580C0EF), tSSVersion(0x1580C0EF), status, nullptr);
  lines = nQoSim::traceLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].line, 105u);
  EXPECT_EQ(lines[0].text,
            "version check failed with status = -50252. The calling component desires the range "
            "21.8.0f239 - 21.8.0f239 however the installed range is 2.0.0a0 - 21.8.0f238");

  // The check facility decides whether anything is reported.
  nQoSim::clearTraceLines();
  nQoSim::setCheckAnswer(false);
  status = 0;
  compareVersion(tSSVersion(0x02004000), tSSVersion(0x02004001), status, "ao");
  EXPECT_EQ(status, -50000);
  EXPECT_TRUE(nQoSim::traceLines().empty());
}

}  // namespace
