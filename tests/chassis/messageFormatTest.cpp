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
using nQoTest::logged;
using nQoTest::operator+;
using nQoTest::tBytes;
using tReader = nQoFSL100::tQuorlDataReader<const unsigned char*>;
using tWriter = nQoFSL100::tQuorlDataWriter<unsigned char*>;

template <class T>
void fill(tArray<T>& array, std::initializer_list<T> values) {
  array.clear();
  for (T value : values) array.append(value);
}

// A message over a local buffer: requested length, slack, write limit short.
struct tLocalMessage {
  tBytes bytes;
  nQoFSL100::tRequestMessage message;
  tLocalMessage(uint32_t length, uint32_t slack, uint32_t limitShort = 0)
      : bytes(length + slack, 0xEE) {
    message.bufferBegin = bytes.data();
    message.bufferEnd = bytes.data() + bytes.size();
    message.requestStart = bytes.data();
    message.writeLimit = message.bufferEnd - limitShort;
    message.requestedLength = length;
    message.allocated = 1;
  }
};

class tMessageFormatTest : public nQoTest::tLeakCheckedTest {
 protected:
  nQoMDBG100::tStatus2 status;
};

TEST_F(tMessageFormatTest, WriterFieldsAreBigEndianAndRefusedPastTheEnd) {
  tBytes buffer(8, 0xEE);
  tWriter writer(buffer.data(), buffer.data() + buffer.size());
  writer.writeU8(0x81, status);
  writer.writeU16(0x0203, status);
  writer.writeU32(0x04050607, status);
  EXPECT_EQ(buffer, (tBytes{0x81, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0xEE}));
  EXPECT_EQ(status.code, 0);

  writer.writeU16(0xFFFF, status);
  EXPECT_EQ(status.code, -228700);
  EXPECT_TRUE(logged(-228700, "tQuorlDataWriter", 358));
  EXPECT_EQ(buffer[7], 0xEE);
  EXPECT_EQ(writer.position(), buffer.data() + 7);

  status.clear();
  status.code = -5;
  writer.writeU8(0x11, status);
  EXPECT_EQ(buffer[7], 0xEE);
  EXPECT_EQ(status.code, -5);
}

TEST_F(tMessageFormatTest, ArraysCarryTheirLengthAndFailAsAWhole) {
  tArray<uint32_t> words;
  fill<uint32_t>(words, {1, 2, 0xA0B0C0D0});
  tArray<uint16_t> halves;
  fill<uint16_t>(halves, {0x1234});
  tArray<uint8_t> bytes;
  fill<uint8_t>(bytes, {9, 8});
  tBytes buffer(26, 0xEE);
  tWriter writer(buffer.data(), buffer.data() + buffer.size());
  writer.write(words, status);
  writer.write(halves, status);
  writer.write(bytes, status);
  EXPECT_EQ(buffer, (tBytes{0, 0, 0, 0x0E, 0, 0, 0, 1, 0, 0, 0, 2, 0xA0, 0xB0, 0xC0, 0xD0,
                            0, 4, 0x12, 0x34, 0, 4, 9, 8, 0xEE, 0xEE}));

  // Two bytes left: not even the length field is written.
  writer.write(words, status);
  EXPECT_EQ(status.code, -228700);
  EXPECT_EQ(buffer[24], 0xEE);
}

TEST_F(tMessageFormatTest, FinishPadsToTheAllocatedSizeOnce) {
  tLocalMessage exact(10, 0);
  exact.message.finishMessage(status);
  EXPECT_EQ(exact.message.finished, 1u);
  EXPECT_EQ(exact.bytes, tBytes(10, 0xEE));

  tLocalMessage slack(10, 4);
  slack.message.finishMessage(status);
  EXPECT_EQ(slack.bytes, tBytes(10, 0xEE) + tBytes(4, 0));
  EXPECT_EQ(status.code, 0);

  // A second finish changes nothing and is refused.
  slack.bytes[12] = 0x55;
  slack.message.finishMessage(status);
  EXPECT_EQ(status.code, -50150);
  EXPECT_EQ(slack.bytes[12], 0x55);

  status.clear();
  tLocalMessage notAllocated(10, 4);
  notAllocated.message.allocated = 0;
  notAllocated.message.finishMessage(status);
  EXPECT_EQ(status.code, -50150);
  EXPECT_EQ(notAllocated.message.finished, 0u);
  EXPECT_EQ(notAllocated.bytes[10], 0xEE);
}

TEST_F(tMessageFormatTest, PaddingPastTheWriteLimitWritesNoneButFinishes) {
  tLocalMessage message(10, 4, 1);
  message.message.finishMessage(status);
  EXPECT_EQ(status.code, -228700);
  EXPECT_EQ(message.bytes, tBytes(14, 0xEE));
  EXPECT_EQ(message.message.finished, 1u);

  // A requested length beyond the write limit: nothing written either.
  status.clear();
  tLocalMessage beyond(10, 0, 4);
  beyond.message.finishMessage(status);
  EXPECT_EQ(status.code, -228700);
}

TEST_F(tMessageFormatTest, HeaderOfAFinishedMessageIsRefused) {
  tLocalMessage message(8, 0);
  message.message.finished = 1;
  message.message.setInterfaceId(0x0830, status);
  EXPECT_EQ(status.code, -50150);
  EXPECT_TRUE(logged(-50150, "tRequestMessage", 61));
  status.clear();
  message.message.payloadWriter(status).writeU8(1, status);
  EXPECT_EQ(status.code, -50150);
  EXPECT_EQ(message.bytes, tBytes(8, 0xEE));
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

TEST_F(tMessageFormatTest, StatusBlockUnderAnErrorReadsNothing) {
  const tBytes block = tBytes{0, 6} + be32(200);
  tReader reader(block.data(), block.data() + block.size());
  nQoMDBG100::tStatus2 result;
  status.code = -7;
  reader.readStatus(status, result);
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ(reader.position(), block.data());
}

TEST_F(tMessageFormatTest, ScalarReadsYieldAllOnesWhenShort) {
  const tBytes bytes{0x12, 0x34, 0x56};
  tReader reader(bytes.data(), bytes.data() + bytes.size());
  EXPECT_EQ(reader.read<uint16_t>(status), 0x1234);
  EXPECT_EQ(reader.read<uint16_t>(status), 0xFFFF);
  EXPECT_EQ(status.code, -228700);
  EXPECT_EQ(reader.position(), bytes.data() + 2);
  EXPECT_EQ(reader.read<uint8_t>(status), 0xFF);
}

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

TEST_F(tMessageFormatTest, TransportWithoutSourcesReportsOutOfMemory) {
  nQoFSL100::tRequestTransfer transfer(nullptr);
  EXPECT_EQ(transfer.newMessage(8, status), nullptr);
  EXPECT_TRUE(logged(-50352, "tRequestTransfer", 34));

  status.clear();
  nQoFSL100::tRequestContext context(nullptr);
  const unsigned char* begin = reinterpret_cast<const unsigned char*>(&status);
  const unsigned char* end = begin;
  context.replyBuffer(begin, end, status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_TRUE(logged(-50352, "tRequestContext", 138));
  EXPECT_EQ(begin, nullptr);
  EXPECT_EQ(end, nullptr);
}

}  // namespace
