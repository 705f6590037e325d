// What every chassis map shares: the three ways to build it, what destruction
// gives back and in which order, and a map that could not be opened, which
// refuses every register operation and writes nothing.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "chassis/maps/tMorro.h"
#include "chassis/maps/tMorro2.h"
#include "chassis/maps/tMorro2Cartridge.h"
#include "chassis/maps/tMorro2DmaAdaptor.h"
#include "chassisMapFixture.h"

namespace nQoTest {
namespace {

using nQoUdRLP100::tMorro;
using nQoUdRLP100::tMorro2;
using nQoUdRLP100::tMorro2Cartridge;
using nQoUdRLP100::tMorro2DmaAdaptor;

TEST_F(tChassisMapTest, DeviceFormsMapTheWindowAndGiveItBackInOrder) {
  nQoSim::setDeviceTree(&tree);
  {
    tMorro2Cartridge slot(0u, 7, 8, window, &status);
    ASSERT_EQ(status.code, 0);
    EXPECT_EQ(slot.space().window(), handle);
    EXPECT_EQ(slot.space().attached(), 1u);
    slot.CYA.flush(&status, 0);
    EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x0FC, 0)}));
  }
  {
    tMorro2DmaAdaptor adaptor(0u, window, &status);
    ASSERT_EQ(status.code, 0);
  }
  EXPECT_EQ(bus.calls(), (std::vector<tCall>{{tCall::kMapWindow, 7, 8, window, 0},
                                             {tCall::kUnmapWindow, 0, 0, handle, 0},
                                             {tCall::kReleaseBus, 0, 0, 0, 0},
                                             {tCall::kMapWindow, 0, 0, window, 0},
                                             {tCall::kUnmapWindow, 0, 0, handle, 0},
                                             {tCall::kReleaseBus, 0, 0, 0, 0}}));
  EXPECT_EQ(tree.lookups(), (std::vector<uint32_t>{0, 0}));
  EXPECT_EQ(bus.liveMappings(), 0);
  EXPECT_EQ(device.busesTaken(), 2u);
}

TEST_F(tChassisMapTest, BusFormNeitherUnmapsNorReleases) {
  {
    tMorro2 map(&bus, handle, &status);
    ASSERT_EQ(status.code, 0);
    EXPECT_EQ(map.space().attached(), 0u);
  }
  EXPECT_TRUE(bus.calls().empty());
  EXPECT_EQ(device.busesGiven(), 0u);
}

TEST_F(tChassisMapTest, ADeviceWithoutBusIsReportedAtTheFormsLine) {
  nQoSim::tSimDevice busless{nullptr};
  nQoSim::tSimDeviceTable busless_tree{{&busless}};
  nQoSim::setDeviceTree(&busless_tree);
  {
    tMorro2Cartridge slot(0u, 1, 2, 3, &status);
    EXPECT_EQ(lastReport(), "-50002 qoudrk tMorro2Cartridge 333");
  }
  status.clear();
  {
    tMorro2Cartridge slot(0u, 3, &status);
    EXPECT_EQ(lastReport(), "-50002 qoudrk tMorro2Cartridge 302");
  }
  status.clear();
  {
    tMorro map(0u, 3, &status);
    EXPECT_EQ(lastReport(), "-50002 qoudrk tMorro 131");
  }
  EXPECT_TRUE(bus.calls().empty());
}

TEST_F(tChassisMapTest, NoTreeOrNoDeviceReportsAndLeavesAMapThatWritesNothing) {
  {
    tMorro2Cartridge slot(0u, 0, 0, window, &status);
    EXPECT_EQ(lastReport(), "-50002 qoudrk tMorro2Cartridge 331");
    nQoMDBG100::tStatus2 fresh;
    slot.CYA.flush(&fresh, 1);
    EXPECT_EQ(lastReport(), "-50002 qoudrk tMorro2Cartridge 90");
  }
  nQoSim::setDeviceTree(&tree);
  status.clear();
  {
    tMorro2 map(5u, window, &status);
    EXPECT_EQ(lastReport(), "-50002 qoudrk tMorro2 130");
  }
  // A tree that reports an unknown id keeps its own code.
  tree.setUnknownDeviceCode(-50400);
  status.clear();
  { tMorro2DmaAdaptor adaptor(9u, 1, 2, window, &status); }
  EXPECT_EQ(status.code, -50400);
  EXPECT_TRUE(windows.log().empty());
  EXPECT_TRUE(bus.calls().empty());
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
  // A mapping that answers no handle and no code is reported by the map.
  bus.failMapWindow(0);
  status.clear();
  { tMorro2Cartridge slot(0u, window, &status); }
  EXPECT_EQ(lastReport(), "-50002 qoudrk tMorro2Cartridge 304");
  EXPECT_EQ(bus.calls(), (std::vector<tCall>{{tCall::kMapWindow, 0, 0, window, 0},
                                             {tCall::kReleaseBus, 0, 0, 0, 0},
                                             {tCall::kMapWindow, 0, 0, window, 0},
                                             {tCall::kReleaseBus, 0, 0, 0, 0}}));
  EXPECT_TRUE(windows.log().empty());
}

TEST_F(tChassisMapTest, AnErrorAlreadyHeldStopsBeforeTheDeviceTree) {
  nQoSim::setDeviceTree(&tree);
  status.code = -7;
  {
    tMorro2DmaAdaptor adaptor(0u, 1, 2, window, &status);
    EXPECT_EQ(adaptor.space().bus(), nullptr);
    EXPECT_EQ(adaptor.space().device(), nullptr);
    EXPECT_EQ(adaptor.space().window(), 0u);
  }
  EXPECT_TRUE(tree.lookups().empty());
  EXPECT_TRUE(bus.calls().empty());
  EXPECT_EQ(status.code, -7);
}

TEST_F(tChassisMapTest, AMapNeverSetUpRefusesEveryRegisterOperation) {
  tMorro2Cartridge slot(nullptr, handle, &status);
  EXPECT_EQ(lastReport(), "-50002 qoudrk tMorro2Cartridge 280");
  tMorro map(nullptr, handle, nullptr);
  const std::vector<std::function<void(nQoMDBG100::tStatus2*)>> operations{
      [&](auto* s) { slot.CYA.flush(s, 1); },
      [&](auto* s) { slot.CYA.setField(1, 1, s); },
      [&](auto* s) { slot.CYA.writeField(1, 1, s, 1); },
      [&](auto* s) { EXPECT_EQ(slot.CYA.getField(1, s), 0xFFFFFFFFu); },
      [&](auto* s) { slot.CYA.setRegister(3, s); },
      [&](auto* s) { slot.HsiOutputLength.setHsiOutputLengthBf(5, s); },
      [&](auto* s) { slot.InterruptEnable.writeField(1, 1, s, 0); },
      [&](auto* s) { slot.InterruptEnable.writeRegister(1, s); },
      [&](auto* s) { EXPECT_EQ(slot.TimerStatus.readField(1, s), 0xFFFFFFFFu); },
      [&](auto* s) { EXPECT_EQ(slot.TimerStatus.refresh(s), 0xFFFFFFFFu); },
      [&](auto* s) { slot.TimerStatus.setField(1, 1, s); },
      [&](auto* s) { EXPECT_EQ(slot.CcPins[1].readField(1, s), 0xFFFFFFFFu); },
      [&](auto* s) { slot.CcPins[1].writeField(1, 1, s, 1); },
      [&](auto* s) { slot.markAllDirty(s); },
      [&](auto* s) { slot.initializeRegisters(s); },
      [&](auto* s) { map.RIVORouting.writeField(1, 1, s, 1); },
      [&](auto* s) { EXPECT_EQ(map.softCopy(3, s), 0xFFFFFFFFu); },
  };
  for (std::size_t i = 0; i < operations.size(); ++i) {
    nQoMDBG100::tStatus2 fresh;
    operations[i](&fresh);
    EXPECT_EQ(fresh.code, -50002) << "operation " << i;
  }
  EXPECT_EQ(slot.TimerStatus.getField(0, nullptr), 0xFFFFFFFFu);
  EXPECT_TRUE(windows.log().empty());
}

}  // namespace
}  // namespace nQoTest
