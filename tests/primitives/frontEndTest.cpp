// The AI scanning front end on the real map: the configuration words of each
// board variant, the bypass selections, the static control bit and the
// settling time-out, and the channel setters.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "device/tAIFrontEndSecondRecord.h"
#include "primitives/ai/tAIScanningFrontEndPrimitive.h"
#include "support/statusRecords.h"
#include "tavik/tTavikHelper.h"
#include "tavik/tavikFixture.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tAIFrontEndChannelCoder;
using nQoUdP100::tAIFrontEndDescription;
using nQoUdP100::tAIScanningFrontEndConfig;
using nQoUdP100::tAIScanningFrontEndPrimitive;
using nQoUdP100::tAIScanningFrontEndPrimitiveConfig;
using tLog = std::vector<tAccess>;

constexpr const char kFile[] = "source/qomiop/tavik/udseries/ai/tAIScanningFrontEndPrimitive";

// -10..10 V is gain 1, polarity 0; 0..5 V gain 3, polarity 1; others -50150.
class tRangeCodes : public nQoUdP100::iAIRangeCodes {
 public:
  void findRange(const nQoUdRLP100::tInterval* range, uint16_t* gain, uint16_t* polarity,
                 tStatus2& status) const override {
    if (range->upper.value == 10) {
      *gain = 1;
      *polarity = 0;
    } else if (range->upper.value == 5) {
      *gain = 3;
      *polarity = 1;
    } else {
      status.setCode(-50150, "qoudrk", "frontEndTest", 1);
    }
  }
};

class tFrontEndTest : public tTavikMapTest {
 protected:
  void SetUp() override {
    tTavikMapTest::SetUp();
    helper = new nQoUdRLP100::tTavikHelper(map);
    description.capabilityWord2 = 8;
    description.capabilityWord4 = 4;
    description.rangeCodes = &codes;
  }
  void TearDown() override {
    delete frontEnd;
    delete helper;
    tTavikMapTest::TearDown();
  }
  void build() {
    delete frontEnd;
    frontEnd = new tAIScanningFrontEndPrimitive(&description, map, helper, status);
    ASSERT_EQ(status.code, 0);
    // A clean bypass register is written only when a selection changes it.
    map->AI_Config_FIFO_Bypass.flush(&status, 0);
  }
  // A list of channels (reference, positive input).
  void configure(std::vector<std::pair<int32_t, int32_t>> entries) {
    tAIScanningFrontEndPrimitiveConfig config;
    config.settlingTime = 1000;
    for (auto [reference, input] : entries) {
      tAIScanningFrontEndConfig entry;
      entry.referenceCode = reference;
      entry.positiveInputCode = input;
      config.channels.append(entry);
    }
    frontEnd->setConfiguration(config, status);
    windows.clearLog();
    nQoSim::clearStatusLog();
  }

  tRangeCodes codes;
  tAIFrontEndDescription description;
  nQoUdRLP100::tTavikHelper* helper = nullptr;
  tAIScanningFrontEndPrimitive* frontEnd = nullptr;
};

TEST_F(tFrontEndTest, AnEmptyListOnlyStrobesTheConfigurationMemory) {
  build();
  configure({});
  frontEnd->commit(status);
  EXPECT_EQ(windows.log(), (tLog{wrote(0x1A4, 0x0001)}));
  EXPECT_FALSE(frontEnd->isSettling());
  EXPECT_EQ(frontEnd->state().getState(), 2u);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tFrontEndTest, AChannelBecomesOneConfigurationWordPerVariant) {
  build();
  configure({{257, 5}});
  frontEnd->commit(status);
  EXPECT_EQ(windows.log(), (tLog{wrote(0x1A4, 0x0001), wrote(0x05E, 0x02C9), kBusFlush,
                                 wrote(0x110, 0x0004), kBusFlush}));
  EXPECT_TRUE(frontEnd->isSettling());
  EXPECT_EQ(status.code, 0);

  struct tCase {
    uint32_t capabilityWord2;
    const nQoUdP100::tAIFrontEndSecondRecord* second;
    int32_t reference, input;
    uint32_t variant, word;
  };
  const nQoUdP100::tAIFrontEndSecondRecord other;
  const tCase cases[] = {
      {8, nullptr, 274, 263, 1, 0x020A},                             // fixed input, bank 0
      {8, nullptr, 264, 2, 1, 0x0282},                               // pseudo-reference: bank 2
      {8, nullptr, 999, 266, 1, 0x0340},                             // an undefined pair: 0
      {96, &other, 257, 70, 3, 0x12C6},                              // bit 6 of 70 to bit 12
      {96, &nQoUdP100::kBuiltInFrontEndRecord, 257, 70, 2, 0x06C6},  // bit 6 of 70 to bit 10
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.input * 1000 + c.reference);
    description.capabilityWord2 = c.capabilityWord2;
    description.secondRecord = c.second;
    build();
    EXPECT_EQ(frontEnd->coder().variant(), c.variant);
    configure({{c.reference, c.input}});
    map->Write_005E.setRegister(0, &status);
    frontEnd->commit(status);
    EXPECT_EQ(windows.writes()[1], wrote(0x05E, c.word));
    EXPECT_EQ(status.code, 0);
  }
}

TEST_F(tFrontEndTest, SixtyFourChannelsStillCodeAsTheNarrowVariant) {
  const nQoUdP100::tAIFrontEndSecondRecord other;
  const struct {
    uint32_t channels;
    const nQoUdP100::tAIFrontEndSecondRecord* second;
    uint32_t variant;
  } cases[] = {{64, &other, 1},
               {64, &nQoUdP100::kBuiltInFrontEndRecord, 1},
               {65, &other, 3},
               {65, &nQoUdP100::kBuiltInFrontEndRecord, 2}};
  for (const auto& c : cases) {
    description.capabilityWord2 = c.channels;
    description.secondRecord = c.second;
    const nQoUdP100::tAIFrontEndChannelCoder coder(&description);
    EXPECT_EQ(coder.variant(), c.variant) << c.channels;
  }
}

TEST_F(tFrontEndTest, BypassSelectionsProgramTheBypassRegisterAlone) {
  build();
  configure({{275, 257}, {257, 3}});
  frontEnd->commit(status);
  EXPECT_EQ(windows.log(), (tLog{wrote(0x1A4, 0x0001), wrote(0x218, 0x80079700, 32), kBusFlush,
                                 wrote(0x110, 0x0004), kBusFlush}));
  EXPECT_TRUE(frontEnd->isSettling());

  configure({{274, 8}, {257, 3}});
  tStatus2 two;
  frontEnd->commit(two);
  EXPECT_EQ(two.code, -200329);
  EXPECT_TRUE(loggedAt(-200329, kFile, 258));
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x1A4, 0x0001)}));
  EXPECT_EQ(frontEnd->state().getState(), 1u) << "undone";
}

TEST_F(tFrontEndTest, EveryCommitRestartsTheSettlingTimeOut) {
  description.word10 = 1;
  build();
  tAIScanningFrontEndPrimitiveConfig config;
  tAIScanningFrontEndConfig entry;
  entry.positiveInputCode = 2;
  entry.words9To12[1] = 1;
  config.channels.append(entry);
  config.settlingTime = 1000;
  frontEnd->setConfiguration(config, status);
  windows.clearLog();
  frontEnd->commit(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(windows.log().front(), wrote(0x261, 0x01, 8));
  frontEnd->commit(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(frontEnd->state().getState(), 2u);
  frontEnd->waitForSettling(status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tFrontEndTest, ChannelSettersRefuseIndexesPastTheList) {
  build();
  configure({{257, 1}});
  const nQoUdRLP100::tInterval fiveVolts{{0, 0, 1}, {5, 0, 1}};
  frontEnd->setChannelRange(0, fiveVolts, status);
  frontEnd->setChannelParameters(0, 6, 257, status);
  frontEnd->commit(status);
  EXPECT_EQ(windows.writes()[1], wrote(0x05E, 0x16CA)) << "gain 3, polarity 1, channel 10";
  tStatus2 range, parameters;
  frontEnd->setChannelRange(1, fiveVolts, range);
  EXPECT_TRUE(loggedAt(-50150, "source/qomiop/ai/tBaseAIScanningFrontEndPrimitive", 111));
  frontEnd->setChannelParameters(1, 6, 257, parameters);
  EXPECT_TRUE(loggedAt(-50150, "source/qomiop/ai/tBaseAIScanningFrontEndPrimitive", 131));
}

// A channel or a list given under a commit writes nothing and leaves the
// record the transfers go by; the next programming of the channels (an arm
// with timing flag 0, a commit) writes it and takes it. The release forgets.
TEST_F(tFrontEndTest, ADeployUnderACommitReachesTheBoardWithTheNextProgramming) {
  build();
  configure({{257, 5}});
  frontEnd->commit(status);
  windows.clearLog();
  frontEnd->setChannelParameters(0, 6, 257, status);
  frontEnd->arm(1, status);
  EXPECT_TRUE(windows.log().empty());
  ASSERT_EQ(frontEnd->configuration().channels.size(), 1u);
  EXPECT_EQ(frontEnd->configuration().channels[0].positiveInputCode, 5);

  frontEnd->arm(0, status);
  EXPECT_EQ(windows.writes()[1], wrote(0x05E, 0x02CA));
  EXPECT_EQ(frontEnd->configuration().channels[0].positiveInputCode, 6);

  configure({{257, 1}, {257, 2}});
  EXPECT_EQ(frontEnd->configuration().channels.size(), 1u);
  frontEnd->commit(status);
  EXPECT_EQ(windows.writes()[1], wrote(0x05E, 0x02C1));
  EXPECT_EQ(windows.writes()[2], wrote(0x05E, 0x02C2));
  EXPECT_EQ(frontEnd->configuration().channels.size(), 2u);
  EXPECT_EQ(status.code, 0);

  frontEnd->bringDown();
  EXPECT_EQ(frontEnd->configuration().channels.size(), 0u);
  EXPECT_EQ(frontEnd->state().getState(), 1u);
}

TEST_F(tFrontEndTest, UnsupportedSlotsRefuseWithoutTouchingTheChipOrState) {
  build();
  configure({{257, 1}});
  frontEnd->commit(status);
  windows.clearLog();
  using tSlot = void (tAIScanningFrontEndPrimitive::*)(tStatus2&);
  const std::pair<tSlot, unsigned> slots[] = {{&tAIScanningFrontEndPrimitive::reserved9, 63},
                                              {&tAIScanningFrontEndPrimitive::reserved10, 68},
                                              {&tAIScanningFrontEndPrimitive::reserved15, 99}};
  for (auto [slot, line] : slots) {
    SCOPED_TRACE(line);
    nQoSim::clearStatusLog();
    tStatus2 refused;
    (frontEnd->*slot)(refused);
    EXPECT_EQ(refused.code, -50256);
    EXPECT_TRUE(loggedAt(-50256, "source/qomiop/ai/tBaseAIScanningFrontEndPrimitive", line));
    EXPECT_EQ(nQoSim::statusLog().size(), 1u);
  }
  EXPECT_TRUE(windows.log().empty());
  EXPECT_EQ(frontEnd->state().getState(), 2u);
  EXPECT_EQ(status.code, 0);
}

}  // namespace
}  // namespace nQoTest
