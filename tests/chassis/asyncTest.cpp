// The stand-alone Async calls.
#include <gtest/gtest.h>

#include <cstdint>

#include "chassis/interfaces/tCartridgeSyncPulse.h"
#include "chassis/interfaces/tChassisSleep.h"
#include "chassis/interfaces/tChassisTempSensor.h"
#include "chassis/interfaces/tMultiAI_ADC.h"
#include "chassis/interfaces/tNetworkChassis.h"
#include "chassisTest.h"

namespace {

using namespace nQoFSL100::nQoMIOCS;
using nQoFSL100::tArray;
using nQoTest::be32;
using nQoTest::logged;
using nQoTest::operator+;
using nQoTest::tBytes;

class tAsyncTest : public nQoTest::tChassisTest {};

TEST_F(tAsyncTest, PackFunctionsWriteTheirRequests) {
  tChassisSleepAsync().sleepControl_pack(0x1234, transfer, 0xA5, status, 1);
  tNetworkChassisAsync().observeNetworkTimeout_pack(0x1234, transfer, 0x01020304, status, 0);
  tChassisTempSensorAsync().getTempSensorsReadings_pack(0x1234, transfer, 3, status, 1);
  tArray<uint16_t> links;
  links.append(1);
  links.append(2);
  tMultiAI_ADCAsync().setLinkedPrimVtr_pack(0x1234, transfer, links, status, 1);
  tCartridgeSyncPulseAsync().commit_pack(0x0004, transfer, 0x11111111, 0x22222222, status, 5);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(source.requestedLengths(), (std::vector<uint32_t>{9, 12, 9, 14, 16}));
  const tBytes transportBytes{0xEE, 0xEE};
  const tBytes expected[] = {
      tBytes{0xEE, 0xEE, 1, 8, 0x08, 0x01, 0x12, 0x34, 0xA5},
      tBytes{0xEE, 0xEE, 0, 8, 0x08, 0x05, 0x12, 0x34} + be32(0x01020304),
      tBytes{0xEE, 0xEE, 1, 8, 0x08, 0x0B, 0x12, 0x34, 3},
      tBytes{0xEE, 0xEE, 1, 8, 0x08, 0x11, 0x12, 0x34, 0, 6, 0, 1, 0, 2},
      tBytes{0xEE, 0xEE, 1, 8, 0x08, 0x6A, 0x00, 0x04} + be32(0x11111111) + be32(0x22222222)};
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(source.bytes(i), expected[i]) << i;
}

TEST_F(tAsyncTest, TempSensorReadingsFillTheGivenArray) {
  tArray<uint16_t> readings;
  readings.append(9);
  reply(2, tBytes{0x00, 0x06, 0x01, 0x00, 0x02, 0x00});
  tChassisTempSensorAsync().getTempSensorsReadings_unpack(context, readings, status);
  ASSERT_EQ(readings.size(), 2u);
  EXPECT_EQ(readings[0], 256);
  EXPECT_EQ(readings[1], 512);

  reply(6, be32(uint32_t(-3)) + tBytes{0x00, 0x04, 0x00, 0x01});
  tChassisTempSensorAsync().getTempSensorsReadings_unpack(context, readings, status);
  EXPECT_EQ(status.code, -3);
  EXPECT_EQ(readings.size(), 2u);
}

}  // namespace
