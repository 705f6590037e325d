// The Tavik command sequences (register order, atomic runs, the AO lock group,
// what a failed step leaves) and the register-code converters.
#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <vector>

#include "sim/simKal.h"
#include "sim/simTime.h"
#include "tavik/tTavikHelper.h"
#include "tavik/tavikCodeConverters.h"
#include "tavik/tavikFixture.h"

namespace nQoTest {
namespace {

using nQoUdRLP100::tTavikHelper;
using tLog = std::vector<tAccess>;

// On the test clock: the arm's wait gives up only when a test advances it.
class tTavikHelperTest : public tTavikMapTest {
 protected:
  void SetUp() override {
    tTavikMapTest::SetUp();
    nQoSim::resetTime();
    nQoSim::useTestClock(1'000'000'000);
    helper = tTavikHelper(map);
  }
  void TearDown() override {
    nQoSim::resetTime();
    tTavikMapTest::TearDown();
  }
  tTavikHelper helper{nullptr};
};

TEST_F(tTavikHelperTest, AoArmPulsesAndPollsOnlyWithWaitAndPulseAndGivesUpAfterItsTimeOut) {
  map->AO_Command_1.setRegister(0x1002, &status);
  helper.aoArm(0, 1, &status);
  helper.aoArm(1, 0, &status);
  EXPECT_EQ(windows.log(), (tLog{kAtomicBegin, wrote(0x112, 0x1542), kAtomicEnd, kAtomicBegin,
                                 wrote(0x112, 0x1542), kAtomicEnd}));
  EXPECT_EQ(map->AO_Command_1.getRegister(), 0x1002);
  windows.clearLog();
  windows.queueReads(window, 0x13A, {0x0020, 0x0020, 0x0000});
  helper.aoArm(1, 1, &status);
  EXPECT_EQ(windows.log(),
            (tLog{wrote(0x18C, 4), wrote(0x18C, 0), read(0x13A, 0x20), read(0x13A, 0x20),
                  read(0x13A, 0), kAtomicBegin, wrote(0x112, 0x1542), kAtomicEnd}));

  windows.setReadCallback(window, 0x13A, [](unsigned) {
    nQoSim::advanceClock(1'000'000);
    return 0x0020u;
  });
  windows.clearLog();
  helper.aoArm(1, 1, &status);
  EXPECT_EQ(lastReport(), "-50400 qoudrk qomiorlp/tavik/tTavikHelper 599");
  EXPECT_EQ(windows.writes().size(), 2u);  // the pulse only
}

TEST_F(tTavikHelperTest, StopAndStrobesKeepTheirOrderAndAtomicRunsGoToTheBusUnderAnError) {
  map->AO_Command_1.setRegister(0x0002, &status);
  helper.aoStop(&status);
  helper.aiStrobeConvertSync(&status);
  helper.aiStrobeStart(&status);
  EXPECT_EQ(windows.log(),
            (tLog{kAtomicBegin, wrote(0x190, 32), wrote(0x112, 0x2002), wrote(0x190, 512),
                  kAtomicEnd, kAtomicBegin, wrote(0x110, 1), kAtomicEnd, wrote(0x108, 4)}));
  EXPECT_EQ(map->AO_Command_1.getRegister(), 0x0002);
  windows.clearLog();
  nQoMDBG100::tStatus2 failed(-7);
  helper.aoStop(&failed);
  helper.aiStrobeConvertSync(&failed);
  EXPECT_EQ(windows.log(), (tLog{kAtomicBegin, kAtomicEnd, kAtomicBegin, kAtomicEnd}));
  EXPECT_EQ(failed.code, -7);
}

TEST_F(tTavikHelperTest, AiResetClearsTheEnableAtomicallyAndKeepsItsOrder) {
  map->Interrupt_A_Enable.setRegister(0x0141, &status);
  map->markClean(0, &status);
  helper.aiReset(&status);
  tLog expected{wrote(0x190, 1), wrote(0x190, 16), kAtomicBegin, wrote(0x192, 0x0140), kAtomicEnd};
  for (uint32_t ack = 128; ack <= 8192; ack *= 2) expected.push_back(wrote(0x104, ack));
  expected.insert(expected.end(), {wrote(0x108, 0), wrote(0x118, 0x000C)});
  for (uint32_t offset : {0x11A, 0x1AE, 0x178, 0x19A, 0x17C, 0x17E})
    expected.push_back(wrote(offset, 0));
  expected.push_back(wrote(0x190, 256));
  EXPECT_EQ(windows.log(), expected);
}

TEST_F(tTavikHelperTest, CounterConfigurationsAndLoadsFollowTheirRows) {
  using nQoUdRLP100::nTavik::kFirstLoadRegister;
  using nQoUdRLP100::nTavik::kSecondLoadRegister;
  using nQoUdRLP100::nTavik::tAI_Load_Select;
  using tConfigure =
      void (tTavikHelper::*)(uint32_t, uint32_t, tAI_Load_Select, uint32_t, nQoMDBG100::tStatus2*);
  using tLoad = void (tTavikHelper::*)(uint32_t, nQoMDBG100::tStatus2*);
  const struct {
    tConfigure configure;
    tLoad load;
    uint32_t first, second, select, command, mode, configured;
  } rows[] = {
      // clang-format off
      {&tTavikHelper::aiConfigureCounterA, &tTavikHelper::aiLoadCounterA, 0x12C, 0x130, 0x200, 0x800, 1, 0x100},
      {&tTavikHelper::aiConfigureCounterB, &tTavikHelper::aiLoadCounterB, 0x11C, 0x120, 0x080, 0x200, 5, 0x050},
      {&tTavikHelper::aiConfigureCounterC, &tTavikHelper::aiLoadCounterC, 0x124, 0x128, 0x004, 0x020, 1, 0x002},
      // clang-format on
  };
  for (const auto& row : rows) {
    map->AI_Mode_2.setRegister(0, &status);
    for (uint32_t index = 0; index < 174; ++index) map->markClean(index, &status);
    windows.clearLog();
    (helper.*row.configure)(100, 200, kSecondLoadRegister, row.mode, &status);
    EXPECT_EQ(windows.log(),
              (tLog{wrote(0x190, 16), wrote(row.first, 100, 32), wrote(row.second, 200, 32),
                    wrote(0x11A, row.select), kBusFlush, wrote(0x110, row.command), kBusFlush,
                    wrote(0x11A, row.configured), wrote(0x190, 256)}));
    windows.clearLog();
    (helper.*row.load)(7, &status);
    EXPECT_EQ(windows.log(), (tLog{wrote(0x190, 16), wrote(row.first, 7, 32), kBusFlush,
                                   wrote(0x110, row.command), kBusFlush, wrote(0x190, 256)}));
  }
  helper.aiConfigureCounterA(100, 200, kFirstLoadRegister, 0, &status);
  EXPECT_EQ(map->AI_Mode_2.getRegister(), 0x0200);
}

TEST_F(tTavikHelperTest, AoConfigureTimingLoadsItsCountsAroundTheCommand) {
  using namespace nQoUdRLP100::nTavik;
  helper.aoConfigureTiming(tAO_Timing_Select_B{3}, 1, tAO_Timing_Select_A{5}, 1, 3, 1, 5, &status);
  EXPECT_EQ(windows.log(), (tLog{wrote(0x190, 32), wrote(0x10A, 0x0800), wrote(0x14C, 0x1958),
                                 wrote(0x14E, 0), wrote(0x150, 4, 32), wrote(0x112, 0x0200),
                                 wrote(0x150, 2, 32), wrote(0x154, 4, 32), wrote(0x190, 512)}));
}

// Counts the lock operations made before each write of one register.
struct tStrobeProbe : nQoSim::iRegisterBus {
  tStrobeProbe(W& windows, uintptr_t strobe) : windows(windows), strobe(strobe) {}
  bool read(uintptr_t at, unsigned width, uint32_t& value) override {
    return windows.read(at, width, value);
  }
  bool write(uintptr_t at, unsigned width, uint32_t value) override {
    if (at == strobe) locksBefore.push_back(nQoSim::syncLog().size());
    return windows.write(at, width, value);
  }
  W& windows;
  uintptr_t strobe;
  std::vector<size_t> locksBefore;
};

TEST_F(tTavikHelperTest, AoResetRunsInsideGroupThreesLockInItsOrder) {
  map->Interrupt_B_Enable.setRegister(0x0741, &status);
  tStrobeProbe probe(windows, windows.base(window) + 0x190);
  nQoSim::setRegisterBus(&probe);
  helper.aoReset(&status);
  nQoSim::setRegisterBus(&windows);
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{3, -3}));
  EXPECT_EQ(probe.locksBefore, (std::vector<size_t>{0, 1, 2}));  // strobes 32, 2, 512

  tLog expected{wrote(0x190, 32), wrote(0x190, 2), wrote(0x112, 0x2000)};
  for (uint32_t offset : {0x19C, 0x112, 0x10A, 0x14C, 0x14E, 0x1AC, 0x18C, 0x184, 0x186})
    expected.push_back(wrote(offset, 0));
  expected.insert(expected.end(),
                  {kAtomicBegin, wrote(0x196, 0x0600), kAtomicEnd, wrote(0x19C, 0x0010)});
  for (uint32_t ack : {8, 16, 128, 256, 512, 1024, 2048, 4096, 8192})
    expected.push_back(wrote(0x106, ack));
  for (uint32_t offset = 0xC2; offset <= 0xFE; offset += 4) expected.push_back(wrote(offset, 0, 8));
  for (uint32_t offset = 0xC3; offset <= 0xCF; offset += 4) expected.push_back(wrote(offset, 0, 8));
  expected.insert(expected.end(), {kAtomicBegin, wrote(0xA0, 0, 8), kAtomicEnd});
  for (uint32_t value : {1, 2, 4, 8}) expected.push_back(wrote(0xA1, value, 8));
  expected.push_back(wrote(0x190, 512));
  EXPECT_EQ(windows.log(), expected);
}

TEST_F(tTavikHelperTest, AoResetGivesTheLockBackWhenAStepFailsAndNeverWritesAnElementBeyond173) {
  bus.failNext(tCall::kAtomic, -50123);
  helper.aoReset(&status);
  EXPECT_EQ(status.code, -50123);
  EXPECT_EQ(windows.log().back(), wrote(0x186, 0));
  ASSERT_EQ(lockOrder(*map), (std::vector<int>{3, -3}));

  map->Array_00C3[1].place(0xC7, 174);
  windows.clearLog();
  nQoMDBG100::tStatus2 element;
  helper.aoReset(&element);
  EXPECT_EQ(lastReport(), "-50003 qoudrk qomiorlp/tavik/tTavik 277");
  EXPECT_EQ(windows.log().back(), wrote(0xC3, 0, 8));
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{3, -3, 3, -3}));
}

TEST(tTavikCodeConverterTest, EveryConverterAnswersItsTableInsideItsDomainAndItsDefaultOutside) {
  using namespace nQoUdRLP100::nTavik;
  std::vector<uint32_t> values{0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
  for (uint32_t value = 0; value <= 40; ++value) values.push_back(value);
  const auto check = [&](const auto& row) {
    for (uint32_t value : values) {
      const bool inside = value >= row.first && value <= row.last;
      EXPECT_EQ(row(value), inside ? row.table[value - row.first] : row.fallback) << value;
    }
  };
  std::apply(
      [&](const auto&... row) { (check(row), ...); },
      std::tie(encodeAI_Mode_3Bit8, encodeAI_PersonalBit6, encodeAI_Mode_1Bits15_11,
               encodeAI_Mode_3Bit11, encodeAIRegister14Bits4_0, encodeAI_Mode_3Bits4_0,
               encodeAIRegister14Bits11_7, encodeAI_Mode_1Bits10_6, encodeAITimingBit12,
               encodeAI_Trigger_SelectBits4_0, encodeAI_Trigger_SelectBits11_7,
               encodeAnalog_Trigger_EtcBits2_0, encodeAnalogTriggerRegister74Bits1_0,
               encodeAOConfigBit6, encodeAOConfigBit7, encodeAOFifoMode, encodeAOTimingSelectA,
               encodeAOTimingSelectB, encodeAOTriggerSelect, encodeAO_Output_ControlBits14_10,
               encodeAOTriggerFlagA, encodeAOTimingFlagA, encodeAOTimingFlagB, encodeAOTriggerFlagB,
               encodeAO_Output_ControlBit3, encodeAOUCFlag, encodeClock_And_Fout2Bits4_0));
  // clang-format off
  const std::vector<uint32_t> codes{
      encodeAI_Mode_1Bits10_6(0), encodeAI_Mode_1Bits10_6(18), encodeAI_Mode_1Bits10_6(32),
      encodeAI_Mode_1Bits10_6(19), encodeClock_And_Fout2Bits4_0(0), encodeClock_And_Fout2Bits4_0(8),
      encodeClock_And_Fout2Bits4_0(10), encodeClock_And_Fout2Bits4_0(11),
      encodeAnalog_Trigger_EtcBits2_0(3), encodeAnalog_Trigger_EtcBits2_0(4),
      encodeAnalogTriggerRegister74Bits1_0(0), encodeAnalogTriggerRegister74Bits1_0(4),
      encodeAOTriggerSelect(18), encodeAOConfigBit6(2)};
  // clang-format on
  EXPECT_EQ(codes, (std::vector<uint32_t>{28, 28, 28, 19, 11, 27, 29, 11, 4, 6, 1, 1, 0, 1}));
}

}  // namespace
}  // namespace nQoTest
