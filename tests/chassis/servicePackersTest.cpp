// Every packer of the chassis service interfaces, as one table: its request
// bytes, its request size under a warning and an error, its -50004 site and
// the reply's code reaching the caller.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "chassis/interfaces/tChassisAOTiming.h"
#include "chassis/interfaces/tChassisGlobalPulse.h"
#include "chassis/interfaces/tChassisSleep.h"
#include "chassis/interfaces/tChassisTempSensor.h"
#include "chassis/interfaces/tChassisTimekeeper.h"
#include "chassis/interfaces/tDMAAdaptor.h"
#include "chassis/interfaces/tHardwareVerification.h"
#include "chassis/interfaces/tIndustrialChassis.h"
#include "chassis/interfaces/tMultiAI_ADC.h"
#include "chassis/interfaces/tNetworkChassis.h"
#include "chassis/interfaces/tRoutable.h"
#include "chassis/interfaces/tStreamingFpga.h"
#include "chassis/interfaces/tTimeTrigger.h"
#include "chassis/interfaces/tTimestamp.h"
#include "chassisTest.h"

namespace {

using namespace nQoFSL100::nQoMIOCS;
using nQoFSL100::tArray;
using nQoFSL100::tQuorlPacker;
using nQoTest::be32;
using nQoTest::logged;
using nQoTest::operator+;
using nQoTest::tBytes;

class tServicePackersTest : public nQoTest::tChassisTest {};

struct tRow {
  std::unique_ptr<tQuorlPacker> packer;
  unsigned flag;
  tBytes request;  // from byte 2
  const char* file;
  unsigned line;   // of -50004
};

template <class tPacker, class... tArguments>
std::unique_ptr<tQuorlPacker> make(uint16_t objectId, tArguments&&... arguments) {
  return std::make_unique<tPacker>(nullptr, nullptr, objectId,
                                   std::forward<tArguments>(arguments)...);
}

// Bytes 2-7 with the flag 1 and the object id 0x1234.
tBytes header(uint8_t method, uint16_t interfaceId) {
  return {1, method, uint8_t(interfaceId >> 8), uint8_t(interfaceId), 0x12, 0x34};
}

std::vector<tRow> rows(const tArray<uint32_t>& twoWords, const tArray<uint8_t>& threeBytes,
                       const tArray<uint16_t>& twoHalves, uint32_t& revision, uint64_t& time,
                       tArray<uint16_t>& readings) {
  std::vector<tRow> all;
  auto add = [&](std::unique_ptr<tQuorlPacker> packer, unsigned flag, tBytes request,
                 const char* file, unsigned line) {
    all.push_back({std::move(packer), flag, std::move(request), file, line});
  };
  const uint16_t id = 0x1234;
  // clang-format off
  // Hardware verification, sleep, global pulse, network chassis.
  add(make<nHardwareVerification::tVerifyMorroVersionPacker>(id), 1, header(8, 0x0800), "tHardwareVerification", 60);
  add(make<nHardwareVerification::tVerifyMorroPacker>(id), 1, {1, 9, 0x08, 0x00, 0x12, 0x34}, "tHardwareVerification", 110);
  add(make<nChassisSleep::tSleepControlPacker>(id, uint8_t(0x7F)), 1, header(8, 0x0801) + tBytes{0x7F}, "tChassisSleep", 60);
  add(make<nChassisGlobalPulse::tGeneratePulsePacker>(id), 1, header(8, 0x0802), "tChassisGlobalPulse", 60);
  add(make<nNetworkChassis::tObserveNetworkTimeoutPacker>(id, 0x01020304u), 1, header(8, 0x0805) + be32(0x01020304), "tNetworkChassis", 60);
  add(make<nChassisTempSensor::tGetTempSensorsReadingsPacker>(id, uint8_t(0x80), readings), 1, header(8, 0x080B) + tBytes{0x80}, "tChassisTempSensor", 60);
  add(make<nMultiAI_ADC::tSetLinkedPrimVtrPacker>(id, twoHalves), 1, header(8, 0x0811) + tBytes{0, 6, 0, 1, 0, 2}, "tMultiAI_ADC", 60);
  // Routable.
  add(make<nRoutable::tRoutePacker>(id, twoWords, twoWords), 1, header(8, 0x0803) + be32(10) + be32(7) + be32(0xFFFFFFFF) + be32(10) + be32(7) + be32(0xFFFFFFFF), "tRoutable", 127);
  add(make<nRoutable::tRouteCartridgeConvertControlPacker>(id, 1u, 2u), 1, header(9, 0x0803) + be32(1) + be32(2), "tRoutable", 197);
  add(make<nRoutable::tRouteCartridgeDoValuePacker>(id, 3u, 4u), 1, header(10, 0x0803) + be32(3) + be32(4), "tRoutable", 267);
  add(make<nRoutable::tRouteCartridgeSignalSourcePacker>(id, 258u, 0u, 0xFFFFFFFFu), 1, header(11, 0x0803) + be32(258) + be32(0) + be32(0xFFFFFFFF), "tRoutable", 339);
  add(make<nRoutable::tRouteCartridgeStaticDioDirectionPacker>(id, 5u, 6u, 7u), 1, header(12, 0x0803) + be32(5) + be32(6) + be32(7), "tRoutable", 412);
  add(make<nRoutable::tUncommitPFIRoutePacker>(id, 8u), 1, header(13, 0x0803) + be32(8), "tRoutable", 481);
  // DMA adaptor.
  add(make<nDMAAdaptor::tCommitPacker>(id, 1u, uint8_t(1), uint8_t(2), uint8_t(3), uint8_t(4), uint8_t(5), uint8_t(6), uint8_t(7), uint8_t(8)), 1, header(8, 0x0804) + tBytes{0, 0, 0, 1, 1, 2, 3, 4, 5, 6, 7, 8}, "tDMAAdaptor", 127);
  add(make<nDMAAdaptor::tArmPacker>(id), 1, header(9, 0x0804), "tDMAAdaptor", 192);
  add(make<nDMAAdaptor::tDisarmPacker>(id), 1, header(10, 0x0804), "tDMAAdaptor", 245);
  add(make<nDMAAdaptor::tUncommitPacker>(id), 1, header(11, 0x0804), "tDMAAdaptor", 298);
  add(make<nDMAAdaptor::tResetPacker>(id), 1, header(12, 0x0804), "tDMAAdaptor", 351);
  add(make<nDMAAdaptor::tWritePacker>(id, twoWords), 1, header(13, 0x0804) + be32(10) + be32(7) + be32(0xFFFFFFFF), "tDMAAdaptor", 421);
  add(make<nDMAAdaptor::tWriteEnabledCartridgeMaskPacker>(id, 255u), 1, header(14, 0x0804) + be32(255), "tDMAAdaptor", 488);
  // Industrial chassis.
  add(make<nIndustrialChassis::tBeginQuorlMessagePersistencePacker>(id, uint8_t(2)), 1, header(8, 0x0806) + tBytes{2}, "tIndustrialChassis", 111);
  add(make<nIndustrialChassis::tEndQuorlMessagePersistencePacker>(id, uint8_t(3)), 1, header(9, 0x0806) + tBytes{3}, "tIndustrialChassis", 178);
  add(make<nIndustrialChassis::tClearMessageStoresPacker>(id), 1, header(10, 0x0806), "tIndustrialChassis", 235);
  add(make<nIndustrialChassis::tLiftQuorlLockoutPacker>(id), 1, {1, 0x0B, 0x08, 0x06, 0x12, 0x34}, "tIndustrialChassis", 288);
  add(make<nIndustrialChassis::tSetCounterOutputExpirationStatesPacker>(id, threeBytes), 1, header(12, 0x0806) + tBytes{0, 5, 1, 0, 2}, "tIndustrialChassis", 358);
  add(make<nIndustrialChassis::tSetExpireWatchdogOnConnectionLossPacker>(id, uint8_t(0x7F)), 1, header(13, 0x0806) + tBytes{0x7F}, "tIndustrialChassis", 425);
  add(make<nIndustrialChassis::tBeginEventDeferralPacker>(id), 1, header(14, 0x0806), "tIndustrialChassis", 482);
  add(make<nIndustrialChassis::tEndEventDeferralPacker>(id), 1, header(15, 0x0806), "tIndustrialChassis", 535);
  // Streaming FPGA.
  add(make<nStreamingFpga::tInitializePacker>(id), 1, header(8, 0x0807), "tStreamingFpga", 101);
  add(make<nStreamingFpga::tCommitPacker>(id, 0x01020304u, 0x0A0B0C0Du, uint8_t(1), uint8_t(2), uint8_t(3), uint8_t(4), uint8_t(5), uint8_t(6)), 1, {1, 9, 8, 7, 0x12, 0x34, 1, 2, 3, 4, 0x0A, 0x0B, 0x0C, 0x0D, 1, 2, 3, 4, 5, 6}, "tStreamingFpga", 178);
  add(make<nStreamingFpga::tArmPacker>(id, uint8_t(0xFF), uint8_t(0), uint8_t(0x80)), 0, {0, 10, 8, 7, 0x12, 0x34, 0xFF, 0, 0x80}, "tStreamingFpga", 256);
  add(make<nStreamingFpga::tDisarmPacker>(id, uint8_t(0xFF), uint8_t(0), uint8_t(0x80)), 1, header(11, 0x0807) + tBytes{0xFF, 0, 0x80}, "tStreamingFpga", 329);
  add(make<nStreamingFpga::tUncommitPacker>(id, uint8_t(0xFF), uint8_t(0), uint8_t(0x80)), 1, header(12, 0x0807) + tBytes{0xFF, 0, 0x80}, "tStreamingFpga", 402);
  add(make<nStreamingFpga::tGetRevisionPacker>(id, revision), 1, header(13, 0x0807), "tStreamingFpga", 461);
  // Timekeeper.
  add(make<nChassisTimekeeper::tGetCurrentTimePacker>(id, time), 1, header(8, 0x0808), "tChassisTimekeeper", 101);
  add(make<nChassisTimekeeper::tRequestEpochPacker>(id), 1, header(9, 0x0808), "tChassisTimekeeper", 170);
  add(make<nChassisTimekeeper::tGetEpochTimePacker>(id, time), 1, header(10, 0x0808), "tChassisTimekeeper", 223);
  add(make<nChassisTimekeeper::tSetTimeOffsetPacker>(id, uint64_t(0x0102030405060708)), 1, {1, 0x0B, 8, 8, 0x12, 0x34, 1, 2, 3, 4, 5, 6, 7, 8}, "tChassisTimekeeper", 302);
  // Time trigger.
  add(make<nTimeTrigger::tCommitPacker>(3, 258u, 5u), 0, {0, 8, 8, 9, 0, 3, 0, 0, 1, 2, 0, 0, 0, 5}, "tTimeTrigger", 113);
  add(make<nTimeTrigger::tArmPacker>(id), 1, header(9, 0x0809), "tTimeTrigger", 171);
  add(make<nTimeTrigger::tStartPacker>(id), 1, header(10, 0x0809), "tTimeTrigger", 224);
  add(make<nTimeTrigger::tDisarmPacker>(id), 1, header(11, 0x0809), "tTimeTrigger", 277);
  add(make<nTimeTrigger::tUncommitPacker>(id), 1, header(12, 0x0809), "tTimeTrigger", 330);
  // Timestamp.
  add(make<nTimestamp::tCommitPacker>(0x0102, uint8_t(0xFF)), 1, {1, 8, 8, 0x0A, 1, 2, 0xFF}, "tTimestamp", 129);
  add(make<nTimestamp::tArmPacker>(id), 1, header(9, 0x080A), "tTimestamp", 186);
  add(make<nTimestamp::tDisarmPacker>(id), 1, header(10, 0x080A), "tTimestamp", 239);
  add(make<nTimestamp::tUncommitPacker>(id), 1, header(11, 0x080A), "tTimestamp", 292);
  // AO timing.
  add(make<nChassisAOTiming::tInitializePacker>(id), 1, header(8, 0x0820), "tChassisAOTiming", 101);
  add(make<nChassisAOTiming::tCommitPacker>(id, twoHalves, uint8_t(0x80)), 1, header(9, 0x0820) + tBytes{0, 6, 0, 1, 0, 2, 0x80}, "tChassisAOTiming", 173);
  add(make<nChassisAOTiming::tStartPacker>(id, uint16_t(0x0102), uint8_t(3), uint8_t(0xFF)), 1, header(10, 0x0820) + tBytes{1, 2, 3, 0xFF}, "tChassisAOTiming", 245);
  add(make<nChassisAOTiming::tStopPacker>(id, uint16_t(0xBEEF)), 1, header(11, 0x0820) + tBytes{0xBE, 0xEF}, "tChassisAOTiming", 314);
  // clang-format on
  return all;
}

TEST_F(tServicePackersTest, EveryPackerWritesItsRequest) {
  tArray<uint32_t> twoWords;
  nQoTest::fill<uint32_t>(twoWords, {7, 0xFFFFFFFF});
  tArray<uint8_t> threeBytes;
  nQoTest::fill<uint8_t>(threeBytes, {1, 0, 2});
  tArray<uint16_t> twoHalves;
  nQoTest::fill<uint16_t>(twoHalves, {1, 2});
  uint32_t revision = 0;
  uint64_t time = 0;
  tArray<uint16_t> readings;
  const std::vector<tRow> all = rows(twoWords, threeBytes, twoHalves, revision, time, readings);
  // The packers keep their own copies.
  twoWords.append(9);
  threeBytes.append(9);
  twoHalves.append(9);
  ASSERT_EQ(all.size(), 51u);

  std::size_t message = 0;
  for (const tRow& row : all) {
    const uint32_t size = uint32_t(row.request.size() + 2);
    SCOPED_TRACE(testing::Message() << row.file << " " << row.line);
    status.code = 5;
    EXPECT_EQ(row.packer->requestSize(status), size);
    status.code = -5;
    EXPECT_EQ(row.packer->requestSize(status), 8u);
    row.packer->pack(transfer, 7, status);

    // Under a warning the request goes out and the warning stays.
    status.code = 5;
    row.packer->pack(transfer, row.flag, status);
    EXPECT_EQ(status.code, 5);
    EXPECT_EQ(source.requestedLengths().back(), size);
    EXPECT_EQ(source.bytes(message), (tBytes{0xEE, 0xEE} + row.request));
    EXPECT_EQ(source.message(message).finished, 1u);
    ++message;

    status.clear();
    source.script({.noMessage = true});
    row.packer->pack(transfer, row.flag, status);
    EXPECT_EQ(status.code, -50004);
    EXPECT_TRUE(logged(-50004, row.file, row.line));

    status.clear();
    reply(6, be32(uint32_t(-7)) + be32(0x01020304) + be32(0x05060708));
    row.packer->unpack(context, status);
    EXPECT_EQ(status.code, -7);
    status.clear();
  }
  EXPECT_EQ(source.calls(), 2 * all.size());
  EXPECT_EQ(revision, 0u);
  EXPECT_EQ(time, 0u);
  EXPECT_TRUE(readings.empty());
}

}  // namespace
