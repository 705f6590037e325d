// The Tavik map object: its forms, the dirty table, markAllDirty, lock-group
// selections and the programming list.
#include <gtest/gtest.h>

#include <vector>

#include "registers/applyProgrammingList.h"
#include "registers/registerId.h"
#include "registers/tScopedLockSelection.h"
#include "support/silentRefusals.h"
#include "tavik/tavikFixture.h"

namespace nQoTest {
namespace {

using nQoUdRLP100::applyProgrammingList;
using nQoUdRLP100::makeRegisterId;
using nQoUdRLP100::tProgrammingPair;
using nQoUdRLP100::tScopedLockSelection;

TEST_F(tTavikTest, ConstructionOverABusTakesTheWindowOpensTheLocksAndTouchesNoRegister) {
  std::vector<const iSync*> locks;
  {
    tTavik map(&bus, window, &status);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(bus.calls(), (std::vector<tCall>{{tCall::kWindowAddress, 4, 3, window, 0}}));
    EXPECT_TRUE(windows.log().empty());
    const auto opened = nQoSim::syncLog();
    ASSERT_EQ(opened.size(), 22u);
    for (uint32_t id = 1; id <= 22; ++id) {
      const iSync::tParam& param = opened[id - 1].param;
      EXPECT_EQ((std::vector<uint32_t>{param.version, param.kind, param.option}),
                (std::vector<uint32_t>{1, 1, 0}));
      for (uint32_t word : param.reserved) EXPECT_EQ(word, 0u);
      EXPECT_EQ(opened[id - 1].object, map.lockGroup(id)->lock());
      locks.insert(locks.begin(), map.lockGroup(id)->lock());
    }
    EXPECT_EQ(map.isDirty(0, &status), 1u);
    EXPECT_EQ(map.isDirty(1, &status), 0u);
    EXPECT_EQ(map.isDirty(8, &status), 0u);
    EXPECT_EQ(map.registerObject(0), nullptr);
    EXPECT_EQ(map.registerObject(0xFE0000AD), &map.Static_AI_Control[7]);
    EXPECT_EQ(map.registerObject(174), nullptr);
    EXPECT_EQ(tTavik::windowOffset(174), 0xFFFFFFFFu);
    EXPECT_EQ(tTavik::accessWidth(174), 0u);
    nQoSim::clearSyncLog();
    bus.clearCalls();
  }
  EXPECT_EQ(closedObjects(), locks);
  EXPECT_TRUE(bus.calls().empty());
}

TEST_F(tTavikMapTest, DirtyOperationsUseTheLowBitsAndRefuseIndexesBeyond173) {
  map->markClean(173, &status);
  map->markDirty(0xFE0000AD, &status);
  EXPECT_EQ(map->isDirty(173, &status), 1u);
  map->markDirty(174, &status);
  EXPECT_EQ(lastReport(), "-50003 qoudrk qomiorlp/tavik/tTavik 264");
  status.clear();
  map->markClean(174, &status);
  EXPECT_EQ(lastReport(), "-50003 qoudrk qomiorlp/tavik/tTavik 277");
  status.clear();
  EXPECT_EQ(map->isDirty(174, &status), 0u);
  EXPECT_EQ(lastReport(), "-50003 qoudrk qomiorlp/tavik/tTavik 251");
  map->markClean(0, &status);  // error held: nothing
  EXPECT_EQ(map->isDirty(0, nullptr), 1u);
}

TEST_F(tTavikMapTest, MarkAllDirtyZeroesPinRegistersKeepsOthersAndForgetsReadSides) {
  map->IO_Bidirection_Pin.setRegister(5, &status);
  map->AI_Command_1.setRegister(5, &status);
  windows.setRead(0, 0x136, 16, 0x1234);
  map->Joint_Status_1.refresh(&status);
  map->markClean(44, &status);
  map->markClean(0, &status);
  nQoMDBG100::tStatus2 failedStatus(-1);
  map->markAllDirty(&failedStatus);
  EXPECT_EQ(map->IO_Bidirection_Pin.getRegister(), 5);
  EXPECT_EQ(map->isDirty(44, &status), 0u);
  map->markAllDirty(&status);
  EXPECT_EQ(map->IO_Bidirection_Pin.getRegister(), 0);
  EXPECT_EQ(map->isDirty(44, &status), 1u);
  EXPECT_EQ(map->AI_Command_1.getRegister(), 5);
  EXPECT_EQ(map->isDirty(0, &status), 1u);
  EXPECT_EQ(map->Joint_Status_1.getRegister(), 0);
  EXPECT_EQ(windows.log().size(), 1u);  // the refresh
}

TEST_F(tTavikTest, ANullBusSkipsTheTableSetUpAndUnplacedElementsAreNeverWritten) {
  {
    tTavik map(nullptr, window, &status);
    EXPECT_EQ(lastReport(), "-50002 qoudrk qomiorlp/tavik/tTavik 1118");
    EXPECT_EQ(map.registerObject(173), nullptr);
    nQoMDBG100::tStatus2 fresh;
    map.Static_AI_Control[3].flush(&fresh, 1);
    EXPECT_EQ(lastReport(), "-50003 qoudrk qomiorlp/tavik/tTavik 264");
    fresh.clear();
    map.Static_AI_Control[3].writeField(1, 1, &fresh, 1);
    EXPECT_EQ(fresh.code, -50003);
    map.Array_0268[0].flush(nullptr, 1);
    EXPECT_EQ(map.flushBus(nullptr), 0);
    // The walk reports once, at its first register, and stops; without a
    // status it walks every register and writes nothing either.
    fresh.clear();
    nQoSim::clearStatusLog();
    map.markAllDirty(&fresh);
    ASSERT_EQ(nQoSim::statusLog().size(), 1u);
    EXPECT_EQ(lastReport(), "-50002 qoudrk qomiorlp/tavik/tTavik 300");
    map.markAllDirty(nullptr);
  }
  EXPECT_TRUE(windows.log().empty());
  EXPECT_EQ(nQoSim::liveSyncObjects(), 0);
}

TEST_F(tTavikTest, DeviceTreeFormsMapTheWindowAndGiveItBackOrReportWhatIsMissing) {
  EXPECT_EQ(reportOf([&](auto* s) { tTavik map(0u, window, s); }),
            "-50002 qoudrk qomiorlp/tavik/tTavik 1140");
  EXPECT_EQ(reportOf([&](auto* s) { tTavik map(0u, 1, 2, window, s); }),
            "-50002 qoudrk qomiorlp/tavik/tTavik 1166");
  nQoSim::setDeviceTree(&tree);
  EXPECT_EQ(reportOf([&](auto* s) { tTavik map(5u, window, s); }),
            "-50002 qoudrk qomiorlp/tavik/tTavik 1140");
  {
    tTavik map(0u, 7, 9, window, &status);
    map.AO_Command_2.flush(&status, 1);
    EXPECT_EQ(windows.log(), (std::vector<tAccess>{wrote(0x10A, 0)}));
  }
  EXPECT_EQ(status.code, 0);
  bus.failMapMemory(0);
  EXPECT_EQ(reportOf([&](auto* s) { tTavik map(0u, window, s); }),
            "-50352 qoudrk regmapsupport/tMemMappedAddressSpace 68");
  EXPECT_EQ(bus.calls(), (std::vector<tCall>{{tCall::kMapMemory, 7, 9, window, 620},
                                             {tCall::kUnmapMemory, 0, 0, 0, 0},
                                             {tCall::kMapMemory, 0, 0, window, 620}}));
  EXPECT_EQ(device.busesTaken(), 2u);
}

TEST_F(tTavikTest, AWindowThatCannotBeMappedWithoutStatusLeavesTheTablesUnset) {
  nQoSim::setDeviceTree(&tree);
  bus.failMapMemory(0);
  tEveryAccess board;
  tTavik shortForm(0u, window, nullptr);
  tTavik longForm(0u, 1, 2, window, nullptr);
  for (tTavik* map : {&shortForm, &longForm}) {
    EXPECT_EQ(map->registerObject(0xFE0000AD), nullptr);
    map->AO_Command_2.setRegister(0x0100, nullptr);
    map->AO_Command_2.flush(nullptr, 1);
    map->Joint_Status_1.refresh(nullptr);
    map->AO_Command_2.flush(&status, 1);
    EXPECT_EQ(lastReport(), "-50002 qoudrk qomiorlp/tavik/tTavik 300") << "never set up";
    status.clear();
  }
  EXPECT_TRUE(board.addresses.empty());
  EXPECT_EQ(bus.calls(), (std::vector<tCall>{{tCall::kMapMemory, 0, 0, window, 620},
                                             {tCall::kMapMemory, 1, 2, window, 620}}));
}

TEST_F(tTavikMapTest, SelectionsLockAscendingUnlockDescendingAndTakeABoundedList) {
  tTavik::tSelection selection;
  tTavik::makeSelection(selection, {14, 12});
  const tTavik::tSelection held = map->lockSelectedGroups(selection, &status);
  EXPECT_EQ(held.bits, selection.bits);
  nQoMDBG100::tStatus2 failedStatus(-1);
  map->unlockSelectedGroups(held, &failedStatus);
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{12, 14, -14, -12}));
  for (const auto& record : nQoSim::syncLog())
    if (record.operation == nQoSim::tSyncRecord::kAcquire) {
      EXPECT_EQ(record.timeout, 0xFFFFFFFFu);
    }

  tTavik::makeSelection(selection, {23, 0xFFFFFFFF, 22, 0, 5});
  EXPECT_EQ(selection.bits, 1u << 22);
  tTavik::makeSelection(selection, {0, 14});
  nQoSim::clearSyncLog();
  EXPECT_EQ(map->lockSelectedGroups(selection, &status).bits, 0u);
  EXPECT_TRUE(nQoSim::syncLog().empty());
}

TEST_F(tTavikMapTest, AScopedSelectionHoldsItsGroupsForItsScopeWhateverTheStatusHolds) {
  nQoMDBG100::tStatus2 failedStatus(-7);
  {
    const tScopedLockSelection<tTavik> locked(*map, {14, 3, 12}, &failedStatus);
    EXPECT_EQ(lockOrder(*map), (std::vector<int>{3, 12, 14}));
    failedStatus.code = -8;
  }
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{3, 12, 14, -14, -12, -3}));
  EXPECT_EQ(failedStatus.code, -8);
  nQoSim::clearSyncLog();
  { const tScopedLockSelection<tTavik> locked(*map, {22}, nullptr); }
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{22, -22}));
}

// A lock that refuses is left out of the selection answered, and so never
// given back: that would release a lock another caller holds.
TEST_F(tTavikMapTest, ALockThatRefusesIsLeftOutAndNeverGivenBack) {
  const tTavik::tSelection selection{14, 3, 12};
  nQoSim::failNextAcquire(-7);
  nQoMDBG100::tStatus2 locked;
  const tTavik::tSelection held = map->lockSelectedGroups(selection, &locked);
  EXPECT_EQ(held.bits, (1u << 12) | (1u << 14));
  EXPECT_EQ(locked.code, -7);
  map->unlockSelectedGroups(held, &locked);
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{12, 14, -14, -12}));

  nQoSim::clearSyncLog();
  nQoSim::failNextAcquire(-7);
  nQoMDBG100::tStatus2 scoped;
  {
    const tScopedLockSelection<tTavik> locked(*map, selection, &scoped);
    EXPECT_EQ(scoped.code, -7);
  }
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{12, 14, -14, -12}));
  EXPECT_EQ(scoped.code, -7);
}

// A lock that refuses with no error of its own (a warning, or no code at all)
// is a refusal all the same: kRefused, so that nothing is written without the
// lock.
TEST_F(tTavikMapTest, ALockThatRefusesWithoutAnErrorIsReportedAsRefused) {
  const tProgrammingPair list[] = {{makeRegisterId(67, 32), 1}};  // group 8
  map->DIO_Direction.flush(&status, 0);
  for (const tSilentRefusal& refusal : kSilentRefusals) {
    SCOPED_TRACE(refusal.name);
    windows.clearLog();
    nQoSim::clearSyncLog();
    refusal.arm();
    nQoMDBG100::tStatus2 refused;
    applyProgrammingList(*map, list, 1, &refused);
    EXPECT_EQ(refused.code, -50150);
    EXPECT_TRUE(windows.log().empty());
    EXPECT_TRUE(lockOrder(*map).empty());
  }
}

TEST_F(tTavikMapTest, AProgrammingListTakesEachGroupOnceAndStillUnlocksAfterAnError) {
  const tProgrammingPair list[] = {
      {makeRegisterId(87, 3), 31},  // group 14
      {makeRegisterId(95, 1), 2},   // group 14
      {makeRegisterId(67, 32), 1},  // group 8
  };
  map->PFI_Output_Select_1.flush(&status, 0);
  map->PFI_Filter.flush(&status, 0);
  map->DIO_Direction.flush(&status, 0);
  windows.clearLog();
  applyProgrammingList(*map, list, 3, &status);
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{8, 14, -14, -8}));
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{wrote(0x1D0, 0x7C00), wrote(0xB0, 0x2, 32),
                                                 wrote(0x28, 0x80000000, 32)}));

  const tProgrammingPair missing[] = {
      {makeRegisterId(44, 11), 1}, {makeRegisterId(0, 0), 1}, {makeRegisterId(63, 4), 31}};
  nQoSim::clearSyncLog();
  applyProgrammingList(*map, missing, 3, &status);
  EXPECT_EQ(lastReport(), "-50003 qoudrk qomiorlp/tavik/tTavik 437");
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{14, 15, -15, -14}));
  status.clear();
  const tProgrammingPair readOnly[] = {{makeRegisterId(47, 1), 1}};
  applyProgrammingList(*map, readOnly, 1, &status);
  EXPECT_EQ(status.code, -50012);
}

}  // namespace
}  // namespace nQoTest
