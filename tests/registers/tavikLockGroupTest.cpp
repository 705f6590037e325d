// Lock-group selections and the programming-list application.
#include <gtest/gtest.h>

#include <vector>

#include "registers/applyProgrammingList.h"
#include "registers/registerId.h"
#include "registers/tTavik.h"
#include "sim/simSync.h"
#include "tavikFixture.h"

namespace nQoTest {
namespace {

using nQoUdRLP100::applyProgrammingList;
using nQoUdRLP100::makeRegisterId;
using nQoUdRLP100::tProgrammingPair;
using nQoUdRLP100::nTavik::tTavik;

TEST_F(tTavikMapTest, SelectedGroupsLockAscendingWithoutTimeOutAndUnlockDescending) {
  tTavik::tSelection selection;
  tTavik::makeSelection(selection, {14, 12});
  map->lockSelectedGroups(selection, &status);
  map->unlockSelectedGroups(selection, &status);
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{12, 14, -14, -12}));
  for (const auto& record : nQoSim::syncLog()) {
    if (record.operation == nQoSim::tSyncRecord::kAcquire) {
      EXPECT_EQ(record.timeout, 0xFFFFFFFFu);
    }
  }

  // An error in the status does not keep a taken lock from being given back.
  nQoSim::clearSyncLog();
  map->lockSelectedGroups(selection, &status);
  status.code = -1;
  map->unlockSelectedGroups(selection, &status);
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{12, 14, -14, -12}));
}

TEST_F(tTavikMapTest, SelectionsTakeABoundedListEndedByZeroAndIgnoreUnknownGroups) {
  tTavik::tSelection selection;
  for (auto& word : selection.words) word = 7;
  tTavik::makeSelection(selection, {0, 14});
  for (uint32_t word : selection.words) EXPECT_EQ(word, 0u);
  tTavik::makeSelection(selection, {23, 0xFFFFFFFF, 22, 0, 5});
  for (uint32_t id = 0; id <= 22; ++id) EXPECT_EQ(selection.words[id], id == 22 ? 1u : 0u);
  tTavik::makeSelection(selection, {23, 0xFFFFFFFF});
  map->lockSelectedGroups(selection, &status);
  map->unlockSelectedGroups(selection, &status);
  EXPECT_TRUE(nQoSim::syncLog().empty());

  // Word 0 is never read.
  tTavik::clearSelection(selection);
  selection.words[0] = 1;
  map->lockSelectedGroups(selection, &status);
  EXPECT_TRUE(nQoSim::syncLog().empty());
}

TEST_F(tTavikMapTest, AProgrammingListTakesEachGroupOnceAndWritesEveryField) {
  const tProgrammingPair list[] = {
      {makeRegisterId(87, 3), 31},  // tPFI_Output_Select_1, group 14
      {makeRegisterId(95, 1), 2},   // tPFI_Filter, group 14
      {makeRegisterId(67, 32), 1},  // tDIO_Direction bit 31, group 8
  };
  map->PFI_Output_Select_1.flush(&status, 0);
  map->PFI_Filter.flush(&status, 0);
  map->DIO_Direction.flush(&status, 0);
  windows.clearLog();
  applyProgrammingList(*map, list, 3, &status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{8, 14, -14, -8}));
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x1D0, 16, 0x7C00),
                                                 written(0xB0, 32, 0x2),
                                                 written(0x28, 32, 0x80000000)}));
}

TEST_F(tTavikMapTest, AProgrammingListWithoutARegisterObjectReportsAndStillUnlocks) {
  const tProgrammingPair list[] = {
      {makeRegisterId(44, 11), 1},   // tIO_Bidirection_Pin, group 14
      {makeRegisterId(0, 0), 1},     // tAI_Command_1 has no object
      {makeRegisterId(63, 4), 31},   // not reached: the error stops the rest
  };
  map->IO_Bidirection_Pin.flush(&status, 0);
  windows.clearLog();
  applyProgrammingList(*map, list, 3, &status);
  EXPECT_EQ(lastReport(), "-50003 qoudrk qomiorlp/tavik/tTavik 437");
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{14, 15, -15, -14}));
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x172, 16, 0x0400)}));

  status.clear();
  const tProgrammingPair readOnly[] = {{makeRegisterId(47, 1), 1}, {0xFFFFFFFF, 0}};
  applyProgrammingList(*map, readOnly, 2, &status);
  EXPECT_EQ(status.code, -50012);
}

}  // namespace
}  // namespace nQoTest
