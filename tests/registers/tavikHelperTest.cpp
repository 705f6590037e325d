// The Tavik command sequences: their register order, the atomic runs, the AO
// lock group and what a failed step leaves behind.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "registers/tTavikHelper.h"
#include "sim/simKal.h"
#include "sim/simSync.h"
#include "sim/simTime.h"
#include "tavikFixture.h"

namespace nQoTest {
namespace {

using nQoSim::tSimBus;
using nQoUdRLP100::tTavikHelper;
using W = tSimRegisterWindows;
using tLog = std::vector<tAccess>;

class tTavikHelperTest : public tTavikMapTest {
 protected:
  static tAccess w(uint32_t offset, uint32_t value, unsigned width = 16) {
    return written(offset, width, value);
  }

  const tAccess begin{~0u, 0, 0, 0, W::kAtomicBegin};
  const tAccess end{~0u, 0, 0, 0, W::kAtomicEnd};
  const tAccess busFlush{~0u, 0, 0, 0, W::kMarker};
  tTavikHelper helper{nullptr};
  void SetUp() override {
    tTavikMapTest::SetUp();
    helper = tTavikHelper(map);
  }
};

TEST_F(tTavikHelperTest, AoArmPulsesAndPollsOnlyWithWaitAndPulseAndGivesUpAfterItsTimeOut) {
  map->AO_Command_1.setRegister(0x1002, &status);
  helper.aoArm(0, 1, &status);
  helper.aoArm(1, 0, &status);
  EXPECT_EQ(windows.log(), (tLog{begin, w(0x112, 0x1542), end, begin, w(0x112, 0x1542), end}));
  EXPECT_EQ(map->AO_Command_1.getRegister(), 0x1002);

  windows.clearLog();
  windows.queueReads(window, 0x13A, {0x0020, 0x0020, 0x0000});
  helper.aoArm(1, 1, &status);
  EXPECT_EQ(windows.log(),
            (tLog{w(0x18C, 4), w(0x18C, 0), read(0x13A, 16, 0x20), read(0x13A, 16, 0x20),
                  read(0x13A, 16, 0), begin, w(0x112, 0x1542), end}));

  nQoSim::useTestClock(1'000'000'000);
  windows.setReadCallback(window, 0x13A, [](unsigned) {
    nQoSim::advanceClock(1'000'000);
    return 0x0020u;
  });
  windows.clearLog();
  bus.clearCalls();
  helper.aoArm(1, 1, &status);
  nQoSim::resetTime();
  EXPECT_EQ(lastReport(), "-50400 qoudrk qomiorlp/tavik/tTavikHelper 599");
  EXPECT_EQ(windows.writes().size(), 2u);  // the pulse only
  EXPECT_TRUE(bus.calls().empty());
}

TEST_F(tTavikHelperTest, StopAndStrobesKeepTheirOrderAndAtomicRunsGoToTheBusUnderAnError) {
  map->AO_Command_1.setRegister(0x0002, &status);
  helper.aoStop(&status);
  helper.aiStrobeConvertSync(&status);
  helper.aiStrobeStart(&status);
  EXPECT_EQ(windows.log(), (tLog{begin, w(0x190, 32), w(0x112, 0x2002), w(0x190, 512), end, begin,
                                 w(0x110, 1), end, w(0x108, 4)}));
  EXPECT_EQ(map->AO_Command_1.getRegister(), 0x0002);

  windows.clearLog();
  bus.clearCalls();
  nQoMDBG100::tStatus2 failed(-7);
  helper.aoStop(&failed);
  helper.aiStrobeConvertSync(&failed);
  helper.aoArm(1, 1, &failed);
  EXPECT_EQ(windows.log(), (tLog{begin, end, begin, end, begin, end}));
  EXPECT_EQ(bus.calls().size(), 3u);
  EXPECT_EQ(failed.code, -7);
}

TEST_F(tTavikHelperTest, AiResetClearsTheEnableAtomicallyAndKeepsItsOrder) {
  map->Interrupt_A_Enable.setRegister(0x0141, &status);
  map->markClean(0, &status);  // tAI_Command_1, at 0
  helper.aiReset(&status);
  tLog expected{w(0x190, 1), w(0x190, 16), begin, w(0x192, 0x0140), end};
  for (uint32_t ack = 128; ack <= 8192; ack *= 2) expected.push_back(w(0x104, ack));
  expected.insert(expected.end(), {w(0x108, 0), w(0x118, 0x000C)});
  for (uint32_t offset : {0x11A, 0x1AE, 0x178, 0x19A, 0x17C, 0x17E})
    expected.push_back(w(offset, 0));
  expected.push_back(w(0x190, 256));
  EXPECT_EQ(windows.log(), expected);
}

TEST_F(tTavikHelperTest, CounterConfigurationsAndLoadsFollowTheirRows) {
  using tConfigure =
      void (tTavikHelper::*)(uint32_t, uint32_t, uint32_t, uint32_t, nQoMDBG100::tStatus2*);
  using tLoad = void (tTavikHelper::*)(uint32_t, nQoMDBG100::tStatus2*);
  struct {
    tConfigure configure;
    tLoad load;
    uint32_t first, second, select, command, mode, configured;
  } const rows[] = {
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
    (helper.*row.configure)(100, 200, 1, row.mode, &status);
    EXPECT_EQ(windows.log(), (tLog{w(0x190, 16), w(row.first, 100, 32), w(row.second, 200, 32),
                                   w(0x11A, row.select), busFlush, w(0x110, row.command), busFlush,
                                   w(0x11A, row.configured), w(0x190, 256)}));
    windows.clearLog();
    (helper.*row.load)(7, &status);
    EXPECT_EQ(windows.log(), (tLog{w(0x190, 16), w(row.first, 7, 32), busFlush,
                                   w(0x110, row.command), busFlush, w(0x190, 256)}));
    EXPECT_EQ(map->isDirty(2, &status), 1u);  // mode bits cleared for the next flush
  }
  helper.aiConfigureCounterA(100, 200, 0, 0, &status);
  EXPECT_EQ(map->AI_Mode_2.getRegister(), 0x0200);
}

TEST_F(tTavikHelperTest, AoConfigureTimingLoadsItsCountsAroundTheCommand) {
  helper.aoConfigureTiming(3, 1, 5, 1, 3, 1, 5, &status);
  EXPECT_EQ(windows.log(),
            (tLog{w(0x190, 32), w(0x10A, 0x0800), w(0x14C, 0x1958), w(0x14E, 0), w(0x150, 4, 32),
                  w(0x112, 0x0200), w(0x150, 2, 32), w(0x154, 4, 32), w(0x190, 512)}));
}

// Passes every access on to the windows and counts the lock operations made
// before each write of tJoint_Reset.
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

  tLog expected{w(0x190, 32), w(0x190, 2), w(0x112, 0x2000)};
  for (uint32_t offset : {0x19C, 0x112, 0x10A, 0x14C, 0x14E, 0x1AC, 0x18C, 0x184, 0x186})
    expected.push_back(w(offset, 0));
  expected.insert(expected.end(), {begin, w(0x196, 0x0600), end, w(0x19C, 0x0010)});
  for (uint32_t ack : {8, 16, 128, 256, 512, 1024, 2048, 4096, 8192})
    expected.push_back(w(0x106, ack));
  for (uint32_t offset = 0xC2; offset <= 0xFE; offset += 4) expected.push_back(w(offset, 0, 8));
  for (uint32_t offset = 0xC3; offset <= 0xCF; offset += 4) expected.push_back(w(offset, 0, 8));
  for (uint32_t value : {0, 1, 2, 4, 8}) expected.push_back(w(value == 0 ? 0xA0 : 0xA1, value, 8));
  expected.push_back(w(0x190, 512));
  EXPECT_EQ(windows.log(), expected);
}

TEST_F(tTavikHelperTest, AoResetGivesTheLockBackWhenAStepFails) {
  bus.failNext(tSimBus::tCall::kAtomic, -50123);
  helper.aoReset(&status);
  EXPECT_EQ(status.code, -50123);
  EXPECT_EQ(windows.log().back(), w(0x186, 0));

  // An element placed outside the map is refused before its write.
  map->Array_00C3[1].place(0xC7, 174);
  windows.clearLog();
  nQoMDBG100::tStatus2 element;
  helper.aoReset(&element);
  EXPECT_EQ(lastReport(), "-50003 qoudrk qomiorlp/tavik/tTavik 277");
  EXPECT_EQ(windows.log().back(), w(0xC3, 0, 8));
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{3, -3, 3, -3}));
}

}  // namespace
}  // namespace nQoTest
