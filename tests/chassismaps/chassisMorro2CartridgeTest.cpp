// The second-generation cartridge map: what construction flags, and how each
// kind of register class (control, strobe, status, pins) serves its
// operations, with the single-field setters and the map's dirty operations.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "chassis/maps/tMorro2Cartridge.h"
#include "chassisMapFixture.h"

namespace nQoTest {
namespace {

using nQoUdRLP100::tMorro2Cartridge;
using tSlot = tMorro2Cartridge;

// Each class has the whole-register accessors its kind lists, and no others.
template <class tRegister>
constexpr bool hasSetRegister = requires(tRegister& r) {
  r.setRegister(0u, nullptr);
};
template <class tRegister>
constexpr bool hasWriteRegister = requires(tRegister& r) {
  r.writeRegister(0u, nullptr);
};
template <class tRegister>
constexpr bool hasGetRegister = requires(tRegister& r) {
  r.getRegister();
};
static_assert(hasSetRegister<tSlot::tCYA> && hasSetRegister<tSlot::tCcPins>);
static_assert(!hasSetRegister<tSlot::tInputHeader> && !hasSetRegister<tSlot::tTimerResetValueA>);
static_assert(!hasGetRegister<tSlot::tCYA> && !hasGetRegister<tSlot::tTimerStatus>);
static_assert(hasWriteRegister<tSlot::tInterruptEnable>);
static_assert(!hasWriteRegister<tSlot::tActionBitSet> &&
              !hasWriteRegister<tSlot::tTimedDigitalControlStrobes>);
// No plain registers, no locks.
template <class tMap>
constexpr bool hasPlainOrLocks = requires(tMap& map) { map.softCopy(0u, nullptr); } ||
                                 requires(tMap& map) { map.lock(1u); };
static_assert(!hasPlainOrLocks<tSlot>);

class tSlotTest : public tChassisMapTest {
 protected:
  void SetUp() override {
    tChassisMapTest::SetUp();
    slot = new tSlot(&bus, handle, &status);
    ASSERT_EQ(status.code, 0);
    nQoSim::clearStatusLog();
  }
  void TearDown() override {
    delete slot;
    tChassisMapTest::TearDown();
  }

  tSlot* slot = nullptr;
};

TEST_F(tSlotTest, AFreshSlotFlagsEveryControlAndPinRegister) {
  std::vector<uint32_t> expected;
  for (uint32_t index : range(13, 26)) expected.push_back(index);
  expected.erase(expected.begin() + 3);  // 16, a strobe
  for (uint32_t index :
       {30, 31, 33, 34, 35, 38, 39, 40, 41, 43, 44, 47, 48, 49, 52, 53, 54, 56, 58, 59})
    expected.push_back(index);
  EXPECT_EQ(dirtyIndexes(*slot), expected);
  // Every soft copy starts at 0; strobes keep none.
  const std::vector<uint32_t> strobes{1,  2,  3,  5,  6,  7,  8,  9,  10, 11,
                                      16, 27, 32, 36, 42, 45, 50, 51, 55};
  for (uint32_t index = 0; index < tSlot::kRegisterCount; ++index) {
    tSlot::tRegister* object = slot->registerObject(index);
    ASSERT_NE(object, nullptr);
    const bool strobe = std::find(strobes.begin(), strobes.end(), index) != strobes.end();
    EXPECT_EQ(object->getField(0, nullptr), strobe ? 0xDEADBEEFu : 0u) << index;
  }
  slot->CYA.flush(&status, 0);
  slot->CYA.flush(&status, 0);
  slot->DataMemory.flush(&status, 0);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x0FC, 0), written(0x400, 0)}));
  EXPECT_EQ(status.code, 0);
}

TEST_F(tSlotTest, PinElementsArePlacedWhenTheMapIsBuilt) {
  nQoMDBG100::tStatus2 failedStatus(-1);
  tSlot unset(&bus, handle, &failedStatus);
  EXPECT_EQ(unset.CcLowerPinSources.offset(), 0x014u);
  EXPECT_EQ(unset.CcLowerPinSources.index(), 15u);
  EXPECT_EQ(unset.CcPinDirections.index(), 23u);
  EXPECT_EQ(unset.CcPins[1].offset(), 0x024u);
  EXPECT_EQ(unset.CcPins[1].index(), 25u);
  EXPECT_EQ(unset.registerObject(24), nullptr);
  EXPECT_EQ(slot->registerObject(25), &slot->CcPins[1]);
}

TEST_F(tSlotTest, StrobesWriteTheirFieldAtOnceWithEveryOtherBitClear) {
  slot->CartridgeControlStrobes.writeField(2, 1, &status, 0);
  slot->ActionBitSet.writeField(1, 0x8001, &status, 0);
  slot->ActionBitSet.writeField(0, 0x10000, &status, 0);
  slot->HsiOutputStrobes.writeField(3, 1, &status, 0);
  slot->DI_ChangeDetectIrq.writeField(4, 1, &status, 0);
  slot->TimerControlStrobes.writeField(11, 1, &status, 0);
  slot->TimedDigitalControlStrobes.writeField(2, 1, &status, 0);
  slot->InterruptDisable.writeRegister(0x7F, &status);
  slot->FifoControlStrobes.flush(&status, 1);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x058, 0x2), written(0x02C, 0x8001),
                                                 written(0x02C, 0x10000), written(0x090, 0x4),
                                                 written(0x0C8, 0x10), written(0x060, 0x400),
                                                 written(0x0DC, 0x2), written(0x0C0, 0x7F)}));
  windows.clearLog();

  slot->ActionBitSet.writeField(1, 0x10000, &status, 0);
  EXPECT_EQ(status.code, -50005);
  status.clear();
  slot->DI_ChangeDetectIrq.writeField(3, 1, &status, 0);
  EXPECT_EQ(status.code, -50003);
  slot->TimedDigitalControlStrobes.writeField(2, 1, &status, 0);
  slot->InterruptEnable.writeRegister(1, &status);
  EXPECT_TRUE(windows.log().empty());
  status.clear();

  EXPECT_EQ(slot->CartridgeControlStrobes.getField(2, &status), 0xDEADBEEFu);
  EXPECT_EQ(lastReport(), "-50009 qoudrk tMorro2Cartridge 46");
  EXPECT_EQ(slot->CartridgeControlStrobes.readField(2, &status), 0xDEADBEEFu);
  status.clear();
  slot->CartridgeControlStrobes.setField(2, 1, &status);
  EXPECT_EQ(lastReport(), "-50012 qoudrk tMorro2Cartridge 32");
  status.clear();
  slot->CartridgeControlStrobes.refresh(&status);
  EXPECT_EQ(lastReport(), "-50009 qoudrk tMorro2Cartridge 25");
}

TEST_F(tSlotTest, StatusRegistersAreReadIntoTheSoftCopyAndNeverWritten) {
  windows.setRead(window, 0x028, 32, 0x12345678);
  windows.setRead(window, 0x068, 32, 0x2);
  EXPECT_EQ(slot->ActionBitStatus.readField(1, &status), 0x5678u);
  EXPECT_EQ(slot->TimerStatus.readField(2, &status), 1u);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{read(0x028, 0x12345678), read(0x068, 0x2)}));

  // setField changes only the soft copy; the next read replaces it.
  slot->ActionBitStatus.setField(1, 0xFFFF, &status);
  EXPECT_EQ(slot->ActionBitStatus.getField(0, &status), 0x1234FFFFu);
  EXPECT_EQ(slot->isDirty(0, &status), 0u);
  EXPECT_EQ(slot->ActionBitStatus.readField(1, &status), 0x5678u);
  EXPECT_EQ(slot->HsiStatus.getField(4, &status), 0xFFFFFFFFu);
  EXPECT_EQ(status.code, -50003);
  status.clear();

  slot->TimerStatus.flush(&status, 1);
  EXPECT_EQ(lastReport(), "-50012 qoudrk tMorro2Cartridge 20");
  status.clear();
  slot->TimerStatus.writeField(1, 1, &status, 1);
  EXPECT_EQ(lastReport(), "-50012 qoudrk tMorro2Cartridge 40");
  EXPECT_TRUE(windows.writes().empty());
}

TEST_F(tSlotTest, PinsAreReadAndWrittenAndKeepTheirSoftCopyUnderAnError) {
  windows.setRead(window, 0x020, 32, 0x3F4);
  EXPECT_EQ(slot->CcPins[0].readField(3, &status), 1u);
  EXPECT_EQ(slot->CcPins[0].getField(1, &status), 0u);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{read(0x020, 0x3F4)}));
  EXPECT_EQ(slot->CcPins[0].isReadable(), 1u);
  EXPECT_EQ(slot->CcPins[0].isWritable(), 1u);

  slot->CcPins[1].setRegister(0x5, &status);
  slot->TimerStatus.setField(0, 0x3, &status);
  nQoMDBG100::tStatus2 failedStatus(-1);
  EXPECT_EQ(slot->CcPins[1].readField(1, &failedStatus), 0xFFFFFFFFu);
  EXPECT_EQ(slot->CcPins[1].refresh(&failedStatus), 0xFFFFFFFFu);
  EXPECT_EQ(slot->TimerStatus.refresh(&failedStatus), 0xFFFFFFFFu);
  EXPECT_EQ(slot->CcPins[1].getField(0, &status), 0x5u);
  EXPECT_EQ(slot->TimerStatus.getField(0, &status), 0xFFFFFFFFu);
  windows.clearLog();
  slot->CcPins[1].flush(&status, 1);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x024, 0x5)}));
  EXPECT_EQ(slot->isDirty(25, &status), 0u);
}

TEST_F(tSlotTest, TheMapsDirtyOperationsUseTheLowBitsOfTheId) {
  slot->markDirty(60, &status);
  EXPECT_EQ(lastReport(), "-50003 qoudrk tMorro2Cartridge 154");
  status.clear();
  EXPECT_EQ(slot->isDirty(60, &status), 0u);
  EXPECT_EQ(lastReport(), "-50003 qoudrk tMorro2Cartridge 141");
  status.clear();
  slot->markClean(60, &status);
  EXPECT_EQ(lastReport(), "-50003 qoudrk tMorro2Cartridge 167");
  status.clear();
  slot->markClean(59, &status);
  slot->markDirty(0xFE00003B, &status);
  EXPECT_EQ(slot->isDirty(59, &status), 1u);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tSlotTest, SingleFieldSettersDropExcessBitsAndMarkOnlyChanges) {
  slot->HsiOutputLength.setHsiOutputLengthBf(0x2001, &status);
  EXPECT_EQ(slot->HsiOutputLength.getField(0, &status), 1u);
  EXPECT_TRUE(nQoSim::statusLog().empty());

  // Bits above the field stay as they were; an unchanged field leaves the flag.
  slot->InputFifoTransferCount.writeField(0, 0xFFFFFC00, &status, 0);
  slot->InputFifoTransferCount.setInputFifoTransferCountBf(0x7FF, &status);
  EXPECT_EQ(slot->InputFifoTransferCount.getField(0, &status), 0xFFFFFFFFu);
  slot->InputFifoTransferCount.flush(&status, 0);
  slot->InputFifoTransferCount.setInputFifoTransferCountBf(0x3FF, &status);
  EXPECT_EQ(slot->isDirty(38, &status), 0u);
  slot->SpiDivideRate.setSpiDivideRateBf(0x12345, &status);
  EXPECT_EQ(slot->SpiDivideRate.getField(1, &status), 0x2345u);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tSlotTest, ControlFieldsAreCheckedAgainstTheirTables) {
  slot->CYA.flush(&status, 0);
  for (uint32_t field : {3u, 6u, 8u}) {
    slot->CYA.setField(field, 0, &status);
    EXPECT_EQ(status.code, -50003) << field;
    status.clear();
  }
  slot->CYA.setField(5, 4, &status);
  EXPECT_EQ(lastReport(), "-50005 qoudrk tMorro2Cartridge 6905");
  status.clear();
  EXPECT_EQ(slot->isDirty(59, &status), 0u);
  slot->CYA.setField(5, 3, &status);
  EXPECT_EQ(slot->CYA.getField(0, &status), 0x30u);
  EXPECT_EQ(slot->isDirty(59, &status), 1u);

  slot->GlobalPulseDelay.setField(1, 0x100000, &status);
  EXPECT_EQ(status.code, -50005);
  status.clear();
  slot->GlobalPulseDelay.setField(1, 0xFFFFF, &status);
  slot->GlobalPulseDelay.setField(3, 15, &status);
  slot->HsiInputControl.setField(14, 7, &status);
  EXPECT_EQ(slot->GlobalPulseDelay.getField(0, &status), 0x0F0FFFFFu);
  EXPECT_EQ(slot->HsiInputControl.getField(0, &status), 0x70000000u);
  EXPECT_EQ(tSlot::tCartridgeControl::maskFor(1, &status), 0u);
  EXPECT_EQ(tSlot::tCartridgeControl::maskFor(13, &status), 0x1000000u);
  EXPECT_EQ(tSlot::tCartridgeControl::maskFor(14, &status), 0xFFFFFFFFu);
  EXPECT_EQ(status.code, -50003);
}

}  // namespace
}  // namespace nQoTest
