// Cartridge replies with one u32 output after the status block: the
// detection event counter and the DAC status read.
#include <gtest/gtest.h>

#include <cstdint>

#include "chassis/cartridge/tCartridgeAO_DAC.h"
#include "chassis/cartridge/tCartridgeDetection.h"
#include "chassisTest.h"

namespace {

using namespace nQoFSL100::nQoMIOCS;
using nQoTest::be32;
using nQoTest::logged;
using nQoTest::operator+;
using nQoTest::tBytes;
using tCounterPacker = nCartridgeDetection::tReadCartridgeDetectionEventCounterPacker;

constexpr uint32_t kUntouched = 0x5A5A5A5A;

// A reply from its status block length on, the caller's status before and
// after, and the counter afterwards. The reply's storage is exactly its
// bytes, so a read past its end would be caught.
struct tCounterCase {
  const char* name;
  tBytes fromLength;
  int before;
  int after;
  uint32_t counter;
};

class tEventCounterTest : public nQoTest::tChassisTest,
                          public ::testing::WithParamInterface<tCounterCase> {};

TEST_P(tEventCounterTest, ReadsTheCounterAfterTheStatusBlock) {
  const tCounterCase& c = GetParam();
  uint32_t counter = kUntouched;
  tCounterPacker packer(nullptr, nullptr, 1, counter);
  replies.setReply(tBytes{0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6} + c.fromLength);
  status.code = c.before;
  packer.unpack(context, status);
  EXPECT_EQ(status.code, c.after);
  EXPECT_EQ(counter, c.counter);
  if (c.after == -228700) {
    EXPECT_TRUE(logged(-228700, "tQuorlDataReader", 783));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Replies, tEventCounterTest,
    ::testing::Values(
        tCounterCase{"LengthTwo", tBytes{0, 2, 0, 0, 1, 0}, 0, 0, 256},
        tCounterCase{"CodeZero", tBytes{0, 6} + be32(0) + be32(42), 0, 0, 42},
        tCounterCase{"ErrorCode", tBytes{0, 6} + be32(0xFFFFFFFF) + be32(42), 0, -1, kUntouched},
        tCounterCase{"ErrorOverWarning", tBytes{0, 6} + be32(uint32_t(-200)) + be32(42), 5, -200,
                     kUntouched},
        tCounterCase{"WarningKeepsOwnWarning", tBytes{0, 6} + be32(100) + be32(43), 5, 5, 43},
        tCounterCase{"WarningIntoClean", tBytes{0, 6} + be32(100) + be32(44), 0, 100, 44},
        tCounterCase{"LongBlock", tBytes{0, 10} + be32(0) + be32(0xDDDDDDDD) + be32(45), 0, 0, 45},
        tCounterCase{"NothingAfterTheBlock", tBytes{0, 2}, 0, -228700, 0xFFFFFFFF},
        tCounterCase{"CutCounter", tBytes{0, 2, 1, 2, 3}, 0, -228700, 0xFFFFFFFF},
        tCounterCase{"SevenBytes", tBytes{0}, 0, -228700, kUntouched},
        tCounterCase{"LengthZero", tBytes{0, 0} + be32(46), 0, -228700, kUntouched},
        tCounterCase{"LengthOne", tBytes{0, 1} + be32(46), 0, -228700, kUntouched},
        tCounterCase{"Length8000", tBytes{0x80, 0} + be32(46), 0, -228700, kUntouched},
        tCounterCase{"LengthFFFF", tBytes{0xFF, 0xFF} + be32(46), 0, -228700, kUntouched},
        tCounterCase{"ErrorBefore", tBytes{0, 2} + be32(47), -7, -7, kUntouched}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(tEventCounterTest, ShortRepliesAndNoReplyTouchNothing) {
  uint32_t counter = kUntouched;
  tCounterPacker packer(nullptr, nullptr, 1, counter);
  replies.setReply(tBytes{0, 0, 0});
  packer.unpack(context, status);
  EXPECT_EQ(status.code, -228700);
  EXPECT_TRUE(logged(-228700, "tQuorlDataReader", 783));

  status.clear();
  nQoFSL100::tRequestContext noReply(nullptr);
  packer.unpack(noReply, status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_TRUE(logged(-50352, "tRequestContext", 138));
  EXPECT_EQ(counter, kUntouched);
}

TEST_F(tEventCounterTest, DACReadStatusStoresItsWord) {
  uint32_t read = kUntouched;
  nCartridgeAO_DAC::tReadStatusPacker packer(nullptr, nullptr, 1, 7, read);
  reply(2, tBytes{0, 0, 1, 2});
  packer.unpack(context, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(read, 258u);

  reply(2, {});
  packer.unpack(context, status);
  EXPECT_EQ(status.code, -228700);
  EXPECT_EQ(read, 0xFFFFFFFFu);
}

}  // namespace
