// The second-generation chassis controller (tMorro2) and its DMA adaptor:
// plain registers and the runs that store their offset and identifier.
#include <gtest/gtest.h>

#include <vector>

#include "chassis/maps/tMorro2.h"
#include "chassis/maps/tMorro2DmaAdaptor.h"
#include "chassisMapFixture.h"

namespace nQoTest {
namespace {

using nQoUdRLP100::tMorro2;
using nQoUdRLP100::tMorro2DmaAdaptor;

TEST_F(tChassisMapTest, FreshSecondGenerationMapsFlagTheirRewrittenRegisters) {
  tMorro2 map(&bus, handle, &status);
  tMorro2DmaAdaptor adaptor(&bus, handle, &status);
  ASSERT_EQ(status.code, 0);
  std::vector<uint32_t> expected = range(0, 21);
  for (uint32_t index : {31, 32}) expected.push_back(index);
  for (uint32_t index : range(35, 50)) expected.push_back(index);
  expected.push_back(52);
  EXPECT_EQ(dirtyIndexes(map), expected);
  EXPECT_EQ(dirtyIndexes(adaptor), (std::vector<uint32_t>{1, 4}));
  for (uint32_t id = 1; id <= 5; ++id) EXPECT_EQ(adaptor.softCopy(id, &status), 0u);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(nQoSim::syncLog().size(), 0u);  // no locks
  EXPECT_TRUE(windows.log().empty());
}

TEST_F(tChassisMapTest, TheFirstRunIsPlacedWhenBuiltTheOthersAtSetUp) {
  status.code = -7;
  tMorro2 unset(&bus, handle, &status);
  EXPECT_EQ(unset.Array_0070[3].offset(), 0x7Cu);
  EXPECT_EQ(unset.Array_0070[3].index(), 3u);
  EXPECT_EQ(unset.Array_0080[0].offset(), 0xFFFFFFFFu);
  EXPECT_EQ(unset.Array_00C0[7].index(), 0xFFFFFFFFu);
  // The map was never set up: markAllDirty is refused.
  nQoMDBG100::tStatus2 fresh;
  unset.markAllDirty(&fresh);
  EXPECT_EQ(fresh.code, -50002);

  status.clear();
  tMorro2 map(&bus, handle, &status);
  EXPECT_EQ(map.Array_0080[15].offset(), 0xBCu);
  EXPECT_EQ(map.Array_0080[15].index(), 20u);
  EXPECT_EQ(map.Array_00C0[0].offset(), 0xC0u);
  EXPECT_EQ(map.Array_00C0[7].offset(), 0xDCu);
  EXPECT_EQ(map.Array_00C0[7].index(), 45u);
  EXPECT_EQ(tMorro2::windowOffset(38), 0xC0u);
  EXPECT_EQ(tMorro2::windowOffset(4), 0xFFFFFFFFu);
}

TEST_F(tChassisMapTest, MarkAllDirtyClearsSoftCopiesAndMarksTheRest) {
  tMorro2DmaAdaptor adaptor(&bus, handle, &status);
  adaptor.markClean(1, &status);
  adaptor.markClean(4, &status);
  adaptor.markDirty(2, &status);
  adaptor.markAllDirty(&status);
  EXPECT_EQ(dirtyIndexes(adaptor), (std::vector<uint32_t>{1, 2, 4}));
  EXPECT_EQ(adaptor.softCopy(0, &status), 0xFFFFFFFFu);
  EXPECT_EQ(lastReport(), "-50003 qoudrk tMorro2DmaAdaptor 93");
  status.clear();
  adaptor.markDirty(6, &status);
  EXPECT_EQ(lastReport(), "-50003 qoudrk tMorro2DmaAdaptor 60");
}

}  // namespace
}  // namespace nQoTest
