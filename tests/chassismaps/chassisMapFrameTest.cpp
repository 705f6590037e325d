// What every chassis map shares: its three forms, what destruction gives back,
// a map that could not be set up, its locks, and the bus window's traps.
#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

#include "chassisMapFixture.h"

namespace nQoTest {
namespace {

TEST_F(tChassisMapTest, DeviceFormsUnmapThenReleaseTheBusAndTheBusFormNeither) {
  nQoSim::setDeviceTree(&tree);
  {
    tMorro2Cartridge slot(0u, 7, 8, window, &status);
    ASSERT_EQ(status.code, 0);
    slot.CYA.flush(&status, 0);
    EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x0FC, 0)}));
  }
  { tMorro2DmaAdaptor adaptor(0u, window, &status); }
  { tMorro2 map(&bus, handle, &status); }
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(bus.calls(), (std::vector<tCall>{{tCall::kMapWindow, 7, 8, window, 0},
                                             {tCall::kUnmapWindow, 0, 0, handle, 0},
                                             {tCall::kReleaseBus, 0, 0, 0, 0},
                                             {tCall::kMapWindow, 0, 0, window, 0},
                                             {tCall::kUnmapWindow, 0, 0, handle, 0},
                                             {tCall::kReleaseBus, 0, 0, 0, 0}}));
  EXPECT_EQ(device.busesTaken(), 2u);
}

TEST_F(tChassisMapTest, FlushBusUnderAnErrorMakesNoBusCall) {
  tMorro2 map(&bus, handle, &status);
  ASSERT_EQ(status.code, 0);
  bus.clearCalls();
  nQoMDBG100::tStatus2 failed(-50003);
  EXPECT_EQ(map.flushBus(&failed), 0);
  EXPECT_TRUE(bus.calls().empty());
  map.flushBus(&status);
  EXPECT_EQ(bus.calls(), (std::vector<tCall>{{tCall::kFlush, 0, 0, 0, 0}}));
}

TEST_F(tChassisMapTest, AMissingTreeDeviceOrBusIsReportedAtTheFormsLine) {
  {
    tMorro2Cartridge slot(0u, 0, 0, window, &status);
    EXPECT_EQ(lastReport(), "-50002 qoudrk tMorro2Cartridge 331");
    nQoMDBG100::tStatus2 fresh;
    slot.CYA.flush(&fresh, 1);
    EXPECT_EQ(lastReport(), "-50002 qoudrk tMorro2Cartridge 90");
  }
  EXPECT_EQ(reportOf([&](auto* s) { tMorro2Cartridge slot(nullptr, handle, s); }),
            "-50002 qoudrk tMorro2Cartridge 280");
  nQoSim::setDeviceTree(&tree);
  EXPECT_EQ(reportOf([&](auto* s) { tMorro2 map(5u, window, s); }), "-50002 qoudrk tMorro2 130");
  tree.setUnknownDeviceCode(-50400);
  nQoMDBG100::tStatus2 unknown;
  { tMorro2DmaAdaptor adaptor(9u, 1, 2, window, &unknown); }
  EXPECT_EQ(unknown.code, -50400);

  nQoSim::tSimDevice busless{nullptr};
  nQoSim::tSimDeviceTable buslessTree{{&busless}};
  nQoSim::setDeviceTree(&buslessTree);
  EXPECT_EQ(reportOf([&](auto* s) { tMorro2Cartridge slot(0u, 1, 2, 3, s); }),
            "-50002 qoudrk tMorro2Cartridge 333");
  EXPECT_EQ(reportOf([&](auto* s) { tMorro2Cartridge slot(0u, 3, s); }),
            "-50002 qoudrk tMorro2Cartridge 302");
  EXPECT_TRUE(bus.calls().empty());
  EXPECT_TRUE(windows.log().empty());
}

TEST_F(tChassisMapTest, AFailedMappingIsNeverUnmappedButTheBusIsGivenBack) {
  nQoSim::setDeviceTree(&tree);
  bus.failMapWindow(-50300);
  {
    tMorro2Cartridge slot(0u, 0, 0, window, &status);
    EXPECT_EQ(status.code, -50300);
    nQoMDBG100::tStatus2 fresh;
    slot.CcPins[0].flush(&fresh, 1);
    EXPECT_EQ(fresh.code, -50002);
  }
  bus.failMapWindow(0);  // no handle and no code
  status.clear();
  { tMorro2Cartridge slot(0u, window, &status); }
  EXPECT_EQ(lastReport(), "-50002 qoudrk tMorro2Cartridge 304");
  EXPECT_EQ(bus.calls(), (std::vector<tCall>{{tCall::kMapWindow, 0, 0, window, 0},
                                             {tCall::kReleaseBus, 0, 0, 0, 0},
                                             {tCall::kMapWindow, 0, 0, window, 0},
                                             {tCall::kReleaseBus, 0, 0, 0, 0}}));
  EXPECT_TRUE(windows.log().empty());
}

TEST_F(tChassisMapTest, AMapNeverSetUpRefusesEveryRegisterOperation) {
  tMorro2Cartridge slot(nullptr, handle, &status);
  tMorro map(nullptr, handle, nullptr);
  const std::vector<std::function<void(nQoMDBG100::tStatus2*)>> operations{
      [&](auto* s) { slot.CYA.flush(s, 1); },
      [&](auto* s) { EXPECT_EQ(slot.CYA.getField(1, s), 0xFFFFFFFFu); },
      [&](auto* s) { slot.InterruptEnable.writeField(1, 1, s, 0); },
      [&](auto* s) { slot.InterruptEnable.writeRegister(1, s); },
      [&](auto* s) { EXPECT_EQ(slot.TimerStatus.readField(1, s), 0xFFFFFFFFu); },
      [&](auto* s) { EXPECT_EQ(slot.TimerStatus.refresh(s), 0xFFFFFFFFu); },
      [&](auto* s) { EXPECT_EQ(slot.CcPins[1].readField(1, s), 0xFFFFFFFFu); },
      [&](auto* s) { slot.markAllDirty(s); },
      [&](auto* s) { slot.initializeRegisters(s); },
      [&](auto* s) { EXPECT_EQ(map.softCopy(3, s), 0xFFFFFFFFu); },
  };
  for (std::size_t i = 0; i < operations.size(); ++i) {
    nQoMDBG100::tStatus2 fresh;
    operations[i](&fresh);
    EXPECT_EQ(fresh.code, -50002) << "operation " << i;
  }
  EXPECT_TRUE(windows.log().empty());
}

TEST_F(tChassisMapTest, LocksTakeAscendingGiveBackDescendingAndCloseFromTheLast) {
  std::vector<const iSync*> expected;
  {
    tMorro map(&bus, handle, &status);
    for (const auto& record : nQoSim::syncLog()) EXPECT_EQ(record.param.kind, 1u);
    EXPECT_EQ(map.RIVORouting.getLock(), map.lock(3));
    nQoSim::clearSyncLog();
    tMorro::tLockSelection held = map.acquireLocks({1, 3}, 0, &status);
    nQoMDBG100::tStatus2 failedStatus(-1);
    map.releaseLocks(held, &failedStatus);
    tMorro::tLockSelection selection{7, 2, 0, 1};
    held = map.acquireLocks(selection, 0, &failedStatus);
    EXPECT_EQ(held.bits, 1u << 2);
    map.releaseLocks(held, &status);
    EXPECT_EQ(lockOrder(map), (std::vector<int>{1, 3, -3, -1, 2, -2}));
    EXPECT_EQ(status.code, 0);
    for (uint32_t id = 3; id >= 1; --id) expected.push_back(map.lock(id)->lock());
    nQoSim::clearSyncLog();
  }
  EXPECT_EQ(closedObjects(), expected);
}

TEST_F(tChassisMapTest, ALockThatCouldNotBeOpenedIsReportedAndNeverTaken) {
  nQoSim::failSyncOpen(2);
  {
    tMorro map(&bus, handle, &status);
    EXPECT_EQ(lastReport(), "-50352 qoudrk tMorro 91");
    nQoSim::clearSyncLog();
    nQoMDBG100::tStatus2 fresh;
    const tMorro::tLockSelection held = map.acquireLocks({1, 2, 3}, 0, &fresh);
    EXPECT_EQ(lastReport(), "-50352 qoudrk tMorro 92");
    EXPECT_EQ(held.bits, (1u << 1) | (1u << 3));
    map.releaseLocks(held, &fresh);
    EXPECT_EQ(lockOrder(map), (std::vector<int>{1, 3, -3, -1}));
  }
  EXPECT_EQ(nQoSim::liveSyncObjects(), 0);
}

TEST_F(tChassisMapTest, TwoThreadsBracketingRoutingWritesNeverInterleave) {
  tMorro map(&bus, handle, &status);
  windows.clearLog();
  auto writer = [&map](uint32_t value) {
    nQoMDBG100::tStatus2 own;
    for (int pass = 0; pass < 200; ++pass) {
      const tMorro::tLockSelection held = map.acquireLocks({3}, 0, &own);
      map.RIVORouting.writeField(1, value, &own, 1);
      std::this_thread::yield();
      map.OversampleRouting.writeField(1, value, &own, 1);
      map.releaseLocks(held, &own);
    }
  };
  std::thread first(writer, 1);
  std::thread second(writer, 2);
  first.join();
  second.join();
  const auto log = windows.log();
  ASSERT_EQ(log.size(), 800u);
  for (std::size_t i = 0; i < log.size(); i += 2) {
    EXPECT_EQ(log[i].offset, 0x5Cu);
    EXPECT_EQ(log[i + 1].offset, 0x68u);
    EXPECT_EQ(log[i].value, log[i + 1].value);
  }
}

using tChassisMapDeathTest = tChassisMapTest;

TEST_F(tChassisMapDeathTest, BusAccessesOutsideAMappedWindowTrap) {
  EXPECT_DEATH(bus.write32(window, 0, 1, 0x40000000, nullptr), "unknown window");
  EXPECT_DEATH(bus.read32(handle, 0x804, 0xC0000000, nullptr), "outside its window");
  uint32_t never = handle;
  EXPECT_DEATH(bus.unmapWindow(&never), "did not map");
}

}  // namespace
}  // namespace nQoTest
