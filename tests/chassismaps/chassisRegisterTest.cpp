// Chassis map registers: what construction flags, and how each kind (control,
// strobe, status, pins, plain) serves its operations.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "chassisMapFixture.h"

namespace nQoTest {
namespace {

using testing::AnyOf;

TEST_F(tChassisMapTest, FreshMapsFlagExactlyTheirRewrittenRegisters) {
  tMorro morro(&bus, handle, &status);
  tMorroCartridge cartridge(&bus, handle, &status);
  tMorro2 morro2(&bus, handle, &status);
  tMorro2DmaAdaptor adaptor(&bus, handle, &status);
  tMorro2Cartridge slot(&bus, handle, &status);
  ASSERT_EQ(status.code, 0);
  EXPECT_EQ(dirtyList(morro), "3, 12, 14, 16-40");
  EXPECT_EQ(dirtyList(cartridge), "0-7, 9, 21, 23, 25, 27, 28");
  EXPECT_EQ(dirtyList(morro2), "0-21, 31, 32, 35-50, 52");
  EXPECT_EQ(dirtyList(adaptor), "1, 4");
  EXPECT_EQ(dirtyList(slot),
            "13-15, 17-26, 30, 31, 33-35, 38-41, 43, 44, 47-49, 52-54, 56, 58, 59");
  for (uint32_t index = 0; index < tMorro2Cartridge::kRegisterCount; ++index)
    EXPECT_THAT(slot.registerObject(index)->getField(0, nullptr), AnyOf(0u, 0xDEADBEEFu)) << index;
  EXPECT_EQ(morro.softCopy(16, &status), 0u);
  EXPECT_EQ(adaptor.softCopy(4, &status), 0u);
  EXPECT_TRUE(windows.log().empty());
  slot.CYA.flush(&status, 0);
  slot.CYA.flush(&status, 0);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x0FC, 0)}));
}

TEST_F(tChassisMapTest, StoredElementsArePlacedEvenWhenTheSetUpIsSkipped) {
  status.code = -7;
  tMorro2 unset(&bus, handle, &status);
  tMorro2Cartridge slot(&bus, handle, &status);
  EXPECT_EQ(unset.Array_0070[3].offset(), 0x7Cu);
  EXPECT_EQ(unset.Array_0070[3].index(), 3u);
  EXPECT_EQ(unset.Array_0080[0].offset(), 0xFFFFFFFFu);
  EXPECT_EQ(slot.CcPins[1].offset(), 0x024u);
  EXPECT_EQ(slot.CcPins[1].index(), 25u);
}

TEST_F(tChassisMapTest, ControlFieldsWriteOnChangeOrForceAndRefuseGapsAndWideValues) {
  tMorro map(&bus, handle, &status);
  map.markClean(21, &status);
  map.RIVORouting.writeField(5, 0x21, &status, 0);
  map.RIVORouting.writeField(5, 0x21, &status, 0);
  map.RIVORouting.writeField(5, 0x21, &status, 1);
  map.markDirty(21, &status);
  map.RIVORouting.writeField(5, 0x21, &status, 0);
  EXPECT_EQ(windows.log(),
            (std::vector<tAccess>{written(0x5C, 0x00210000), written(0x5C, 0x00210000),
                                  written(0x5C, 0x00210000)}));
  EXPECT_EQ(map.isDirty(21, &status), 0u);
  map.RIVORouting.setField(2, 1, &status);
  EXPECT_EQ(status.code, -50003);
  status.clear();
  EXPECT_EQ(tMorro::tRIVORouting::maskFor(2, &status), 0u);
  EXPECT_EQ(tMorro::tRIVORouting::maskFor(8, &status), 0xFFFFFFFFu);
  EXPECT_EQ(status.code, -50003);
  status.clear();

  tMorroCartridge cartridge(&bus, handle, &status);
  cartridge.markClean(5, &status);
  windows.clearLog();
  cartridge.SignalSource.writeField(4, 8, &status, 0);
  EXPECT_EQ(lastReport(), "-50005 qoudrk tMorroCartridge 1544");
  EXPECT_EQ(cartridge.SignalSource.getField(0, nullptr), 0u);
  EXPECT_EQ(cartridge.isDirty(5, nullptr), 0u);
  EXPECT_TRUE(windows.log().empty());

  status.clear();
  tMorro2Cartridge slot(&bus, handle, &status);
  slot.GlobalPulseDelay.setField(1, 0x100000, &status);
  EXPECT_EQ(status.code, -50005);
  status.clear();
  slot.GlobalPulseDelay.setField(1, 0xFFFFF, &status);
  EXPECT_EQ(slot.GlobalPulseDelay.getField(0, &status), 0xFFFFFu);
  nQoSim::clearStatusLog();
  slot.HsiOutputLength.setHsiOutputLengthBf(0x2001, &status);
  EXPECT_EQ(slot.HsiOutputLength.getField(0, &status), 1u);
  EXPECT_TRUE(nQoSim::statusLog().empty());
}

TEST_F(tChassisMapTest, StrobesWriteTheirFieldAtOnceAndBaseStubsReportAtTheirLines) {
  tMorro2Cartridge slot(&bus, handle, &status);
  tMorro map(&bus, handle, &status);
  windows.clearLog();
  slot.CartridgeControlStrobes.writeField(2, 1, &status, 0);
  slot.ActionBitSet.writeField(1, 0x8001, &status, 0);
  slot.ActionBitSet.writeField(0, 0x10000, &status, 0);
  slot.InterruptDisable.writeRegister(0x7F, &status);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x058, 0x2), written(0x02C, 0x8001),
                                                 written(0x02C, 0x10000), written(0x0C0, 0x7F)}));
  windows.clearLog();
  slot.ActionBitSet.writeField(1, 0x10000, &status, 0);
  EXPECT_EQ(status.code, -50005);
  EXPECT_TRUE(windows.log().empty());

  EXPECT_EQ(reportOf([&](auto* s) { slot.TimerStatus.flush(s, 1); }),
            "-50012 qoudrk tMorro2Cartridge 20");
  EXPECT_EQ(reportOf([&](auto* s) { slot.CartridgeControlStrobes.refresh(s); }),
            "-50009 qoudrk tMorro2Cartridge 25");
  EXPECT_EQ(reportOf([&](auto* s) { slot.CartridgeControlStrobes.setField(2, 1, s); }),
            "-50012 qoudrk tMorro2Cartridge 32");
  EXPECT_EQ(reportOf([&](auto* s) { slot.TimerStatus.writeField(1, 1, s, 1); }),
            "-50012 qoudrk tMorro2Cartridge 40");
  EXPECT_EQ(reportOf([&](auto* s) {
              EXPECT_EQ(slot.CartridgeControlStrobes.getField(2, s), 0xDEADBEEFu);
            }),
            "-50009 qoudrk tMorro2Cartridge 46");
  EXPECT_EQ(reportOf([&](auto* s) {
              EXPECT_EQ(slot.CartridgeControlStrobes.readField(2, s), 0xDEADBEEFu);
            }),
            "-50009 qoudrk tMorro2Cartridge 53");
  EXPECT_EQ(reportOf([&](auto* s) { EXPECT_EQ(map.RIVORouting.refresh(s), 0xDEADBEEFu); }),
            "-50009 qoudrk tMorro 71");
  EXPECT_TRUE(windows.log().empty());
}

TEST_F(tChassisMapTest, StatusAndPinsReadTheBoardAndOnlyStatusTakesTheErrorFill) {
  tMorro2Cartridge slot(&bus, handle, &status);
  windows.setRead(window, 0x020, 32, 0x3F4);
  windows.setRead(window, 0x028, 32, 0x12345678);
  windows.clearLog();
  EXPECT_EQ(slot.CcPins[0].readField(3, &status), 1u);
  EXPECT_EQ(slot.ActionBitStatus.readField(1, &status), 0x5678u);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{read(0x020, 0x3F4), read(0x028, 0x12345678)}));
  slot.ActionBitStatus.setField(1, 0xFFFF, &status);
  EXPECT_EQ(slot.ActionBitStatus.getField(0, &status), 0x1234FFFFu);
  EXPECT_EQ(slot.isDirty(0, &status), 0u);

  slot.CcPins[1].setRegister(0x5, &status);
  nQoMDBG100::tStatus2 failedStatus(-1);
  EXPECT_EQ(slot.CcPins[1].readField(1, &failedStatus), 0xFFFFFFFFu);
  EXPECT_EQ(slot.CcPins[1].refresh(&failedStatus), 0xFFFFFFFFu);
  EXPECT_EQ(slot.TimerStatus.refresh(&failedStatus), 0xFFFFFFFFu);
  EXPECT_EQ(slot.CcPins[1].getField(0, &status), 0x5u);
  EXPECT_EQ(slot.TimerStatus.getField(0, &status), 0xFFFFFFFFu);
  windows.clearLog();
  slot.CcPins[1].flush(&status, 1);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x024, 0x5)}));
  EXPECT_EQ(status.code, 0);
}

TEST_F(tChassisMapTest, DirtyAndPlainOperationsTakeTheLowBitsOfTheId) {
  tMorro2Cartridge slot(&bus, handle, &status);
  tMorro map(&bus, handle, &status);
  EXPECT_EQ(reportOf([&](auto* s) { slot.markDirty(60, s); }),
            "-50003 qoudrk tMorro2Cartridge 154");
  EXPECT_EQ(reportOf([&](auto* s) { EXPECT_EQ(slot.isDirty(60, s), 0u); }),
            "-50003 qoudrk tMorro2Cartridge 141");
  EXPECT_EQ(reportOf([&](auto* s) { slot.markClean(60, s); }),
            "-50003 qoudrk tMorro2Cartridge 167");
  EXPECT_EQ(reportOf([&](auto* s) { EXPECT_EQ(map.softCopy(5, s), 0xFFFFFFFFu); }),
            "-50003 qoudrk tMorro 93");
  EXPECT_EQ(reportOf([&](auto* s) { EXPECT_EQ(map.softCopy(21, s), 0xFFFFFFFFu); }),
            "-50003 qoudrk tMorro 93");
  EXPECT_EQ(reportOf([&](auto* s) { map.markDirty(41, s); }), "-50003 qoudrk tMorro 60");
  slot.markClean(59, &status);
  slot.markDirty(0xFE00003B, &status);
  EXPECT_EQ(slot.isDirty(59, &status), 1u);
  EXPECT_EQ(map.softCopy(0xFE000000, &status), 0u);

  map.markClean(3, &status);
  nQoMDBG100::tStatus2 failedStatus(-1);
  map.markAllDirty(&failedStatus);
  EXPECT_EQ(map.isDirty(3, &status), 0u);
  map.markDirty(0, &status);
  map.markAllDirty(&status);
  EXPECT_EQ(dirtyList(map), "0, 3, 12, 14, 16-40");
  EXPECT_EQ(status.code, 0);
}

}  // namespace
}  // namespace nQoTest
