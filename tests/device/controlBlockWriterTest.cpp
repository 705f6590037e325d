// The out block's writer, as the driver answers through it: typed writes
// continue where the block's own writes ended, a GUID externalizes itself
// through it, and nothing passes the block's end.
#include <gtest/gtest.h>

#include <vector>

#include "orb/tGUID.h"
#include "sim/simParameterBlock.h"

namespace {

using nQoORB100::tStreamOperation;
using nQoSim::tByteParameterBlock;

TEST(ControlBlockWriterTest, WritesFollowEachOtherAndStopAtTheBlocksEnd) {
  tByteParameterBlock out(std::vector<uint8_t>(10, 0xEE));
  int status = 0;
  out.writeU32(0x04030201, status);
  nQoORB100::iExternalOutputStream* writer = out.getWriter();
  ASSERT_NE(writer, nullptr);
  writer->writeI32(-2, status);
  EXPECT_EQ(status, 0);
  writer->writeU32(5, status);
  EXPECT_EQ(status, nQoORB100::kEndOfStream);
  int blockStatus = 0;
  out.writeU32(6, blockStatus);
  EXPECT_EQ(blockStatus, tByteParameterBlock::kOutOfValues);
  writer->writeU16(0x0A0B, blockStatus);
  EXPECT_EQ(blockStatus, tByteParameterBlock::kOutOfValues);
  const auto* bytes = static_cast<const uint8_t*>(out.getData());
  EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 10),
            (std::vector<uint8_t>{1, 2, 3, 4, 0xFE, 0xFF, 0xFF, 0xFF, 0x0B, 0x0A}));
  EXPECT_EQ(out.writer().operations(),
            (std::vector<tStreamOperation>{{tStreamOperation::kI32, -2},
                                           {tStreamOperation::kU16, 0x0A0B}}));
  EXPECT_EQ(out.written(), std::vector<uint32_t>{0x04030201});
}

TEST(ControlBlockWriterTest, AGUIDGoesOutAsTwoWordsAndACutOneKeepsTheRest) {
  const nQoORB100::tGUID guid{0x1122334455667788, 0x99AABBCCDDEEFF00};
  for (std::size_t size : {16u, 15u, 7u}) {
    SCOPED_TRACE(size);
    tByteParameterBlock out(std::vector<uint8_t>(size, 0));
    int status = 0;
    guid.writeExternal(*out.getWriter(), status);
    EXPECT_EQ(status, size == 16 ? 0 : nQoORB100::kEndOfStream);
    EXPECT_EQ(out.writer().operations().size(), size / 8);
    const auto* bytes = static_cast<const uint8_t*>(out.getData());
    if (size >= 8) {
      EXPECT_EQ(bytes[0], 0x88);
      EXPECT_EQ(bytes[7], 0x11);
    }
    if (size == 16) {
      EXPECT_EQ(bytes[15], 0x99);
    }
    if (size == 15) {
      EXPECT_EQ(bytes[14], 0);
    }
  }
  tByteParameterBlock out(std::vector<uint8_t>(16, 0));
  int failed = -7;
  guid.writeExternal(*out.getWriter(), failed);
  out.getWriter()->writeU32(1, failed);
  EXPECT_TRUE(out.writer().operations().empty());
  EXPECT_EQ(failed, -7);
}

}  // namespace
