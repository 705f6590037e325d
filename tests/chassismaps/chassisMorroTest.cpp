// The first-generation maps: the chassis controller (tMorro) and the cartridge
// interface (tMorroCartridge): what construction flags, their register
// classes' fields, plain registers by id, and the three register locks.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "chassis/maps/tMorro.h"
#include "chassis/maps/tMorroCartridge.h"
#include "chassisMapFixture.h"
#include "sim/simSync.h"

namespace nQoTest {
namespace {

using nQoUdRLP100::tMorro;
using nQoUdRLP100::tMorroCartridge;

std::vector<uint32_t> join(std::vector<uint32_t> a, const std::vector<uint32_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(tChassisMapTest, FreshFirstGenerationMapsFlagEveryWritableRegister) {
  tMorro morro(&bus, handle, &status);
  tMorroCartridge slot(&bus, handle, &status);
  ASSERT_EQ(status.code, 0);
  EXPECT_EQ(dirtyIndexes(morro), join({3, 12, 14}, range(16, 40)));
  EXPECT_EQ(dirtyIndexes(slot), join(range(0, 7), {9, 21, 23, 25, 27, 28}));
  EXPECT_EQ(morro.RIVORouting.getField(0, &status), 0u);
  EXPECT_EQ(morro.softCopy(16, &status), 0u);
  EXPECT_EQ(morro.Array_0080[15].offset(), 0xBCu);
  EXPECT_EQ(morro.Array_0080[15].index(), 40u);
  EXPECT_EQ(morro.registerObject(21), &morro.RIVORouting);
  EXPECT_EQ(morro.registerObject(20), nullptr);
  EXPECT_EQ(slot.registerObject(0xFE000017), &slot.TimerControl);
  EXPECT_TRUE(windows.log().empty());

  // The first flush without force writes 0 once; the second writes nothing.
  slot.DoValue.flush(&status, 0);
  slot.DoValue.flush(&status, 0);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x24, 0)}));
  EXPECT_EQ(status.code, 0);
}

TEST_F(tChassisMapTest, RoutingFieldsWriteTheWholeRegisterAndRefuseGapsAndWideValues) {
  tMorro map(&bus, handle, &status);
  map.markClean(21, &status);
  map.RIVORouting.writeField(5, 0x21, &status, 0);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x5C, 0x00210000)}));
  EXPECT_EQ(map.isDirty(21, &status), 0u);
  EXPECT_EQ(map.RIVORouting.getField(5, &status), 0x21u);

  map.RIVORouting.setField(2, 1, &status);
  EXPECT_EQ(status.code, -50003);
  status.clear();
  EXPECT_EQ(tMorro::tRIVORouting::maskFor(2, &status), 0u);
  EXPECT_EQ(tMorro::tRIVORouting::offsetFor(7, &status), 24u);
  EXPECT_EQ(tMorro::tRIVORouting::maskFor(8, &status), 0xFFFFFFFFu);
  EXPECT_EQ(status.code, -50003);
  status.clear();
  map.RIVORouting.setField(7, 64, &status);
  EXPECT_EQ(status.code, -50005);
  status.clear();
  map.OversampleRouting.setField(4, 2, &status);
  EXPECT_EQ(status.code, -50005);
  status.clear();

  // A field set to its value leaves the flag clear; a new value sets it.
  map.OversampleRouting.flush(&status, 0);
  map.OversampleRouting.setField(2, 0, &status);
  EXPECT_EQ(map.isDirty(24, &status), 0u);
  map.OversampleRouting.setField(2, 3, &status);
  EXPECT_EQ(map.isDirty(24, &status), 1u);
  EXPECT_EQ(map.RIVORouting.refresh(&status), 0xDEADBEEFu);
  EXPECT_EQ(lastReport(), "-50009 qoudrk tMorro 71");
  EXPECT_EQ(map.RIVORouting.isWritable(), 1u);
  EXPECT_EQ(map.RIVORouting.isReadable(), 0u);
}

TEST_F(tChassisMapTest, FieldZeroWritesOnChangeOrForceAndLeavesTheFlagClear) {
  tMorro map(&bus, handle, &status);
  map.RIVORouting.flush(&status, 0);
  windows.clearLog();
  map.RIVORouting.writeField(0, 0, &status, 0);
  EXPECT_TRUE(windows.log().empty());
  map.RIVORouting.writeField(0, 0x3F3F, &status, 0);
  map.RIVORouting.writeField(0, 0x3F3F, &status, 1);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x5C, 0x3F3F), written(0x5C, 0x3F3F)}));
  EXPECT_EQ(map.isDirty(21, &status), 0u);
}

TEST_F(tChassisMapTest, CartridgeFieldsCheckTheirWidthAndTableLength) {
  tMorroCartridge slot(&bus, handle, &status);
  slot.markClean(5, &status);
  slot.SignalSource.writeField(4, 8, &status, 0);
  EXPECT_EQ(lastReport(), "-50005 qoudrk tMorroCartridge 1544");
  EXPECT_EQ(slot.SignalSource.getField(0, nullptr), 0u);
  EXPECT_EQ(slot.isDirty(5, nullptr), 0u);
  status.clear();

  slot.SignalSource.writeField(10, 7, &status, 0);
  slot.DoValue.writeField(10, 1, &status, 0);
  EXPECT_EQ(windows.log(),
            (std::vector<tAccess>{written(0x14, 0x38000000), written(0x24, 0x200)}));

  // tProcessorControl's tables end at field 2.
  slot.ProcessorControl.setField(3, 1, &status);
  EXPECT_EQ(lastReport(), "-50003 qoudrk tMorroCartridge 1080");
  status.clear();
  EXPECT_EQ(tMorroCartridge::tProcessorControl::maskFor(2, &status), 0xEu);
  EXPECT_EQ(tMorroCartridge::tProcessorControl::maskFor(3, &status), 0xFFFFFFFFu);
  EXPECT_EQ(lastReport(), "-50003 qoudrk tMorroCartridge 1085");
  status.clear();
  slot.ConvertControl.setField(7, 31, &status);
  EXPECT_EQ(slot.ConvertControl.getField(0, &status), 0x1F00u);
  // With a null status errors are silent and getters still answer 0xFFFFFFFF.
  nQoSim::clearStatusLog();
  EXPECT_EQ(slot.TimerControl.getField(7, nullptr), 0xFFFFFFFFu);
  EXPECT_TRUE(nQoSim::statusLog().empty());
}

TEST_F(tChassisMapTest, PlainRegistersByIdAndMarkAllDirty) {
  tMorro map(&bus, handle, &status);
  EXPECT_EQ(map.softCopy(0xFE000000, &status), 0u);
  EXPECT_EQ(map.softCopy(5, &status), 0xFFFFFFFFu);
  EXPECT_EQ(lastReport(), "-50003 qoudrk tMorro 93");
  status.clear();
  EXPECT_EQ(map.softCopy(21, &status), 0xFFFFFFFFu);
  EXPECT_EQ(status.code, -50003);
  status.clear();
  map.markDirty(41, &status);
  EXPECT_EQ(lastReport(), "-50003 qoudrk tMorro 60");
  status.clear();

  map.markClean(3, &status);
  map.markClean(40, &status);
  map.markDirty(0, &status);
  map.markAllDirty(&status);
  EXPECT_EQ(dirtyIndexes(map), join({0, 3, 12, 14}, range(16, 40)));

  // An error already held makes markAllDirty do nothing.
  map.markClean(3, &status);
  nQoMDBG100::tStatus2 failedStatus(-1);
  map.markAllDirty(&failedStatus);
  EXPECT_EQ(map.isDirty(3, &status), 0u);
}

TEST_F(tChassisMapTest, LocksAreOpenedWithKindOneAndClosedFromTheLastDown) {
  std::vector<const iSync*> expected;
  {
    tMorroCartridge slot(&bus, handle, &status);
    const auto opened = nQoSim::syncLog();
    ASSERT_EQ(opened.size(), 3u);
    for (uint32_t id = 1; id <= 3; ++id) {
      EXPECT_EQ(opened[id - 1].param.version, 1u);
      EXPECT_EQ(opened[id - 1].param.kind, 1u);
      EXPECT_EQ(opened[id - 1].object, slot.lock(id)->lock());
      EXPECT_EQ(slot.lock(id)->id(), id);
    }
    const auto* third = slot.lock(3);
    EXPECT_EQ(std::vector<uint32_t>(third->members(), third->members() + third->memberCount()),
              (std::vector<uint32_t>{0, 5, 6, 7, 23}));
    EXPECT_EQ(slot.lock(1)->memberCount(), 1u);
    EXPECT_EQ(slot.DoValue.getLock(), slot.lock(2));
    EXPECT_EQ(slot.registerObject(23)->getLock(), slot.lock(3));
    for (uint32_t id = 3; id >= 1; --id) expected.push_back(slot.lock(id)->lock());
    nQoSim::clearSyncLog();
  }
  std::vector<const iSync*> closed;
  for (const auto& record : nQoSim::syncLog()) {
    EXPECT_EQ(record.operation, nQoSim::tSyncRecord::kClose);
    closed.push_back(record.object);
  }
  EXPECT_EQ(closed, expected);
}

TEST_F(tChassisMapTest, LocksAreTakenAscendingAndGivenBackDescendingEvenUnderAnError) {
  tMorro map(&bus, handle, &status);
  EXPECT_EQ(map.RIVORouting.getLock(), map.lock(3));
  nQoSim::clearSyncLog();
  map.acquireLocks({1, 3}, 0, &status);
  nQoMDBG100::tStatus2 failedStatus(-1);
  map.releaseLocks({1, 3}, &failedStatus);
  // A list is read up to its first 0; ids above 3 select nothing.
  tMorro::tLockSelection selection{7, 2, 0, 1};
  EXPECT_EQ(selection.words[1], 0u);
  EXPECT_EQ(selection.words[2], 1u);
  map.acquireLocks(selection, 0, &failedStatus);
  map.releaseLocks(selection, &status);
  map.acquireLocks(tMorro::tLockSelection{}, 0, &status);
  EXPECT_EQ(lockOrder(map), (std::vector<int>{1, 3, -3, -1, 2, -2}));
  EXPECT_EQ(status.code, 0);
}

TEST_F(tChassisMapTest, ALockThatCouldNotBeOpenedIsReportedAndNeverTaken) {
  nQoSim::failSyncOpen(2);
  {
    tMorro map(&bus, handle, &status);
    EXPECT_EQ(lastReport(), "-50352 qoudrk tMorro 91");
    EXPECT_EQ(map.lock(2)->lock(), nullptr);
    nQoSim::clearSyncLog();
    nQoMDBG100::tStatus2 fresh;
    map.acquireLocks({1, 2, 3}, 0, &fresh);
    EXPECT_EQ(lastReport(), "-50352 qoudrk tMorro 92");
    map.releaseLocks({1, 2, 3}, &fresh);
    EXPECT_EQ(lockOrder(map), (std::vector<int>{1, 3, -3, -1}));
    // The constructor's error left the map without its registers.
    fresh.clear();
    map.RIVORouting.flush(&fresh, 1);
    EXPECT_EQ(fresh.code, -50002);
  }
  EXPECT_EQ(nQoSim::liveSyncObjects(), 0);
  EXPECT_TRUE(windows.log().empty());
}

TEST_F(tChassisMapTest, TwoThreadsBracketingRoutingWritesNeverInterleave) {
  tMorro map(&bus, handle, &status);
  map.RIVORouting.flush(&status, 0);
  map.OversampleRouting.flush(&status, 0);
  windows.clearLog();
  auto writer = [&map](uint32_t value) {
    nQoMDBG100::tStatus2 own;
    for (int pass = 0; pass < 200; ++pass) {
      map.acquireLocks({3}, 0, &own);
      map.RIVORouting.writeField(1, value, &own, 1);
      std::this_thread::yield();
      map.OversampleRouting.writeField(1, value, &own, 1);
      map.releaseLocks({3}, &own);
    }
    EXPECT_EQ(own.code, 0);
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

}  // namespace
}  // namespace nQoTest
