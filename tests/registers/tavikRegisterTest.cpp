// Tavik register objects: typed accessors, keep masks, field access by
// identifier, read-only and strobe registers.
#include <gtest/gtest.h>

#include <vector>

#include "registers/tTavik.h"
#include "sim/simAllocator.h"
#include "tavikFixture.h"

namespace nQoTest {
namespace {

using nQoUdRLP100::nTavik::kOutput;
using nQoUdRLP100::nTavik::tTavik;

TEST_F(tTavikMapTest, FlushWritesDirtyOrForcedRegistersAndDropsStrobeBits) {
  auto& command = map->AO_Command_2;
  command.setRegister(0xFFFF, &status);
  command.flush(&status, 0);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x10A, 16, 0xFFFF)}));
  EXPECT_EQ(command.getRegister(), 0x3C0E);
  EXPECT_EQ(map->isDirty(21, &status), 0u);

  windows.clearLog();
  command.flush(&status, 1);
  command.flush(&status, 0);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x10A, 16, 0x3C0E)}));

  // The value held, no force, clean: nothing; dirty or forced: written.
  windows.clearLog();
  command.writeRegister(0x3C0E, &status, 0);
  EXPECT_TRUE(windows.log().empty());
  map->markDirty(21, &status);
  command.writeRegister(0x3C0E, &status, 0);
  command.writeRegister(0x3C0E, &status, 1);
  command.writeRegister(0x0002, &status, 0);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x10A, 16, 0x3C0E),
                                                 written(0x10A, 16, 0x3C0E),
                                                 written(0x10A, 16, 0x0002)}));

  map->AI_Command_1.setRegister(0x0101, &status);
  map->AI_Command_1.flush(&status, 0);
  EXPECT_EQ(map->AI_Command_1.getRegister(), 0);
  map->TESK_Control.write_TESK_Front_Panel_MISO_Enable(1, &status, 0);
  map->TESK_Control.setRegister(0x44, &status);
  map->TESK_Control.flush(&status, 0);
  EXPECT_EQ(map->TESK_Control.getRegister(), 0x04);
  map->AO_Serial_Interrupt_Ack.set_AO_MUDS_2_Interrupt_Ack(1, &status);
  map->AO_Serial_Interrupt_Ack.flush(&status, 0);
  EXPECT_EQ(map->AO_Serial_Interrupt_Ack.getRegister(), 0);
  EXPECT_EQ(windows.writes().back(), written(0xA1, 8, 0x04));
}

TEST_F(tTavikMapTest, FieldSettersMarkOnlyOnChangeAndDropBitsBeyondTheField) {
  auto& bypass = map->AI_Config_FIFO_Bypass;
  bypass.flush(&status, 0);
  windows.clearLog();
  bypass.set_AI_Bypass_Gain(0, &status);
  EXPECT_EQ(map->isDirty(100, &status), 0u);
  bypass.set_AI_Bypass_Channel(9, &status);  // three bits: 9 keeps 1
  bypass.set_AI_Bypass_Config_FIFO(1, &status);
  EXPECT_EQ(bypass.getRegister(), 0x80000001u);
  EXPECT_EQ(map->isDirty(100, &status), 1u);
  bypass.write_AI_Bypass_Bank(0xF, &status, 0);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x218, 32, 0x80000079)}));

  // Typed setters of enumerations and directions, and a strobe field.
  map->Clock_And_Fout2.set_RIVO_Clock_Freq(
      nQoUdRLP100::nTavik::nClock_And_Fout2::nRIVO_Clock_Freq::kRIVO_Clock_Freq_1, &status);
  EXPECT_EQ(map->Clock_And_Fout2.getRegister(), 0x80);
  windows.clearLog();
  map->IO_Bidirection_Pin.write_PFI10_Pin_Dir(kOutput, &status, 0);
  map->Interrupt_B_Ack.write_AO_Error_Interrupt_Ack(3, &status);
  map->Joint_Reset.writeRegister(0x0010, &status);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x172, 16, 0x0400),
                                                 written(0x106, 16, 0x2000),
                                                 written(0x190, 16, 0x0010)}));

  // A status that holds an error stops every accessor.
  nQoMDBG100::tStatus2 failedStatus(-1);
  windows.clearLog();
  bypass.set_AI_Bypass_Channel(2, &failedStatus);
  bypass.write_AI_Bypass_Bank(1, &failedStatus, 1);
  map->Joint_Reset.writeRegister(1, &failedStatus);
  map->AO_Command_2.writeRegister(0x1234, &failedStatus, 1);
  EXPECT_EQ(bypass.getRegister(), 0x80000079u);
  EXPECT_TRUE(windows.log().empty());
}

TEST_F(tTavikMapTest, InterruptAcknowledgeWritesOneFieldAtOnceAndHasNoSoftCopy) {
  auto& ack = map->Interrupt_A_Ack;
  tTavik::tRegister& generic = ack;
  generic.writeField(6, 1, &status, 0);
  generic.writeField(16, 1, &status, 0);
  generic.writeField(0, 0x1234, &status, 0);
  ack.writeRegister(0x0002, &status);
  generic.flush(&status, 1);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x104, 16, 0x0020),
                                                 written(0x104, 16, 0x8000),
                                                 written(0x104, 16, 0x1234),
                                                 written(0x104, 16, 0x0002)}));
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(generic.getLockGroup(), map->lockGroup(9));
  EXPECT_EQ(generic.isWritable(), 1u);
  EXPECT_EQ(generic.isReadable(), 0u);

  generic.writeField(8, 1, &status, 0);  // in the tables, served by nothing
  EXPECT_EQ(status.code, -50003);
  status.clear();
  generic.writeField(6, 2, &status, 0);
  EXPECT_EQ(status.code, -50005);
  status.clear();
  generic.setField(6, 1, &status);
  EXPECT_EQ(status.code, -50012);
  status.clear();
  EXPECT_EQ(generic.getField(6, &status), 0xDEADBEEFu);
  EXPECT_EQ(status.code, -50009);
  EXPECT_EQ(generic.getField(6, &status), 0xDEADBEEFu);
  EXPECT_EQ(windows.log().size(), 4u);
}

TEST_F(tTavikMapTest, FieldOperationsRefuseUnservedIdsAndWideValues) {
  tTavik::tRegister& output = map->AI_Output_Control;
  EXPECT_EQ(tTavik::tAI_Output_Control::maskFor(1, &status), 3u);
  output.setField(1, 1, &status);
  EXPECT_EQ(lastReport(), "-50003 qoudrk qomiorlp/tavik/tTavik 2580");
  status.clear();
  output.setField(0, 0x10000, &status);
  EXPECT_EQ(status.code, -50005);
  EXPECT_EQ(map->AI_Output_Control.getRegister(), 0);
  status.clear();
  output.setField(6, 4, &status);
  EXPECT_EQ(status.code, -50005);
  status.clear();
  output.setField(6, 3, &status);
  output.setField(8, 1, &status);
  EXPECT_EQ(map->AI_Output_Control.getRegister(), 0x04C0);
  EXPECT_EQ(output.getField(6, &status), 3u);
  EXPECT_EQ(output.readField(8, &status), 1u);
  EXPECT_EQ(output.getField(7, &status), 0xFFFFu);
  EXPECT_EQ(status.code, -50003);
  EXPECT_EQ(output.getField(6, &status), 0xFFFFFFFFu);  // error held
  status.clear();

  EXPECT_EQ(tTavik::tAI_Output_Control::offsetFor(8, &status), 10u);
  EXPECT_EQ(tTavik::tAI_Output_Control::maskFor(2, &status), 0u);
  EXPECT_EQ(tTavik::tAI_Output_Control::maskFor(9, &status), 0xFFFFFFFFu);
  EXPECT_EQ(status.code, -50003);
  status.clear();
  EXPECT_EQ(tTavik::tTESK_Output_Enable::maskFor(0, &status), 0xFFu);
  EXPECT_EQ(tTavik::tDIO_Direction::maskFor(0, &status), 0xFFFFFFFFu);
  EXPECT_TRUE(windows.log().empty());
}

TEST_F(tTavikMapTest, JointStatusReadsTheBoardOnReadFieldOnly) {
  windows.queueReads(0, 0x136, {0x0001, 0x0000});
  tTavik::tRegister& joint = map->Joint_Status_1;
  EXPECT_EQ(joint.readField(1, &status), 1u);
  EXPECT_EQ(joint.readField(1, &status), 0u);
  EXPECT_EQ(joint.getField(1, &status), 0u);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{read(0x136, 16, 0x0001),
                                                 read(0x136, 16, 0x0000)}));
  EXPECT_EQ(joint.readField(12, &status), 0xFFFFu);
  EXPECT_EQ(status.code, -50003);
  EXPECT_EQ(windows.log().size(), 2u);

  // setField changes the soft copy only; writes are refused.
  status.clear();
  joint.setField(9, 3, &status);
  EXPECT_EQ(joint.getField(9, &status), 3u);
  EXPECT_EQ(map->isDirty(47, &status), 0u);
  joint.writeField(9, 1, &status, 1);
  EXPECT_EQ(status.code, -50012);
  EXPECT_EQ(joint.refresh(&status), 0xFFFFFFFFu);
  EXPECT_EQ(map->Joint_Status_1.getRegister(), 0xFFFF);
  EXPECT_EQ(joint.isReadable(), 1u);
  EXPECT_EQ(joint.getLockGroup(), nullptr);
  EXPECT_EQ(windows.log().size(), 2u);
}

TEST_F(tTavikMapTest, DigitalAndPfiRegistersFollowTheirFieldTables) {
  auto& select = map->PFI_Output_Select_1;
  select.setRegister(0x8000, &status);
  select.flush(&status, 0);
  windows.clearLog();
  select.writeField(3, 31, &status, 0);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x1D0, 16, 0xFC00)}));

  map->DIO_Direction.setField(32, 1, &status);
  EXPECT_EQ(map->DIO_Direction.getRegister(), 0x80000000u);
  map->DIO_Direction.setField(0, 0xFFFFFFFF, &status);
  EXPECT_EQ(status.code, 0);
  map->DIO_Direction.setField(33, 1, &status);
  EXPECT_EQ(status.code, -50003);
  status.clear();

  map->CDO_Mode.setField(1, 64, &status);
  EXPECT_EQ(status.code, -50005);
  status.clear();
  map->CDO_Mode.setField(1, 63, &status);
  EXPECT_EQ(map->CDO_Mode.getRegister(), 0x3Fu);
  map->RIVO_Trig_Direction.setField(9, 1, &status);
  EXPECT_EQ(map->RIVO_Trig_Direction.getRegister(), 0x0100);
  map->RIVO_Trig_Direction.setField(5, 1, &status);
  EXPECT_EQ(status.code, -50003);
  status.clear();
  map->TESK_Output_Enable.setField(1, 1, &status);
  EXPECT_EQ(status.code, -50003);
  status.clear();
  map->RIVO_Shared_MUX.setRegister(0x1234, &status);
  EXPECT_EQ(map->RIVO_Shared_MUX.getField(2, &status), 3u);
  map->PFI_Filter.setField(16, 2, &status);
  EXPECT_EQ(map->PFI_Filter.getRegister(), 0x80000000u);

  map->Analog_Trigger_Etc.flush(&status, 0);
  windows.clearLog();
  map->Analog_Trigger_Etc.setField(0, 0x20, &status);
  map->Analog_Trigger_Etc.flush(&status, 0);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x17A, 16, 0x0020)}));
  EXPECT_EQ(map->Analog_Trigger_Etc.getRegister(), 0);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tTavikMapTest, WriteFieldWritesOnChangeForceOrDirt) {
  tTavik::tRegister& clock = map->Clock_and_FOUT;
  clock.flush(&status, 0);
  windows.clearLog();
  clock.writeField(0, 0, &status, 0);  // unchanged, clean
  clock.writeField(2, 0, &status, 0);
  EXPECT_TRUE(windows.log().empty());
  clock.writeField(0, 0, &status, 1);
  clock.writeField(0, 0x0010, &status, 0);
  map->markDirty(38, &status);
  clock.writeField(2, 1, &status, 0);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x170, 16, 0x0000),
                                                 written(0x170, 16, 0x0010),
                                                 written(0x170, 16, 0x0010)}));
  EXPECT_EQ(map->isDirty(38, &status), 0u);
  EXPECT_EQ(clock.getLockGroup(), map->lockGroup(11));
  EXPECT_EQ(map->Static_AI_Control[5].getLockGroup(), map->lockGroup(22));
  EXPECT_EQ(map->registerObject(50)->getLockGroup(), map->lockGroup(12));
}

TEST_F(tTavikMapTest, ArrayElementsWriteAtTheirOwnOffsets) {
  tTavik::tRegister& element = *map->registerObject(170);
  element.writeField(1, 1, &status, 0);
  map->Array_00C2[15].writeRegister(0x5A, &status, 0);
  map->Array_0044[6].setRegister(0xBEEF, &status);
  map->Array_0044[6].flush(&status, 0);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x264, 8, 0x01),
                                                 written(0xFE, 8, 0x5A),
                                                 written(0x50, 16, 0xBEEF)}));
  EXPECT_EQ(map->isDirty(170, &status), 0u);
  EXPECT_EQ(map->isDirty(165, &status), 0u);
  EXPECT_EQ(map->Static_AI_Control[4].index(), 170u);
}

TEST_F(tTavikMapTest, ReadAndWriteSidesOfOneOffsetStayApart) {
  windows.setRead(0, 0x104, 16, 0x1234);
  EXPECT_EQ(map->Read_0104.refresh(&status), 0x1234u);
  map->Interrupt_A_Ack.writeRegister(0x0020, &status);
  EXPECT_EQ(windows.written(0, 0x104, 16), 0x0020u);
  EXPECT_EQ(map->Read_0104.getRegister(), 0x1234);

  windows.setRead(0, 0x184, 32, 0x89ABCDEF);
  map->Write_0184.writeRegister(0x1111, &status, 0);
  EXPECT_EQ(map->Read_0184.refresh(&status), 0x89ABCDEFu);
  EXPECT_EQ(map->Write_0184.getRegister(), 0x1111);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{read(0x104, 16, 0x1234),
                                                 written(0x104, 16, 0x0020),
                                                 written(0x184, 16, 0x1111),
                                                 read(0x184, 32, 0x89ABCDEF)}));
}

TEST_F(tTavikMapTest, ACleanFlushMakesNoAccessAndNothingAllocates) {
  map->IO_Bidirection_Pin.flush(&status, 0);
  windows.clearLog();
  const uint64_t allocations = nQoSim::totalAllocations();
  for (int i = 0; i < 100; ++i) {
    map->IO_Bidirection_Pin.set_PFI10_Pin_Dir(i % 10 == 0 ? kOutput : nQoUdRLP100::nTavik::kInput,
                                             &status);
    map->IO_Bidirection_Pin.flush(&status, 0);
    map->registerObject(44)->writeField(12, i % 10 == 0 ? 1 : 0, &status, 0);
  }
  EXPECT_EQ(nQoSim::totalAllocations(), allocations);
  EXPECT_EQ(windows.log().size(), 40u);  // on and off, by name and by id, in every ten passes
}

}  // namespace
}  // namespace nQoTest
