// The AI front end over the shipped board data: every model with an AI part
// looks its ranges up in the range-code table of the models file, and a scan
// list of channels 0 and 1 reaches the board as configuration words in order;
// a range the table lacks refuses the commit and programs no channel.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "device/tCapabilityTable.h"
#include "primitives/ai/tAIDescription.h"
#include "primitives/ai/tAIScanningFrontEndPrimitive.h"
#include "support/statusRecords.h"
#include "tavik/tTavikHelper.h"
#include "tavik/tavikFixture.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tAIFrontEndDescription;
using nQoUdP100::tAIScanningFrontEndConfig;
using nQoUdRLP100::tInterval;
using tLog = std::vector<tAccess>;

constexpr uint16_t kVolts = 1;

const tAIFrontEndDescription& shippedFrontEnd(const char* model) {
  tStatus2 status;
  return *nQoUdR100::tCapabilityTable::findByName(model, status)->ai->frontEnd;
}

TEST(tShippedRangeCodes, EveryModelWithAnAIPartLooksItsRangesUpInOneTable) {
  struct tRow {
    tInterval range;
    uint16_t gain, polarity;
  };
  const tRow rows[] = {
      {{{-10, 0, kVolts}, {10, 0, kVolts}}, 0, 0},
      {{{-5000, -3, kVolts}, {5000, -3, kVolts}}, 1, 0},
      {{{-1, 0, kVolts}, {1, 0, kVolts}}, 2, 0},
      {{{-200, -3, kVolts}, {200, -3, kVolts}}, 3, 0},
  };
  for (std::size_t i = 0; i < nQoUdR100::tCapabilityTable::count(); ++i) {
    const nQoUdR100::tProductDescriptor* record = nQoUdR100::tCapabilityTable::table()[i];
    SCOPED_TRACE(record->name);
    if (record->ai == nullptr) continue;
    const nQoUdP100::iAIRangeCodes* codes = record->ai->frontEnd->rangeCodes;
    ASSERT_NE(codes, nullptr);
    for (const tRow& row : rows) {
      uint16_t gain = 0xEE, polarity = 0xEE;
      tStatus2 status;
      codes->findRange(&row.range, &gain, &polarity, status);
      EXPECT_EQ(status.code, 0);
      EXPECT_EQ(gain, row.gain);
      EXPECT_EQ(polarity, row.polarity);
    }
    // -0.2..0.2 in another unit code is no row of the table.
    const tInterval amps{{-200, -3, 2}, {200, -3, 2}};
    uint16_t gain = 0, polarity = 0;
    tStatus2 status;
    codes->findRange(&amps, &gain, &polarity, status);
    EXPECT_EQ(status.code, -50150);
  }
}

class tShippedFrontEndTest : public tTavikMapTest {
 protected:
  void SetUp() override {
    tTavikMapTest::SetUp();
    helper = new nQoUdRLP100::tTavikHelper(map);
    frontEnd = new nQoUdP100::tAIScanningFrontEndPrimitive(&shippedFrontEnd("UD-A68"), map, helper,
                                                           status);
    ASSERT_EQ(status.code, 0);
    map->AI_Config_FIFO_Bypass.flush(&status, 0);
  }
  void TearDown() override {
    delete frontEnd;
    delete helper;
    tTavikMapTest::TearDown();
  }
  // Channels 0 and 1 over the range; channel 1's flags have bit 0 set.
  void configure(int32_t low, int32_t high) {
    nQoUdP100::tAIScanningFrontEndPrimitiveConfig config;
    for (int32_t channel : {0, 1}) {
      tAIScanningFrontEndConfig entry;
      entry.positiveInputCode = channel;
      entry.channelFlags = static_cast<uint32_t>(channel) | 0x10;
      entry.rangeLow = {low, 0, kVolts};
      entry.rangeHigh = {high, 0, kVolts};
      config.channels.append(entry);
    }
    frontEnd->setConfiguration(config, status);
    windows.clearLog();
    nQoSim::clearStatusLog();
  }

  nQoUdRLP100::tTavikHelper* helper = nullptr;
  nQoUdP100::tAIScanningFrontEndPrimitive* frontEnd = nullptr;
};

TEST_F(tShippedFrontEndTest, ChannelsZeroAndOneBecomeTwoConfigurationWordsInOrder) {
  configure(-10, 10);
  frontEnd->commit(status);
  EXPECT_EQ(status.code, 0);
  // Gain code 0 and polarity code 0; bit 14 from bit 0 of the channel flags.
  EXPECT_EQ(windows.log(),
            (tLog{wrote(0x1A4, 0x0001), wrote(0x05E, 0x0000), kBusFlush, wrote(0x05E, 0x4001),
                  kBusFlush, wrote(0x110, 0x0004), kBusFlush}));

  frontEnd->uncommit(status);
  configure(-5, 5);
  frontEnd->commit(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(windows.writes()[1], wrote(0x05E, 0x0200));
  EXPECT_EQ(windows.writes()[2], wrote(0x05E, 0x4201));
}

TEST_F(tShippedFrontEndTest, ARangeNotInTheTableRefusesTheCommitAndProgramsNoChannel) {
  configure(-3, 3);
  frontEnd->commit(status);
  EXPECT_EQ(status.code, -50150);
  EXPECT_TRUE(loggedAt(-50150, "tAIFrontEndCaps", 51));
  for (const tAccess& access : windows.writes()) EXPECT_NE(access.offset, 0x05Eu);
  EXPECT_NE(frontEnd->state().getState(), 2u);
}

}  // namespace
}  // namespace nQoTest
