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

class tTavikHelperTest : public tTavikMapTest {
 protected:
  static tAccess w16(uint32_t offset, uint32_t value) { return written(offset, 16, value); }
  static tAccess w32(uint32_t offset, uint32_t value) { return written(offset, 32, value); }
  static tAccess w8(uint32_t offset, uint32_t value) { return written(offset, 8, value); }
  static tAccess marker(W::tDirection kind) { return {~0u, 0, 0, 0, kind}; }
  void cleanAll() {
    for (uint32_t index = 0; index < 174; ++index) map->markClean(index, &status);
  }

  const tAccess begin = marker(W::kAtomicBegin);
  const tAccess end = marker(W::kAtomicEnd);
  const tAccess busFlush = marker(W::kMarker);
};

TEST_F(tTavikHelperTest, AoArmPulsesAndPollsOnlyWithWaitAndPulseAndGivesUpAfterItsTimeOut) {
  tTavikHelper helper(map);
  map->AO_Command_1.setRegister(0x1002, &status);
  const std::vector<tAccess> arm{begin, w16(0x112, 0x1542), end};
  helper.aoArm(0, 1, &status);
  EXPECT_EQ(windows.log(), arm);
  EXPECT_EQ(map->AO_Command_1.getRegister(), 0x1002);
  windows.clearLog();
  helper.aoArm(1, 0, &status);
  EXPECT_EQ(windows.log(), arm);

  windows.clearLog();
  windows.queueReads(window, 0x13A, {0x0020, 0x0020, 0x0000});
  helper.aoArm(1, 1, &status);
  std::vector<tAccess> expected{w16(0x18C, 0x0004), w16(0x18C, 0x0000), read(0x13A, 16, 0x20),
                                read(0x13A, 16, 0x20), read(0x13A, 16, 0)};
  expected.insert(expected.end(), arm.begin(), arm.end());
  EXPECT_EQ(windows.log(), expected);
  EXPECT_EQ(status.code, 0);

  nQoSim::useTestClock(1'000'000'000);
  windows.setReadCallback(window, 0x13A, [](unsigned) {
    nQoSim::advanceClock(1'000'000);
    return 0x0020u;
  });
  windows.clearLog();
  bus.clearCalls();
  helper.aoArm(1, 1, &status);
  nQoSim::resetTime();
  EXPECT_EQ(status.code, -50400);
  EXPECT_EQ(lastReport(), "-50400 qoudrk qomiorlp/tavik/tTavikHelper 599");
  EXPECT_EQ(windows.writes().size(), 2u);  // the pulse only
  EXPECT_TRUE(bus.calls().empty());
}

TEST_F(tTavikHelperTest, StopAndConvertStrobeRunAtomicallyAndGoToTheBusUnderAnError) {
  tTavikHelper helper(map);
  map->AO_Command_1.setRegister(0x0002, &status);
  helper.aoStop(&status);
  helper.aiStrobeConvertSync(&status);
  helper.aiStrobeStart(&status);
  helper.aiStrobeStart1(&status);
  helper.aiStrobeCommand1Bit2(&status);
  EXPECT_EQ(windows.log(),
            (std::vector<tAccess>{begin, w16(0x190, 32), w16(0x112, 0x2002), w16(0x190, 512), end,
                                  begin, w16(0x110, 1), end, w16(0x108, 4), w16(0x108, 1),
                                  w16(0x110, 4)}));
  EXPECT_EQ(map->AO_Command_1.getRegister(), 0x0002);
  EXPECT_EQ(map->AI_Command_1.getRegister(), 0);

  windows.clearLog();
  bus.clearCalls();
  nQoMDBG100::tStatus2 failed(-7);
  helper.aoStop(&failed);
  helper.aiStrobeConvertSync(&failed);
  helper.aoArm(1, 1, &failed);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{begin, end, begin, end, begin, end}));
  EXPECT_EQ(bus.calls().size(), 3u);
  EXPECT_EQ(failed.code, -7);
}

TEST_F(tTavikHelperTest, AiResetClearsTheEnableAtomicallyAndKeepsItsOrder) {
  tTavikHelper helper(map);
  map->Interrupt_A_Enable.setRegister(0x0141, &status);
  map->markClean(0, &status);  // tAI_Command_1, at 0
  helper.aiReset(&status);
  EXPECT_EQ(windows.log(),
            (std::vector<tAccess>{w16(0x190, 1), w16(0x190, 16), begin, w16(0x192, 0x0140), end,
                                  w16(0x104, 128), w16(0x104, 256), w16(0x104, 512),
                                  w16(0x104, 1024), w16(0x104, 2048), w16(0x104, 4096),
                                  w16(0x104, 8192), w16(0x108, 0), w16(0x118, 0x000C),
                                  w16(0x11A, 0), w16(0x1AE, 0), w16(0x178, 0), w16(0x19A, 0),
                                  w16(0x17C, 0), w16(0x17E, 0), w16(0x190, 256)}));
  EXPECT_EQ(status.code, 0);
}

TEST_F(tTavikHelperTest, CounterConfigurationsAndLoadsFollowTheirRows) {
  struct tRow {
    void (tTavikHelper::*configure)(uint32_t, uint32_t, uint32_t, uint32_t,
                                    nQoMDBG100::tStatus2*);
    void (tTavikHelper::*load)(uint32_t, nQoMDBG100::tStatus2*);
    uint32_t first, second, select, command, mode, configured;
  };
  const tRow rows[] = {
      {&tTavikHelper::aiConfigureCounterA, &tTavikHelper::aiLoadCounterA, 0x12C, 0x130, 0x200,
       0x800, 1, 0x100},
      {&tTavikHelper::aiConfigureCounterB, &tTavikHelper::aiLoadCounterB, 0x11C, 0x120, 0x080,
       0x200, 5, 0x050},
      {&tTavikHelper::aiConfigureCounterC, &tTavikHelper::aiLoadCounterC, 0x124, 0x128, 0x004,
       0x020, 1, 0x002},
  };
  tTavikHelper helper(map);
  for (const tRow& row : rows) {
    SCOPED_TRACE(row.first);
    map->AI_Mode_2.setRegister(0, &status);
    cleanAll();
    windows.clearLog();
    (helper.*row.configure)(100, 200, 1, row.mode, &status);
    EXPECT_EQ(windows.log(),
              (std::vector<tAccess>{w16(0x190, 16), w32(row.first, 100), w32(row.second, 200),
                                    w16(0x11A, row.select), busFlush, w16(0x110, row.command),
                                    busFlush, w16(0x11A, row.configured), w16(0x190, 256)}));
    windows.clearLog();
    (helper.*row.load)(7, &status);
    EXPECT_EQ(windows.log(),
              (std::vector<tAccess>{w16(0x190, 16), w32(row.first, 7), busFlush,
                                    w16(0x110, row.command), busFlush, w16(0x190, 256)}));
    EXPECT_EQ(map->AI_Mode_2.getRegister(), 0);
    EXPECT_EQ(map->isDirty(2, &status), 1u);
  }
  helper.aiConfigureCounterA(100, 200, 0, 0, &status);
  EXPECT_EQ(map->AI_Mode_2.getRegister(), 0x0200);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tTavikHelperTest, AoConfigureTimingLoadsItsCountsAroundTheCommand) {
  tTavikHelper helper(map);
  helper.aoConfigureTiming(3, 1, 5, 1, 3, 1, 5, &status);
  EXPECT_EQ(windows.log(),
            (std::vector<tAccess>{w16(0x190, 32), w16(0x10A, 0x0800), w16(0x14C, 0x1958),
                                  w16(0x14E, 0), w32(0x150, 4), w16(0x112, 0x0200),
                                  w32(0x150, 2), w32(0x154, 4), w16(0x190, 512)}));
}

// A register bus that counts the lock operations made before each write of
// tJoint_Reset and passes every access on to the windows.
class tStrobeProbe : public nQoSim::iRegisterBus {
 public:
  tStrobeProbe(W& windows, uintptr_t strobe) : _windows(windows), _strobe(strobe) {
    nQoSim::setRegisterBus(this);
  }
  ~tStrobeProbe() override { nQoSim::setRegisterBus(&_windows); }
  bool read(uintptr_t address, unsigned width, uint32_t& value) override {
    return _windows.read(address, width, value);
  }
  bool write(uintptr_t address, unsigned width, uint32_t value) override {
    if (address == _strobe) locksBefore.push_back(nQoSim::syncLog().size());
    return _windows.write(address, width, value);
  }
  std::vector<size_t> locksBefore;

 private:
  W& _windows;
  uintptr_t _strobe;
};

TEST_F(tTavikHelperTest, AoResetRunsInsideGroupThreesLockInItsOrder) {
  tTavikHelper helper(map);
  map->Interrupt_B_Enable.setRegister(0x0741, &status);
  tStrobeProbe probe(windows, windows.base(window) + 0x190);
  helper.aoReset(&status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{3, -3}));
  EXPECT_EQ(probe.locksBefore, (std::vector<size_t>{0, 1, 2}));  // 32, 2, 512

  std::vector<tAccess> expected{w16(0x190, 32), w16(0x190, 2), w16(0x112, 0x2000)};
  for (uint32_t offset : {0x19C, 0x112, 0x10A, 0x14C, 0x14E, 0x1AC, 0x18C, 0x184, 0x186})
    expected.push_back(w16(offset, 0));
  expected.insert(expected.end(), {begin, w16(0x196, 0x0600), end, w16(0x19C, 0x0010)});
  for (uint32_t ack : {8, 16, 128, 256, 512, 1024, 2048, 4096, 8192})
    expected.push_back(w16(0x106, ack));
  for (uint32_t offset = 0xC2; offset <= 0xFE; offset += 4) expected.push_back(w8(offset, 0));
  for (uint32_t offset = 0xC3; offset <= 0xCF; offset += 4) expected.push_back(w8(offset, 0));
  expected.insert(expected.end(), {w8(0xA0, 0), w8(0xA1, 1), w8(0xA1, 2), w8(0xA1, 4),
                                   w8(0xA1, 8), w16(0x190, 512)});
  EXPECT_EQ(windows.log(), expected);
}

TEST_F(tTavikHelperTest, AoResetGivesTheLockBackWhenAStepFails) {
  tTavikHelper helper(map);
  bus.failNext(tSimBus::tCall::kAtomic, -50123);
  helper.aoReset(&status);
  EXPECT_EQ(status.code, -50123);
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{3, -3}));
  EXPECT_EQ(windows.log().back(), w16(0x186, 0));

  // An element placed outside the map is refused before its write.
  map->Array_00C3[1].place(0xC7, 174);
  nQoSim::clearSyncLog();
  windows.clearLog();
  nQoMDBG100::tStatus2 element;
  helper.aoReset(&element);
  EXPECT_EQ(element.code, -50003);
  EXPECT_EQ(lastReport(), "-50003 qoudrk qomiorlp/tavik/tTavik 277");
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{3, -3}));
  EXPECT_EQ(windows.log().back(), w8(0xC3, 0));
}

}  // namespace
}  // namespace nQoTest
