// The outputs of the chassis service packers: the revision, the two times and
// the temperature readings in both forms.
#include <gtest/gtest.h>

#include <cstdint>

#include "chassis/interfaces/tChassisTempSensor.h"
#include "chassis/interfaces/tChassisTimekeeper.h"
#include "chassis/interfaces/tStreamingFpga.h"
#include "chassisTest.h"
#include "sim/simAllocator.h"

namespace {

using namespace nQoFSL100::nQoMIOCS;
using nChassisTempSensor::tGetTempSensorsReadingsPacker;
using nQoFSL100::tArray;
using nQoTest::be32;
using nQoTest::logged;
using nQoTest::operator+;
using nQoTest::tBytes;

class tServiceOutputsTest : public nQoTest::tChassisTest {};

// A reply from the status block length on, and what the caller sees.
struct tScalarCase {
  tBytes fromLength;
  int code;
  uint64_t value;
};

constexpr uint64_t kUntouched = 0x5555555555555555;
constexpr int kWarning = 200;
constexpr auto kError = uint32_t(-9);

TEST_F(tServiceOutputsTest, RevisionFollowsTheStatusBlock) {
  const tScalarCase cases[] = {
      {tBytes{0, 2} + be32(0xCAFEF00D), 0, 0xCAFEF00D},
      {tBytes{0, 6} + be32(kWarning) + be32(0x0A0B0C0D), kWarning, 0x0A0B0C0D},
      {tBytes{0, 6} + be32(kError) + be32(5), -9, 0x55555555},
      {tBytes{0, 2}, -228700, 0xFFFFFFFF},
      {tBytes{0, 2, 1, 2, 3}, -228700, 0xFFFFFFFF},
  };
  for (const tScalarCase& c : cases) {
    uint32_t revision = 0x55555555;
    nStreamingFpga::tGetRevisionPacker packer(nullptr, nullptr, 1, revision);
    status.clear();
    replies.setReply(tBytes(6, 0) + c.fromLength);
    packer.unpack(context, status);
    EXPECT_EQ(status.code, c.code);
    EXPECT_EQ(revision, c.value);
  }
}

TEST_F(tServiceOutputsTest, TimesAreSixtyFourBitsMostSignificantFirst) {
  const tBytes time = be32(0x01020304) + be32(0x05060708);
  const tScalarCase cases[] = {
      {tBytes{0, 2} + time, 0, 0x0102030405060708},
      {tBytes{0, 6} + be32(kWarning) + time, kWarning, 0x0102030405060708},
      {tBytes{0, 6} + be32(kError) + time, -9, kUntouched},
      {tBytes{0, 2} + be32(0x01020304), -228700, ~uint64_t{0}},
  };
  for (const tScalarCase& c : cases) {
    uint64_t current = kUntouched;
    uint64_t epoch = kUntouched;
    nChassisTimekeeper::tGetCurrentTimePacker currentPacker(nullptr, nullptr, 1, current);
    nChassisTimekeeper::tGetEpochTimePacker epochPacker(nullptr, nullptr, 1, epoch);
    replies.setReply(tBytes(6, 0) + c.fromLength);
    status.clear();
    currentPacker.unpack(context, status);
    EXPECT_EQ(status.code, c.code);
    status.clear();
    epochPacker.unpack(context, status);
    EXPECT_EQ(status.code, c.code);
    EXPECT_EQ(current, c.value);
    EXPECT_EQ(epoch, c.value);
  }
  EXPECT_TRUE(logged(-228700, "tQuorlDataReader", 783));
}

TEST_F(tServiceOutputsTest, ReadingsIntoTheCallersArray) {
  tArray<uint16_t> readings;
  readings.append(9);
  tGetTempSensorsReadingsPacker packer(nullptr, nullptr, 1, 4, readings);
  reply(2, tBytes{0x00, 0x06, 0x01, 0x00, 0x02, 0x00});
  packer.unpack(context, status);
  EXPECT_EQ(status.code, 0);
  ASSERT_EQ(readings.size(), 2u);
  EXPECT_EQ(readings[0], 256);
  EXPECT_EQ(readings[1], 512);
}

TEST_F(tServiceOutputsTest, ReadingsIntoABoundedBuffer) {
  const tBytes twoReadings{0x00, 0x06, 0x01, 0x00, 0x02, 0x00};
  uint16_t buffer[3] = {7, 7, 7};
  tGetTempSensorsReadingsPacker one(nullptr, nullptr, 1, 4, buffer, 1);
  reply(2, twoReadings);
  one.unpack(context, status);
  EXPECT_EQ(status.code, -228700);
  EXPECT_TRUE(logged(-228700, "tQuorlDataReader", 795));
  EXPECT_EQ(buffer[0], 7);

  status.clear();
  tGetTempSensorsReadingsPacker two(nullptr, nullptr, 1, 4, buffer, 2);
  two.unpack(context, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(buffer[0], 256);
  EXPECT_EQ(buffer[1], 512);
  EXPECT_EQ(buffer[2], 7);

  // A reply error copies nothing.
  buffer[0] = buffer[1] = 7;
  reply(6, be32(kError) + twoReadings);
  two.unpack(context, status);
  EXPECT_EQ(status.code, -9);
  EXPECT_EQ(buffer[0], 7);

  // Without a buffer the readings stay in the packer.
  status.clear();
  tGetTempSensorsReadingsPacker none(nullptr, nullptr, 1, 4, nullptr, 0);
  reply(2, twoReadings);
  none.unpack(context, status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tServiceOutputsTest, ReadingsLostForWantOfStorageReachNoBuffer) {
  uint16_t buffer[2] = {7, 7};
  tGetTempSensorsReadingsPacker packer(nullptr, nullptr, 1, 4, buffer, 2);
  reply(2, tBytes{0x00, 0x06, 0x01, 0x00, 0x02, 0x00});
  nQoSim::failAllocation(2);
  packer.unpack(context, status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_TRUE(logged(-50352, "tChassisTempSensor", 62));
  EXPECT_EQ(buffer[0], 7);

  // The next read that keeps every reading delivers them.
  status.clear();
  packer.unpack(context, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(buffer[0], 256);
  EXPECT_EQ(buffer[1], 512);
}

}  // namespace
