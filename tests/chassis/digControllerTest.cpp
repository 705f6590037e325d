// The digital controller's packers over the scripted transport.
#include <gtest/gtest.h>

#include <cstdint>

#include "chassis/interfaces/tDigController.h"
#include "chassisTest.h"
#include "sim/simAllocator.h"

namespace {

using namespace nQoFSL100::nQoMIOCS::nDigController;
using nQoFSL100::tArray;
using nQoTest::be32;
using nQoTest::fill;
using nQoTest::logged;
using nQoTest::loggedCode;
using nQoTest::operator+;
using nQoTest::tBytes;

class tDigControllerTest : public nQoTest::tChassisTest {};

TEST_F(tDigControllerTest, ResetWritesTheHeaderAlone) {
  int words[2];
  tResetPacker packer(&words[0], &words[1], 0x1234);
  EXPECT_EQ(packer.transport1(), &words[0]);
  EXPECT_EQ(packer.transport2(), &words[1]);
  packer.pack(transfer, 7, status);
  source.script({.statusCode = 200});
  packer.pack(transfer, 0, status);
  EXPECT_EQ(source.requestedLengths(), (std::vector<uint32_t>{8, 8}));
  EXPECT_EQ(source.bytes(0), (tBytes{0xEE, 0xEE, 0x01, 0x13, 0x08, 0x30, 0x12, 0x34}));
  EXPECT_TRUE(finished());
  EXPECT_EQ(status.code, 200);
  EXPECT_EQ(source.bytes(1)[2], 0x00);

  // An error the source sets with its message: nothing is written.
  status.clear();
  source.script({.statusCode = -300});
  packer.pack(transfer, 1, status);
  EXPECT_EQ(status.code, -300);
  EXPECT_EQ(source.bytes(2), tBytes(8, 0xEE));

  // An error already held: the source is not called.
  packer.pack(transfer, 1, status);
  EXPECT_EQ(source.calls(), 3u);
}

TEST_F(tDigControllerTest, ResetWithoutAMessage) {
  tResetPacker packer(nullptr, nullptr, 0x1234);
  source.script({.noMessage = true});
  packer.pack(transfer, 1, status);
  EXPECT_EQ(status.code, -50004);
  EXPECT_TRUE(logged(-50004, "tDigController", 917));
  EXPECT_EQ(source.messageCount(), 0u);

  // Without a source the transfer's -50352 stays and -50004 is not set.
  status.clear();
  nQoSim::clearStatusLog();
  nQoFSL100::tRequestTransfer noSource(nullptr);
  packer.pack(noSource, 1, status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_TRUE(logged(-50352, "tRequestTransfer", 34));
  EXPECT_FALSE(loggedCode(-50004));
}

TEST_F(tDigControllerTest, WriteMultipleCartridgesCopiesItsArrays) {
  tArray<uint32_t> arg2;
  fill<uint32_t>(arg2, {1, 2});
  tArray<uint32_t> arg3;
  tWriteMultipleCartridgesPacker packer(nullptr, nullptr, 0x0042, 0x01020304, arg2, arg3);
  fill<uint32_t>(arg2, {7, 7, 7});
  arg3.append(8);
  EXPECT_EQ(packer.requestSize(status), 28u);

  source.script({.slack = 4});
  packer.pack(transfer, 1, status);
  EXPECT_EQ(source.requestedLengths(), std::vector<uint32_t>{28});
  EXPECT_EQ(sent(2, 30), (tBytes{0x01, 0x09, 0x08, 0x30, 0x00, 0x42} + be32(0x01020304) +
                          be32(0x0A) + be32(1) + be32(2) + be32(2) + be32(0)));
  EXPECT_TRUE(finished());

  status.code = -1;
  EXPECT_EQ(packer.requestSize(status), 8u);
}

TEST_F(tDigControllerTest, ArraysAboveTheLengthFieldAreRefused) {
  tArray<uint32_t> largest;
  for (uint32_t i = 0; i < 16383; ++i) largest.append(i);
  tArray<uint32_t> empty;
  tWriteMultipleCartridgesPacker fits(nullptr, nullptr, 1, 0, largest, empty);
  fits.pack(transfer, 1, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(source.requestedLengths(), std::vector<uint32_t>{65552});
  EXPECT_EQ(sent(12, 4), (tBytes{0, 0, 0xFF, 0xFE}));

  largest.append(16383);
  tWriteMultipleCartridgesPacker tooLong(nullptr, nullptr, 1, 0, largest, empty);
  tooLong.pack(transfer, 1, status);
  EXPECT_EQ(status.code, -228700);
  EXPECT_TRUE(logged(-228700, "tQuorlDataWriter", 340));
  EXPECT_EQ(source.calls(), 1u);
}

TEST_F(tDigControllerTest, AFailedCopyIsReportedBeforeAnyMessage) {
  tArray<uint32_t> arg2;
  fill<uint32_t>(arg2, {1, 2});
  tArray<uint32_t> empty;
  nQoSim::failAllocation(1);
  tWriteMultipleCartridgesPacker packer(nullptr, nullptr, 1, 0, arg2, empty);
  packer.pack(transfer, 1, status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_TRUE(logged(-50352, "tDigController", 220));
  EXPECT_EQ(source.calls(), 0u);

  // A flag only taken over from the caller's array is sent as it is.
  status.clear();
  nQoSim::failAllocation(1);
  arg2.append(3);
  arg2.append(4);
  ASSERT_TRUE(arg2.allocationFailed());
  tWriteMultipleCartridgesPacker flagged(nullptr, nullptr, 1, 0, arg2, empty);
  flagged.pack(transfer, 1, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(sent(12, 16), be32(14) + be32(1) + be32(2) + be32(4));
}

TEST_F(tDigControllerTest, CommitLaysOutMixedWidths) {
  tCommitPacker packer(nullptr, nullptr, 0x0506, 0x11223344, 0x55, 0x66, 0x1234, 0x778899AA,
                       0xBBCCDDEE, 0xABCD);
  packer.pack(transfer, 1, status);
  EXPECT_EQ(source.requestedLengths(), std::vector<uint32_t>{26});
  EXPECT_EQ(sent(3, 23), (tBytes{0x0E, 0x08, 0x30, 0x05, 0x06} + be32(0x11223344) +
                          tBytes{0x55, 0x66, 0x12, 0x34} + be32(0x778899AA) + be32(0xBBCCDDEE) +
                          tBytes{0xAB, 0xCD}));
}

// A reply from the status block length on, and what the caller sees.
struct tPresentValueCase {
  tBytes fromLength;
  int code;
  uint32_t value;
};

TEST_F(tDigControllerTest, ReadPresentValueFollowsTheStatusBlock) {
  const tPresentValueCase cases[] = {
      {tBytes{0, 2} + be32(0xCAFEF00D), 0, 0xCAFEF00D},
      {tBytes{0, 10} + be32(0) + be32(0x99999999) + be32(0x01020304), 0, 0x01020304},
      {tBytes{0, 6} + be32(200) + be32(0x0A0B0C0D), 200, 0x0A0B0C0D},
      {tBytes{0, 6} + be32(uint32_t(-200)) + be32(5), -200, 5},
      {tBytes{0, 2}, -228700, 0xFFFFFFFF},
      {tBytes{0}, -228700, 5},
      {tBytes{0, 1} + be32(0) + be32(9), -228700, 5},
      {tBytes{0x80, 0} + be32(0) + be32(9), -228700, 5},
  };
  for (const tPresentValueCase& c : cases) {
    uint32_t value = 5;
    tReadPresentValuePacker packer(nullptr, nullptr, 1, value);
    status.clear();
    replies.setReply(tBytes(6, 0) + c.fromLength);
    packer.unpack(context, status);
    EXPECT_EQ(status.code, c.code);
    EXPECT_EQ(value, c.value);
  }
  EXPECT_TRUE(logged(-228700, "tQuorlDataReader", 783));

  uint32_t value = 5;
  tReadPresentValuePacker packer(nullptr, nullptr, 1, value);
  status.clear();
  nQoFSL100::tRequestContext noReply(nullptr);
  packer.unpack(noReply, status);
  EXPECT_TRUE(logged(-50352, "tRequestContext", 138));
  EXPECT_EQ(value, 5u);
}

TEST_F(tDigControllerTest, ReadMultipleCartridgesIntoTheCallersArray) {
  tArray<uint32_t> values;
  tReadMultipleCartridgesPacker packer(nullptr, nullptr, 1, 0x00C0FFEE, values);
  packer.pack(transfer, 1, status);
  EXPECT_EQ(source.requestedLengths(), std::vector<uint32_t>{12});
  EXPECT_EQ(sent(3, 9), (tBytes{0x08, 0x08, 0x30, 0x00, 0x01} + be32(0x00C0FFEE)));

  fill<uint32_t>(values, {9, 9, 9});
  reply(2, be32(7) + be32(0x0D0E0F10) + tBytes{0x77});
  packer.unpack(context, status);
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(values[0], 0x0D0E0F10u);

  fill<uint32_t>(values, {9, 9, 9});
  reply(2, be32(2));
  packer.unpack(context, status);
  EXPECT_TRUE(values.empty());

  for (const tBytes& bad : {be32(0) + be32(1), be32(10) + be32(1)}) {
    fill<uint32_t>(values, {9, 9, 9});
    status.clear();
    reply(2, bad);
    packer.unpack(context, status);
    EXPECT_EQ(status.code, -228700);
    EXPECT_EQ(values.size(), 3u);
  }
}

TEST_F(tDigControllerTest, ReadMultipleCartridgesIntoABoundedBuffer) {
  uint32_t buffer[4] = {0, 0, 0x5A5A5A5A, 0x5A5A5A5A};
  tReadMultipleCartridgesPacker packer(nullptr, nullptr, 1, 0, buffer, 2);
  reply(2, be32(10) + be32(11) + be32(12));
  packer.unpack(context, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(buffer[0], 11u);
  EXPECT_EQ(buffer[1], 12u);
  EXPECT_EQ(buffer[2], 0x5A5A5A5Au);

  buffer[0] = buffer[1] = 0;
  reply(2, be32(14) + be32(21) + be32(22) + be32(23));
  packer.unpack(context, status);
  EXPECT_EQ(status.code, -228700);
  EXPECT_TRUE(logged(-228700, "tQuorlDataReader", 795));
  EXPECT_EQ(buffer[0], 0u);
  EXPECT_EQ(buffer[2], 0x5A5A5A5Au);

  // A reply error: nothing copied.
  status.clear();
  reply(6, be32(uint32_t(-9)) + be32(6) + be32(31));
  packer.unpack(context, status);
  EXPECT_EQ(status.code, -9);
  EXPECT_EQ(buffer[0], 0u);
}

TEST_F(tDigControllerTest, BufferFormWithoutBufferOrStorage) {
  tReadMultipleCartridgesPacker noBuffer(nullptr, nullptr, 1, 0, nullptr, 0);
  reply(2, be32(10) + be32(11) + be32(12));
  noBuffer.unpack(context, status);
  EXPECT_EQ(status.code, 0);

  // The packer's own array loses an element: nothing reaches the buffer.
  uint32_t buffer[2] = {0, 0};
  tReadMultipleCartridgesPacker packer(nullptr, nullptr, 1, 0, buffer, 2);
  nQoSim::failAllocation(2);
  packer.unpack(context, status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_TRUE(logged(-50352, "tDigController", 113));
  EXPECT_EQ(buffer[0], 0u);
}

}  // namespace
