// The Tavik map object: construction over a bus and from the device tree, the
// dirty table, markAllDirty, the constant tables, destruction.
#include <gtest/gtest.h>

#include <vector>

#include "registers/tTavik.h"
#include "sim/simDevices.h"
#include "sim/simSync.h"
#include "sim/tSimDevice.h"
#include "sim/tSimDeviceTable.h"
#include "tavikFixture.h"

namespace nQoTest {
namespace {

using nQoSim::tSimBus;
using nQoUdRLP100::nTavik::tTavik;

TEST_F(tTavikTest, ConstructionOverABusTakesTheWindowOpensTheLocksAndTouchesNoRegister) {
  {
    tTavik map(&bus, window, &status);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(bus.calls(), (std::vector<tSimBus::tCall>{{tSimBus::tCall::kWindowAddress, 4, 3,
                                                         window, 0}}));
    EXPECT_EQ(map.space().base(), windows.base(window));
    EXPECT_EQ(map.space().ownsMapping(), 0u);
    EXPECT_TRUE(windows.log().empty());

    const auto opened = nQoSim::syncLog();
    ASSERT_EQ(opened.size(), 22u);
    for (uint32_t id = 1; id <= 22; ++id) {
      EXPECT_EQ(opened[id - 1].operation, nQoSim::tSyncRecord::kOpen);
      const iSync::tParam& param = opened[id - 1].param;
      EXPECT_EQ(param.version, 1u);
      EXPECT_EQ(param.kind, 1u);
      EXPECT_EQ(param.option, 0u);
      for (uint32_t word : param.reserved) EXPECT_EQ(word, 0u);
      EXPECT_EQ(opened[id - 1].object, map.lockGroup(id)->lock());
      EXPECT_EQ(map.lockGroup(id)->id(), id);
    }
    const auto* pins = map.lockGroup(14);
    EXPECT_EQ(std::vector<uint32_t>(pins->members(), pins->members() + pins->memberCount()),
              (std::vector<uint32_t>{44, 87, 88, 89, 90, 91, 92, 95, 96}));
    EXPECT_EQ(map.lockGroup(3)->memberCount(), 12u);  // the two arrays count once each

    EXPECT_EQ(map.isDirty(0, &status), 1u);
    EXPECT_EQ(map.isDirty(1, &status), 0u);   // strobe
    EXPECT_EQ(map.isDirty(8, &status), 0u);   // read-only
    EXPECT_EQ(map.isDirty(158, &status), 1u);
    EXPECT_EQ(map.isDirty(173, &status), 1u);
    EXPECT_EQ(map.registerObject(0), nullptr);
    EXPECT_EQ(map.registerObject(173), &map.Static_AI_Control[7]);
    EXPECT_EQ(map.registerObject(0xFE0000AD), &map.Static_AI_Control[7]);
    EXPECT_EQ(map.registerObject(44), &map.IO_Bidirection_Pin);
    EXPECT_EQ(map.registerObject(174), nullptr);
    nQoSim::clearSyncLog();
    bus.clearCalls();
  }
  // Destruction closes the locks from group 22 down to group 1 and gives
  // nothing back to a bus it was handed.
  const auto closed = nQoSim::syncLog();
  ASSERT_EQ(closed.size(), 22u);
  for (const auto& record : closed) EXPECT_EQ(record.operation, nQoSim::tSyncRecord::kClose);
  EXPECT_TRUE(bus.calls().empty());
}

TEST_F(tTavikTest, LocksCloseFromTheLastGroupDown) {
  std::vector<const iSync*> expected;
  {
    tTavik map(&bus, window, &status);
    for (uint32_t id = 22; id >= 1; --id) expected.push_back(map.lockGroup(id)->lock());
    nQoSim::clearSyncLog();
  }
  std::vector<const iSync*> closed;
  for (const auto& record : nQoSim::syncLog()) closed.push_back(record.object);
  EXPECT_EQ(closed, expected);
}

TEST_F(tTavikMapTest, DirtyOperationsUseTheLowBitsAndRefuseIndexesBeyond173) {
  map->markClean(173, &status);
  EXPECT_EQ(map->isDirty(173, &status), 0u);
  map->markDirty(0xFE0000AD, &status);
  EXPECT_EQ(map->isDirty(173, &status), 1u);
  EXPECT_EQ(status.code, 0);

  map->markDirty(174, &status);
  EXPECT_EQ(lastReport(), "-50003 qoudrk qomiorlp/tavik/tTavik 264");
  status.clear();
  map->markClean(174, &status);
  EXPECT_EQ(lastReport(), "-50003 qoudrk qomiorlp/tavik/tTavik 277");
  status.clear();
  EXPECT_EQ(map->isDirty(174, &status), 0u);
  EXPECT_EQ(lastReport(), "-50003 qoudrk qomiorlp/tavik/tTavik 251");

  // With an error held they do nothing; with no status they report nothing.
  map->markClean(0, &status);
  EXPECT_EQ(map->isDirty(0, nullptr), 1u);
  EXPECT_EQ(map->isDirty(0, &status), 0u);
  nQoSim::clearStatusLog();
  map->markDirty(174, nullptr);
  EXPECT_TRUE(nQoSim::statusLog().empty());
}

TEST_F(tTavikMapTest, MarkAllDirtyZeroesPinRegistersKeepsOthersAndForgetsReadSides) {
  map->IO_Bidirection_Pin.setRegister(5, &status);
  map->AI_Command_1.setRegister(5, &status);
  windows.setRead(0, 0x136, 16, 0x1234);
  map->Joint_Status_1.refresh(&status);
  map->markClean(44, &status);
  map->markClean(0, &status);
  windows.clearLog();

  nQoMDBG100::tStatus2 failedStatus(-1);
  map->markAllDirty(&failedStatus);
  EXPECT_EQ(map->IO_Bidirection_Pin.getRegister(), 5);
  EXPECT_EQ(map->isDirty(44, &status), 0u);
  EXPECT_EQ(map->Joint_Status_1.getRegister(), 0x1234);

  map->markAllDirty(&status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(map->IO_Bidirection_Pin.getRegister(), 0);
  EXPECT_EQ(map->isDirty(44, &status), 1u);
  EXPECT_EQ(map->AI_Command_1.getRegister(), 5);
  EXPECT_EQ(map->isDirty(0, &status), 1u);
  EXPECT_EQ(map->Joint_Status_1.getRegister(), 0);
  EXPECT_EQ(map->isDirty(47, &status), 0u);
  EXPECT_TRUE(windows.log().empty());

  // The next flush of every writable register rewrites the board.
  map->Array_00C0[15].setRegister(0xABCD, &status);
  map->markAllDirty(nullptr);
  EXPECT_EQ(map->Array_00C0[15].getRegister(), 0u);
  map->Array_00C0[15].flush(&status, 0);
  map->Write_0040.flush(&status, 0);
  map->Static_AI_Control[0].flush(&status, 0);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0xFC, 32, 0), written(0x40, 32, 0),
                                                 written(0x64, 8, 0)}));
}

TEST_F(tTavikMapTest, FlushBusCallsTheBusFlushBetweenRegisterWrites) {
  map->AO_Mode_1.flush(&status, 1);
  EXPECT_EQ(map->flushBus(&status), 0);
  map->AO_Mode_2.flush(&status, 1);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x14C, 16, 0),
                                                 {~0u, 0, 0, 0, tSimRegisterWindows::kMarker},
                                                 written(0x14E, 16, 0)}));
  EXPECT_EQ(bus.calls().back().operation, tSimBus::tCall::kFlush);
}

TEST_F(tTavikMapTest, ConstantTablesGiveOffsetAndWidthByIndex) {
  EXPECT_EQ(tTavik::windowOffset(15), 0x104u);
  EXPECT_EQ(tTavik::windowOffset(39), 0x104u);
  EXPECT_EQ(tTavik::accessWidth(15), 16u);
  EXPECT_EQ(tTavik::accessWidth(39), 16u);
  EXPECT_EQ(tTavik::windowOffset(8), 0x184u);
  EXPECT_EQ(tTavik::accessWidth(8), 32u);
  EXPECT_EQ(tTavik::windowOffset(28), 0x184u);
  EXPECT_EQ(tTavik::accessWidth(28), 16u);
  EXPECT_EQ(tTavik::windowOffset(174), 0xFFFFFFFFu);
  EXPECT_EQ(tTavik::accessWidth(174), 0u);
}

TEST_F(tTavikTest, NullBusSetsMinus50002AndLeavesTheMapUnlinked) {
  tTavik map(nullptr, window, &status);
  EXPECT_EQ(lastReport(), "-50002 qoudrk qomiorlp/tavik/tTavik 1118");
  EXPECT_EQ(map.registerObject(173), nullptr);
  EXPECT_EQ(map.isDirty(0, nullptr), 0u);
}

TEST_F(tTavikTest, AnErrorAtConstructionSkipsTheTableSetUp) {
  status.code = -7;
  {
    tTavik map(&bus, window, &status);
    EXPECT_EQ(map.registerObject(44), nullptr);
    EXPECT_EQ(map.lockGroup(14)->id(), 0u);
    // An element that was never placed is never written, forced or not.
    nQoMDBG100::tStatus2 fresh;
    map.Static_AI_Control[3].flush(&fresh, 1);
    EXPECT_EQ(lastReport(), "-50003 qoudrk qomiorlp/tavik/tTavik 264");
    fresh.clear();
    map.Static_AI_Control[3].writeField(1, 1, &fresh, 1);
    EXPECT_EQ(fresh.code, -50003);
    map.Static_AI_Control[3].writeRegister(1, nullptr, 1);
    map.Array_0268[0].flush(nullptr, 1);
    EXPECT_TRUE(windows.log().empty());
  }
  EXPECT_EQ(nQoSim::liveSyncObjects(), 0);
}

TEST_F(tTavikTest, AFailedLockOpenIsReportedAndTheGroupIsPassedOver) {
  nQoSim::failSyncOpen(3);
  {
    tTavik map(&bus, window, &status);
    EXPECT_EQ(status.code, -50352);
    EXPECT_EQ(map.lockGroup(3)->lock(), nullptr);
    tTavik::tSelection selection;
    tTavik::makeSelection(selection, {3});
    map.lockSelectedGroups(selection, &status);
    map.unlockSelectedGroups(selection, &status);
  }
  EXPECT_EQ(nQoSim::liveSyncObjects(), 0);
}

class tTavikDeviceTreeTest : public tTavikTest {
 protected:
  void TearDown() override {
    nQoSim::setDeviceTree(nullptr);
    tTavikTest::TearDown();
  }
  nQoSim::tSimDevice device{&bus};
  nQoSim::tSimDeviceTable tree{{&device}};
};

TEST_F(tTavikDeviceTreeTest, ShortAndLongFormsMapTheWindowAndGiveItBack) {
  nQoSim::setDeviceTree(&tree);
  {
    tTavik map(0u, window, &status);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(map.space().ownsMapping(), 1u);
    EXPECT_EQ(map.space().base(), windows.base(window));
    EXPECT_EQ(map.isDirty(0, &status), 1u);
    map.AO_Command_2.flush(&status, 1);
    EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x10A, 16, 0)}));
  }
  {
    tTavik map(0u, 7, 9, window, &status);
    EXPECT_EQ(status.code, 0);
  }
  EXPECT_EQ(bus.calls(),
            (std::vector<tSimBus::tCall>{{tSimBus::tCall::kMapMemory, 0, 0, window, 620},
                                         {tSimBus::tCall::kUnmapMemory, 0, 0, 0, 0},
                                         {tSimBus::tCall::kMapMemory, 7, 9, window, 620},
                                         {tSimBus::tCall::kUnmapMemory, 0, 0, 0, 0}}));
  EXPECT_EQ(device.busesGiven(), 2u);
  EXPECT_EQ(device.busesTaken(), 2u);
  EXPECT_EQ(bus.liveMappings(), 0);
}

TEST_F(tTavikDeviceTreeTest, NoTreeNoDeviceOrNoBusSetMinus50002) {
  {
    tTavik map(0u, window, &status);
    EXPECT_EQ(lastReport(), "-50002 qoudrk qomiorlp/tavik/tTavik 1140");
  }
  status.clear();
  {
    tTavik map(0u, 1, 2, window, &status);
    EXPECT_EQ(lastReport(), "-50002 qoudrk qomiorlp/tavik/tTavik 1166");
  }
  nQoSim::setDeviceTree(&tree);
  status.clear();
  {
    tTavik map(5u, window, &status);
    EXPECT_EQ(lastReport(), "-50002 qoudrk qomiorlp/tavik/tTavik 1140");
    EXPECT_EQ(map.registerObject(44), nullptr);
  }
  nQoSim::tSimDevice busless(nullptr);
  nQoSim::tSimDeviceTable buslessTree({&busless});
  nQoSim::setDeviceTree(&buslessTree);
  status.clear();
  {
    tTavik map(0u, 3, 4, window, &status);
    EXPECT_EQ(lastReport(), "-50002 qoudrk qomiorlp/tavik/tTavik 1166");
  }
  EXPECT_TRUE(bus.calls().empty());
}

TEST_F(tTavikDeviceTreeTest, AFailedMappingSetsMinus50352AndStillGivesTheBusBack) {
  nQoSim::setDeviceTree(&tree);
  bus.failMapMemory(0);
  {
    tTavik map(0u, window, &status);
    EXPECT_EQ(lastReport(), "-50352 qoudrk regmapsupport/tMemMappedAddressSpace 68");
    EXPECT_EQ(map.space().base(), 0u);
    EXPECT_EQ(map.registerObject(44), nullptr);
  }
  EXPECT_EQ(device.busesTaken(), 1u);
  EXPECT_EQ(bus.calls().size(), 1u);  // no unmap of a mapping never made
}

TEST_F(tTavikDeviceTreeTest, AnErrorHeldAtConstructionTouchesNeitherTreeNorBus) {
  nQoSim::setDeviceTree(&tree);
  status.code = -1;
  tTavik map(0u, window, &status);
  EXPECT_TRUE(tree.lookups().empty());
  EXPECT_TRUE(bus.calls().empty());
  EXPECT_EQ(map.space().ownsMapping(), 0u);
}

}  // namespace
}  // namespace nQoTest
