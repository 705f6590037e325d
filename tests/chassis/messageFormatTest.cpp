// The writer, the reader, the message's closing step, the growable array and
// the transport's missing sources.
#include <gtest/gtest.h>

#include <cstdint>

#include "chassis/message/tArray.h"
#include "chassis/message/tQuorlDataReader.h"
#include "chassis/message/tQuorlDataWriter.h"
#include "chassisTest.h"
#include "fsl/tRequestMessage.h"
#include "sim/simAllocator.h"

namespace {

using nQoFSL100::tArray;
using nQoTest::be32;
using nQoTest::fill;
using nQoTest::logged;
using nQoTest::operator+;
using nQoTest::tBytes;
using tReader = nQoFSL100::tQuorlDataReader<const unsigned char*>;
using tWriter = nQoFSL100::tQuorlDataWriter<unsigned char*>;

class tMessageFormatTest : public nQoTest::tChassisTest {};

TEST_F(tMessageFormatTest, WriterFieldsAreBigEndianAndRefusedPastTheEnd) {
  tBytes buffer(8, 0xEE);
  tWriter writer(buffer.data(), buffer.data() + buffer.size());
  writer.writeU8(0x81, status);
  writer.writeU16(0x0203, status);
  writer.writeU32(0x04050607, status);
  writer.writeU16(0xFFFF, status);
  EXPECT_EQ(buffer, (tBytes{0x81, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0xEE}));
  EXPECT_EQ(status.code, -228700);
  EXPECT_TRUE(logged(-228700, "tQuorlDataWriter", 358));
  EXPECT_EQ(writer.position(), buffer.data() + 7);
}

TEST_F(tMessageFormatTest, ArraysCarryTheirLengthAndFailAsAWhole) {
  tArray<uint32_t> words;
  fill<uint32_t>(words, {1, 0xA0B0C0D0});
  tArray<uint8_t> bytes;
  fill<uint8_t>(bytes, {9, 8});
  tBytes buffer(18, 0xEE);
  tWriter writer(buffer.data(), buffer.data() + buffer.size());
  writer.write(words, status);
  writer.write(bytes, status);
  writer.write(words, status);  // four bytes left: not even the length goes out
  EXPECT_EQ(buffer, (tBytes{0, 0, 0, 0x0A, 0, 0, 0, 1, 0xA0, 0xB0, 0xC0, 0xD0, 0, 4, 9, 8,
                            0xEE, 0xEE}));
  EXPECT_EQ(status.code, -228700);
}

TEST_F(tMessageFormatTest, FinishPadsToTheAllocatedSizeOnce) {
  source.newMessage(10, status)->finishMessage(status);
  EXPECT_EQ(source.bytes(0), tBytes(10, 0xEE));
  EXPECT_TRUE(finished());

  source.script({.slack = 4});
  nQoFSL100::tRequestMessage* slack = source.newMessage(10, status);
  slack->finishMessage(status);
  EXPECT_EQ(source.bytes(1), tBytes(10, 0xEE) + tBytes(4, 0));
  EXPECT_EQ(status.code, 0);

  // A second finish changes nothing and is refused.
  slack->bufferBegin[12] = 0x55;
  slack->finishMessage(status);
  EXPECT_EQ(status.code, -50150);
  EXPECT_EQ(slack->bufferBegin[12], 0x55);
}

TEST_F(tMessageFormatTest, PaddingPastTheWriteLimitWritesNoneButFinishes) {
  source.script({.slack = 4, .limitShort = 1});
  source.newMessage(10, status)->finishMessage(status);
  EXPECT_EQ(status.code, -228700);
  EXPECT_EQ(source.bytes(0), tBytes(14, 0xEE));
  EXPECT_TRUE(finished());
}

struct tStatusBlockCase {
  const char* name;
  tBytes block;           // from the status block on
  int callerCode;         // the caller's status afterwards
  int resultCode;         // the block's code
  std::ptrdiff_t moved;   // how far the reader moved
};

class tStatusBlockTest : public tMessageFormatTest,
                         public ::testing::WithParamInterface<tStatusBlockCase> {};

TEST_P(tStatusBlockTest, ReadsTheBlockOrRefusesIt) {
  const tStatusBlockCase& c = GetParam();
  tReader reader(c.block.data(), c.block.data() + c.block.size());
  nQoMDBG100::tStatus2 result;
  result.code = 77;
  reader.readStatus(status, result);
  EXPECT_EQ(status.code, c.callerCode);
  EXPECT_EQ(result.code, c.resultCode);
  EXPECT_EQ(reader.position() - c.block.data(), c.moved);
  if (c.callerCode == -228700) {
    EXPECT_TRUE(logged(-228700, "tQuorlDataReader", 783));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, tStatusBlockTest,
    ::testing::Values(
        tStatusBlockCase{"NoCode", {0, 2, 9}, 0, 0, 2},
        tStatusBlockCase{"ZeroCodeAndExtra", tBytes{0, 10} + be32(0) + tBytes(6, 9), 0, 0, 10},
        tStatusBlockCase{"Warning", tBytes{0, 6} + be32(200), 0, 200, 6},
        tStatusBlockCase{"Error", tBytes{0, 6} + be32(uint32_t(-200)), 0, -200, 6},
        tStatusBlockCase{"OneByte", {0}, -228700, 0, 0},
        tStatusBlockCase{"LengthZero", tBytes{0, 0} + be32(5), -228700, 0, 0},
        tStatusBlockCase{"LengthOne", tBytes{0, 1} + be32(5), -228700, 0, 0},
        tStatusBlockCase{"Length8000", tBytes{0x80, 0} + be32(5), -228700, 0, 0},
        tStatusBlockCase{"LengthFFFF", tBytes{0xFF, 0xFF} + be32(5), -228700, 0, 0},
        tStatusBlockCase{"PastTheEnd", tBytes{0, 10} + be32(5), -228700, 0, 0},
        tStatusBlockCase{"ShortLengthReadsCode", tBytes{0, 3} + be32(7), 0, 7, 3},
        tStatusBlockCase{"CodeCutShort", tBytes{0, 4, 0, 0}, -228700, -1, 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(tMessageFormatTest, ArrayReadsReplaceTheContentsOrKeepThem) {
  tArray<uint16_t> halves;
  fill<uint16_t>(halves, {5, 5, 5});
  const tBytes seven{0, 7, 0x01, 0x02, 0x03, 0x04, 0x05};
  tReader reader(seven.data(), seven.data() + seven.size());
  EXPECT_TRUE(reader.readArray(halves, status));
  ASSERT_EQ(halves.size(), 2u);
  EXPECT_EQ(halves[0], 0x0102);
  EXPECT_EQ(halves[1], 0x0304);
  EXPECT_EQ(reader.position(), seven.data() + 7);

  const tBytes two{0, 2};
  tReader empty(two.data(), two.data() + two.size());
  EXPECT_TRUE(empty.readArray(halves, status));
  EXPECT_TRUE(halves.empty());
  EXPECT_EQ(status.code, 0);

  for (const tBytes& bad : {tBytes{0, 0, 1, 2}, tBytes{0, 1, 1, 2}, tBytes{0, 6, 1, 2}, tBytes{0}}) {
    fill<uint16_t>(halves, {5, 5, 5});
    status.clear();
    tReader reader2(bad.data(), bad.data() + bad.size());
    reader2.readArray(halves, status);
    EXPECT_EQ(status.code, -228700);
    EXPECT_EQ(halves.size(), 3u);
    EXPECT_EQ(reader2.position(), bad.data());
  }
}

TEST_F(tMessageFormatTest, ArrayGrowthDropsAnElementWhenStorageFails) {
  tArray<uint32_t> values;
  values.append(1);
  nQoSim::failAllocation(1);
  EXPECT_FALSE(values.append(2));
  EXPECT_TRUE(values.allocationFailed());
  EXPECT_TRUE(values.append(3));
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(values[1], 3u);

  // A copy takes the flag over; a copy without storage is empty and flagged.
  tArray<uint32_t> copy;
  EXPECT_TRUE(copy.copyFrom(values));
  EXPECT_EQ(copy.size(), 2u);
  EXPECT_TRUE(copy.allocationFailed());
  tArray<uint32_t> clean;
  clean.append(4);
  tArray<uint32_t> failed;
  nQoSim::failAllocation(1);
  EXPECT_FALSE(failed.copyFrom(clean));
  EXPECT_TRUE(failed.empty());
  EXPECT_TRUE(failed.allocationFailed());
}

}  // namespace
