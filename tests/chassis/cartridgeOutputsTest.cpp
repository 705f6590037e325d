// The cartridge replies with scalar outputs after the status block: the u8
// answers (FIFO, EEPROM status register, TEDS PROM, timer expiry,
// multi-cartridge overflow), the u32 results of the action bits, and the
// two u32 of the sync-pulse status.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "chassis/cartridge/tCartridgeActionBit.h"
#include "chassis/cartridge/tCartridgeEEPROM.h"
#include "chassis/cartridge/tCartridgeFIFO.h"
#include "chassis/cartridge/tCartridgeSyncPulseChangeDetection.h"
#include "chassis/cartridge/tCartridgeTEDSCommunicator.h"
#include "chassis/cartridge/tCartridgeTimer.h"
#include "chassis/cartridge/tMultiCartridgeChangeDetection.h"
#include "chassisTest.h"

namespace {

using namespace nQoFSL100::nQoMIOCS;
using nQoFSL100::tQuorlPacker;
using nQoTest::be32;
using nQoTest::logged;
using nQoTest::operator+;
using nQoTest::tBytes;

template <class T>
using tMakeWith = std::function<tQuorlPacker*(T& output)>;

template <class tClass, class T, class... tInputs>
tMakeWith<T> with(tInputs... inputs) {
  return [=](T& output) -> tQuorlPacker* {
    return new tClass(nullptr, nullptr, 1, inputs..., output);
  };
}

class tCartridgeOutputsTest : public nQoTest::tChassisTest {
 protected:
  // Unpacks the reply into a fresh output that starts as untouched.
  template <class T>
  T unpackInto(const tMakeWith<T>& make, T untouched, int before = 0) {
    T output = untouched;
    std::unique_ptr<tQuorlPacker> packer(make(output));
    status.clear();
    status.code = before;
    packer->unpack(context, status);
    return output;
  }
};

TEST_F(tCartridgeOutputsTest, ByteAnswers) {
  const std::vector<tMakeWith<uint8_t>> classes = {
      with<nCartridgeFIFO::tGetAndConfirmOverflowPacker, uint8_t>(),
      with<nCartridgeFIFO::tGetAndConfirmTransferCompletePacker, uint8_t>(),
      with<nCartridgeEEPROM::tReadStatusRegPacker, uint8_t>(),
      with<nCartridgeTEDSCommunicator::tIsPROMWrittenPacker, uint8_t>(7u),
      with<nCartridgeTimer::tGetAndConfirmTimerExpiredStatusPacker, uint8_t>(),
      with<nCartridgeTimer::tGetAndConfirmTimerExpiredErrorPacker, uint8_t>(),
      with<nMultiCartridgeChangeDetection::tGetChangeDetectionOverflowStatusPacker, uint8_t>(),
  };
  for (std::size_t i = 0; i < classes.size(); ++i) {
    SCOPED_TRACE(i);
    reply(2, tBytes{0x01});
    EXPECT_EQ(unpackInto<uint8_t>(classes[i], 0x5A), 0x01);
    EXPECT_EQ(status.code, 0);
    reply(2, tBytes{0x02, 0x03});
    EXPECT_EQ(unpackInto<uint8_t>(classes[i], 0x5A), 0x02);

    reply(2, {});
    EXPECT_EQ(unpackInto<uint8_t>(classes[i], 0x5A), 0xFF);
    EXPECT_EQ(status.code, -228700);
    EXPECT_TRUE(logged(-228700, "tQuorlDataReader", 783));

    reply(6, be32(uint32_t(-20)) + tBytes{0x01});
    EXPECT_EQ(unpackInto<uint8_t>(classes[i], 0x5A), 0x5A);
    EXPECT_EQ(status.code, -20);

    reply(2, tBytes{0x01});
    EXPECT_EQ(unpackInto<uint8_t>(classes[i], 0x5A, -1), 0x5A);
    EXPECT_EQ(status.code, -1);
  }
}

TEST_F(tCartridgeOutputsTest, ActionBitResults) {
  const std::vector<tMakeWith<uint32_t>> classes = {
      with<nCartridgeActionBit::tGetPacker, uint32_t>(5u),
      with<nCartridgeActionBit::tCheckForErrorsPacker, uint32_t>(5u),
  };
  for (const tMakeWith<uint32_t>& make : classes) {
    reply(2, be32(0x12345678));
    EXPECT_EQ(unpackInto<uint32_t>(make, 0x5A5A5A5A), 0x12345678u);
    EXPECT_EQ(status.code, 0);

    reply(6, be32(100) + be32(0x12345678));
    EXPECT_EQ(unpackInto<uint32_t>(make, 0x5A5A5A5A), 0x12345678u);
    EXPECT_EQ(status.code, 100);
    EXPECT_TRUE(logged(100, "tQuorlDataReader", 790));

    reply(6, be32(uint32_t(-100)) + be32(0x12345678));
    EXPECT_EQ(unpackInto<uint32_t>(make, 0x5A5A5A5A), 0x5A5A5A5Au);
    EXPECT_EQ(status.code, -100);

    reply(2, tBytes{0x12, 0x34, 0x56});
    EXPECT_EQ(unpackInto<uint32_t>(make, 0x5A5A5A5A), 0xFFFFFFFFu);
    EXPECT_EQ(status.code, -228700);
  }
}

TEST_F(tCartridgeOutputsTest, SyncPulseStatusReadsEachWordByItself) {
  uint32_t first = 0x5A5A5A5A;
  uint32_t second = 0x5A5A5A5A;
  nCartridgeSyncPulseChangeDetection::tGetSyncPulseStatusPacker packer(nullptr, nullptr, 1, first,
                                                                       second);
  reply(2, be32(1) + be32(0x80000000));
  packer.unpack(context, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(first, 1u);
  EXPECT_EQ(second, 0x80000000u);

  reply(2, be32(2));
  packer.unpack(context, status);
  EXPECT_EQ(status.code, -228700);
  EXPECT_EQ(first, 2u);
  EXPECT_EQ(second, 0xFFFFFFFFu);

  status.clear();
  first = second = 0x5A5A5A5A;
  reply(6, be32(uint32_t(-3)) + be32(1) + be32(2));
  packer.unpack(context, status);
  EXPECT_EQ(status.code, -3);
  EXPECT_EQ(first, 0x5A5A5A5Au);
  EXPECT_EQ(second, 0x5A5A5A5Au);
}

}  // namespace
