// The clock, trigger and calibration blocks on the real map: PWM words,
// frequency output, analog trigger, PLL lock wait and line filters, with the
// exact register writes, lock groups and codes.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "primitives/aoFixture.h"
#include "primitives/calibration/iTEDSCommunicator.h"
#include "primitives/calibration/pwmPrimitives.h"
#include "primitives/calibration/tTavikAnalogTriggerPrimitive.h"
#include "primitives/calibration/tTavikFREQOUTPrimitive.h"
#include "primitives/calibration/tTavikLineFilterPrimitive.h"
#include "primitives/calibration/tTavikPLLPrimitive.h"
#include "sim/simThread.h"
#include "sim/simTime.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using namespace nQoUdP100;

class tCalibrationTest : public tAOTest {
 protected:
  void SetUp() override {
    tAOTest::SetUp();
    // A clean map: the chip holds every soft copy.
    for (uint32_t id = 0; id < 174; ++id) map->markClean(id, &status);
    nQoSim::clearYields();
  }
  void TearDown() override {
    nQoSim::setYieldStep(0);
    tAOTest::TearDown();
  }
  // Lock groups taken, in order, since the sync log was cleared.
  std::vector<int> locks() { return lockOrder(*map); }
};

TEST_F(tCalibrationTest, PWMWordsAreWrittenOnceAndOnlyWhenTheyChange) {
  tTavikGeneralPWMPrimitive general(map, 2, status);
  general.setPWM(0x12345, status);
  general.setPWM(0x12345, status);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x48, 0x2345)}));
  clearLogs();
  tTavikCalibrationPWMPrimitive calibration(map);
  iReferenceVoltagePrimitive& reference = calibration;
  reference.setReferenceValue(0x80004000, status);
  calibration.setPWM(0x80004000, status);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x40, 0x80004000, 32)}));
  EXPECT_EQ(status.code, 0);

  tStatus2 bad;
  tTavikGeneralPWMPrimitive eighth(map, 7, bad);
  EXPECT_EQ(bad.code, -50003);
  tStatus2 again;
  eighth.setPWM(1, again);
  EXPECT_EQ(again.code, -50003);
  EXPECT_EQ(windows.writes().size(), 1u);
}

TEST_F(tCalibrationTest, TheFrequencyOutputProgramsOnCommitAndTouchesOnlyTheEnableBitAfter) {
  tTavikFREQOUTPrimitive fout(map, nullptr);
  fout.setDivider(17, status);
  EXPECT_EQ(fout.setTimebase(1, status), 0);
  EXPECT_TRUE(windows.writes().empty());
  fout.commit(status);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x170, 0x4001)}));
  EXPECT_EQ(locks(), (std::vector<int>{11, -11}));
  clearLogs();
  fout.start(status);
  fout.stop(status);
  fout.stop(status);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x170, 0xC001), wrote(0x170, 0x4001)}));
  clearLogs();
  fout.setDivider(16, status);
  fout.setTimebase(0, status);
  fout.commit(status);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x170, 0x0000)}));
  fout.start(status);
  clearLogs();
  tStatus2 warned;
  warned.code = 200010;
  fout.reset(warned);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x170, 0x0001)}));
  EXPECT_EQ(warned.code, 200010);
  tStatus2 failed;
  failed.code = -1;
  fout.start(failed);
  EXPECT_EQ(windows.writes().size(), 1u);
}

// A divider and a timebase deployed under a running output reach it only
// through the next commit, and the record says what the board holds.
TEST_F(tCalibrationTest, ADeployUnderARunningOutputReachesItOnlyAtTheNextCommit) {
  tTavikFREQOUTPrimitive fout(map, nullptr);
  fout.setDivider(3, status);
  fout.commit(status);
  fout.start(status);
  clearLogs();
  fout.setDivider(9, status);
  fout.setTimebase(1, status);
  fout.stop(status);
  fout.start(status);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x170, 0x0003), wrote(0x170, 0x8003)}));
  EXPECT_EQ(fout.programmed().divider, 3u);
  EXPECT_EQ(fout.programmed().timebaseSelect, 0u);
  clearLogs();
  tStatus2 refused;
  refused.code = -50150;
  fout.commit(refused);
  EXPECT_TRUE(windows.writes().empty());
  EXPECT_EQ(fout.programmed().divider, 3u);
  fout.commit(status);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x170, 0xC009)}));
  EXPECT_EQ(fout.programmed().divider, 9u);
  EXPECT_EQ(fout.programmed().timebaseSelect, 1u);
  fout.reset(status);
  EXPECT_EQ(fout.programmed().divider, 1u);
  EXPECT_EQ(fout.programmed().timebaseSelect, 0u);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tCalibrationTest, AResetOnAnErrorStatusWritesNothingAndKeepsTheDividerAndTimebase) {
  tTavikFREQOUTPrimitive fout(map, nullptr);
  fout.setDivider(5, status);
  fout.setTimebase(1, status);
  tStatus2 failed;
  failed.code = -50150;
  fout.reset(failed);
  EXPECT_TRUE(windows.writes().empty());
  EXPECT_TRUE(locks().empty());
  EXPECT_EQ(failed.code, -50150);
  fout.commit(status);  // what was set before the refused reset
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x170, 0x4005)}));
  EXPECT_EQ(status.code, 0);
}

class tAnalogTriggerTest : public tCalibrationTest {
 protected:
  void SetUp() override {
    tCalibrationTest::SetUp();
    description.settlingTime = 30;
    channel0 = new tTavikGeneralPWMPrimitive(map, 0, status);
    channel1 = new tTavikGeneralPWMPrimitive(map, 1, status);
  }
  void TearDown() override {
    delete channel1;
    delete channel0;
    tCalibrationTest::TearDown();
  }
  tAITriggerDescription description;
  tTavikGeneralPWMPrimitive* channel0 = nullptr;
  tTavikGeneralPWMPrimitive* channel1 = nullptr;
};

TEST_F(tAnalogTriggerTest, CommitSetsModeSourceAndLevelsThenSettles) {
  auto* trigger = new tTavikAnalogTriggerPrimitive(channel1, channel0, description, map, status);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x8C, 0x03, 8)}));
  EXPECT_EQ(trigger->state().getState(), 1u);
  clearLogs();
  trigger->deploy({.source = 2, .mode = 3, .level1 = 0x100, .level2 = 0x80});
  const uint64_t before = nQoSim::clockNanoseconds();
  trigger->commit(status);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x8C, 0x01, 8), wrote(0x17A, 0x0004), wrote(0x46, 0x0100),
                                    wrote(0x44, 0x0080)}));
  ASSERT_EQ(nQoSim::sleepLog().size(), 1u);
  EXPECT_GE(nQoSim::clockNanoseconds() - before, 30'000u);
  EXPECT_EQ(trigger->state().getState(), 2u);
  EXPECT_EQ(locks(), (std::vector<int>{10, -10}));
  clearLogs();
  trigger->arm(status);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x17A, 0x000C), wrote(0x17A, 0x002C)}));
  EXPECT_EQ(map->Analog_Trigger_Etc.getRegister(), 0x000C);
  clearLogs();
  delete trigger;
  EXPECT_EQ(windows.writes(),
            (tLog{wrote(0x17A, 0x0004), wrote(0x8C, 0x03, 8), wrote(0x46, 0), wrote(0x44, 0)}));
  EXPECT_EQ(status.code, 0);
}

TEST_F(tAnalogTriggerTest, ATriggerBuiltOnAFailedStatusStaysInStateFive) {
  tStatus2 failed;
  failed.code = -1;
  tTavikAnalogTriggerPrimitive trigger(channel1, channel0, description, map, failed);
  EXPECT_EQ(trigger.state().getState(), 5u);
  EXPECT_TRUE(windows.writes().empty());
}

TEST_F(tAnalogTriggerTest, OddModesAndSourcesFallBackAndModeOneArmsOnlyTheEnableBit) {
  tTavikAnalogTriggerPrimitive trigger(channel1, channel0, description, map, status);
  clearLogs();
  trigger.deploy({.source = 9, .mode = 7});
  trigger.commit(status);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x8C, 0x01, 8)}));  // mode code 0 is already there
  trigger.uncommit(status);
  trigger.setParameter(2, 1);
  trigger.commit(status);
  clearLogs();
  trigger.arm(status);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x17A, 0x0009)}));
  trigger.release(status);
  EXPECT_EQ(trigger.state().getState(), 1u);
  EXPECT_EQ(map->Analog_Trigger_Etc.getRegister() & 0x8, 0);
}

// An arm that came without a commit leaves the enable bit on: the release
// idles the trigger by what it holds, not by its state alone.
TEST_F(tAnalogTriggerTest, TheReleaseIdlesATriggerArmedWithoutACommit) {
  tTavikAnalogTriggerPrimitive trigger(channel1, channel0, description, map, status);
  trigger.arm(status);
  ASSERT_EQ(map->Analog_Trigger_Etc.getRegister() & 0x8, 0x8u);
  clearLogs();
  trigger.release(status);
  EXPECT_EQ(map->Analog_Trigger_Etc.getRegister() & 0x8, 0u);
  EXPECT_EQ(windows.writes().front(), wrote(0x17A, 0x0000));
  EXPECT_EQ(trigger.state().getState(), 1u);
  EXPECT_EQ(status.code, 0);
}

// A parameter handed over after a commit moves the state back but leaves
// the chip programmed: the release idles the trigger by what its commit
// programmed, and a second release finds nothing left to idle.
TEST_F(tAnalogTriggerTest, TheReleaseIdlesACommitThatANewParameterLeftOnTheChip) {
  tTavikAnalogTriggerPrimitive trigger(channel1, channel0, description, map, status);
  trigger.setParameter(0, 0x100);
  trigger.setParameter(2, 3);
  trigger.commit(status);
  trigger.setParameter(0, 0x200);
  ASSERT_EQ(trigger.state().getState(), 1u);
  clearLogs();
  trigger.release(status);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x8C, 0x03, 8), wrote(0x46, 0)}));
  clearLogs();
  trigger.release(status);
  EXPECT_TRUE(windows.writes().empty());
  EXPECT_EQ(status.code, 0);
}

// A mode handed over after the commit reaches the chip at the next commit:
// the arm sets the armed bit by the mode its commit programmed, both ways.
TEST_F(tAnalogTriggerTest, TheArmGoesByTheModeItsCommitProgrammed) {
  tTavikAnalogTriggerPrimitive trigger(channel1, channel0, description, map, status);
  trigger.setParameter(2, 3);
  trigger.commit(status);
  trigger.setParameter(2, 2);
  clearLogs();
  trigger.arm(status);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x17A, 0x000C), wrote(0x17A, 0x002C)}));
  trigger.uncommit(status);
  trigger.commit(status);  // mode 2 now
  trigger.setParameter(2, 4);
  clearLogs();
  trigger.arm(status);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x17A, 0x000A)}));
  EXPECT_EQ(status.code, 0);
}

TEST_F(tCalibrationTest, ThePLLProgramsInOneControlWriteAndWaitsForLock) {
  tTavikPLLPrimitive pll(map);
  EXPECT_TRUE(pll.isAvailable());
  pll.deploy({.multiplier = 0x1234, .divider = 0x15, .referenceSource = 8});
  windows.queueReads(window, 0x1C8, {0, 0, 1});
  pll.commit(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x1C4, 0x007B), wrote(0x1C6, 0x7534)}));
  EXPECT_EQ(nQoSim::yieldCount(), 2u);
  EXPECT_EQ(locks(), (std::vector<int>{11, -11}));

  clearLogs();
  pll.deploy({.multiplier = 0x1234, .divider = 0x15, .referenceSource = 0});
  pll.commit(status);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x1C4, 0x001B), wrote(0x1C6, 0x6534)}));
}

TEST_F(tCalibrationTest, APLLLockedAtTheFirstReadReturnsWithoutYielding) {
  tTavikPLLPrimitive pll(map);
  pll.deploy({.referenceSource = 1});
  windows.setRead(window, 0x1C8, 16, 1);
  pll.commit(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(nQoSim::yieldCount(), 0u);
  EXPECT_EQ(windows.reads(), (tLog{read(0x1C8, 1)}));
}

TEST_F(tCalibrationTest, APLLThatNeverLocksFailsOnceTheTimeOutHasPassed) {
  tTavikPLLPrimitive pll(map);
  pll.deploy({.referenceSource = 11});  // code 11, as reference 1
  nQoSim::setYieldStep(100'000);
  const uint64_t before = nQoSim::clockNanoseconds();
  pll.commit(status);
  EXPECT_EQ(status.code, -200245);
  EXPECT_GE(nQoSim::clockNanoseconds() - before, 2'000'000u);
  EXPECT_LE(nQoSim::clockNanoseconds() - before, 2'300'000u);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x1C4, 0x006B), wrote(0x1C6, 0x7000)}));
  ASSERT_FALSE(nQoSim::statusLog().empty());
  EXPECT_EQ(nQoSim::statusLog().back().line, 119u);
}

TEST_F(tCalibrationTest, LineFiltersProgramTheLinesOfEachGroup) {
  tPCITavikLineFilterPrimitive filters({16, 8}, map, status);
  filters.setLineFilter(3, 2, 0, status);
  filters.setLineFilter(1, 1, 1, status);
  filters.setLineFilter(0, 3, 2, status);  // no such group
  filters.commit(status);
  EXPECT_EQ(windows.log(),
            (tLog{wrote(0xB0, 0x00000080, 32), wrote(0xB4, 0x00000004, 32), kBusFlush}));
  tStatus2 past;
  filters.setLineFilter(16, 1, 0, past);
  EXPECT_EQ(past.code, -50003);
  tStatus2 pastRIVO;
  filters.setLineFilter(8, 1, 1, pastRIVO);
  EXPECT_EQ(pastRIVO.code, -50003);
  clearLogs();
  filters.commit(status);
  EXPECT_EQ(windows.writes(), tLog{}) << "nothing stored, nothing changed";

  filters.setAltLineFilter(15, 1, 0, status);
  filters.applyAlt(status);
  // The second pair starts cleared: lines 3 and 1 go back to 0.
  EXPECT_EQ(windows.writes(),
            (tLog{wrote(0xB0, 0, 32), wrote(0xB0, 0x40000000, 32), wrote(0xB4, 0, 32)}));
}

TEST_F(tCalibrationTest, LineFiltersHonourTheBoardsCountsAndRefuseTooMany) {
  tPCITavikLineFilterPrimitive few({2, 1}, map, status);
  map->PFI_Filter.setRegister(0xC0, &status);
  few.setLineFilter(0, 1, 0, status);
  few.commit(status);
  EXPECT_EQ(windows.written(window, 0xB0, 32), 0xC1u) << "line 3 keeps its value";
  tStatus2 line2;
  few.setLineFilter(2, 1, 0, line2);
  EXPECT_EQ(line2.code, -50003);
  tStatus2 tooMany;
  tPCITavikLineFilterPrimitive seventeen({17, 8}, map, tooMany);
  EXPECT_EQ(tooMany.code, -50150);
  tStatus2 nine;
  tPCITavikLineFilterPrimitive rivo({16, 9}, map, nine);
  EXPECT_EQ(nine.code, -50150);
}

TEST(tTEDSCommunicator, AnswersOnlyItsOwnClass) {
  struct tCommunicator : iTEDSCommunicator {
  } communicator;
  void* other = nullptr;
  EXPECT_EQ(communicator.___CPPKRLDynamicCast(&iTEDSCommunicator::___classID), &communicator);
  EXPECT_EQ(communicator.___CPPKRLDynamicCast(&other), nullptr);
}

}  // namespace
}  // namespace nQoTest
