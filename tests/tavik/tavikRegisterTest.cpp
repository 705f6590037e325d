// Tavik register objects: flush and keep masks, typed accessors, field access
// by identifier, strobe, read-only and array registers.
#include <gtest/gtest.h>

#include <vector>

#include "sim/simAllocator.h"
#include "tavik/tavikFixture.h"

namespace nQoTest {
namespace {

using nQoUdRLP100::nTavik::kOutput;

TEST_F(tTavikMapTest, FlushWritesDirtyOrForcedRegistersAndKeepsOnlyTheKeepMask) {
  auto& command = map->AO_Command_2;
  command.setRegister(0xFFFF, &status);
  command.flush(&status, 0);
  EXPECT_EQ(command.getRegister(), 0x3C0E);
  command.flush(&status, 1);
  command.flush(&status, 0);
  command.writeRegister(0x3C0E, &status, 0);  // held, clean, not forced: nothing
  map->markDirty(21, &status);
  command.writeRegister(0x3C0E, &status, 0);
  command.writeRegister(0x3C0E, &status, 1);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{wrote(0x10A, 0xFFFF), wrote(0x10A, 0x3C0E),
                                                 wrote(0x10A, 0x3C0E), wrote(0x10A, 0x3C0E)}));
  map->Analog_Trigger_Etc.flush(&status, 0);
  windows.clearLog();
  map->Analog_Trigger_Etc.setField(0, 0x20, &status);
  map->Analog_Trigger_Etc.flush(&status, 0);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{wrote(0x17A, 0x0020)}));
  EXPECT_EQ(map->Analog_Trigger_Etc.getRegister(), 0);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tTavikMapTest, TypedAccessorsDropExcessBitsAndStopOnAnError) {
  auto& bypass = map->AI_Config_FIFO_Bypass;
  bypass.flush(&status, 0);
  bypass.set_AI_Bypass_Channel(9, &status);  // three bits: 9 keeps 1
  bypass.set_AI_Bypass_Config_FIFO(1, &status);
  EXPECT_EQ(bypass.getRegister(), 0x80000001u);
  EXPECT_EQ(map->isDirty(100, &status), 1u);
  windows.clearLog();
  bypass.write_AI_Bypass_Bank(0xF, &status, 0);
  map->IO_Bidirection_Pin.write_PFI10_Pin_Dir(kOutput, &status, 0);
  map->Interrupt_B_Ack.write_AO_Error_Interrupt_Ack(3, &status);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{wrote(0x218, 0x80000079, 32), wrote(0x172, 0x0400),
                                                 wrote(0x106, 0x2000)}));
  nQoMDBG100::tStatus2 failedStatus(-1);
  windows.clearLog();
  bypass.set_AI_Bypass_Channel(2, &failedStatus);
  bypass.write_AI_Bypass_Bank(1, &failedStatus, 1);
  EXPECT_EQ(bypass.getRegister(), 0x80000079u);
  EXPECT_TRUE(windows.log().empty());
}

TEST_F(tTavikMapTest, InterruptAcknowledgeWritesOneFieldAtOnceAndHasNoSoftCopy) {
  tTavik::tRegister& ack = map->Interrupt_A_Ack;
  ack.writeField(6, 1, &status, 0);
  ack.writeField(16, 1, &status, 0);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{wrote(0x104, 0x0020), wrote(0x104, 0x8000)}));
  EXPECT_EQ(ack.getLockGroup(), map->lockGroup(9));
  const struct {
    uint32_t field, value;
    int code;
  } refused[] = {{8, 1, -50003}, {6, 2, -50005}};
  for (const auto& row : refused) {
    nQoMDBG100::tStatus2 fresh;
    ack.writeField(row.field, row.value, &fresh, 0);
    EXPECT_EQ(fresh.code, row.code);
  }
  ack.setField(6, 1, &status);
  EXPECT_EQ(status.code, -50012);
  status.clear();
  EXPECT_EQ(ack.getField(6, &status), 0xDEADBEEFu);
  EXPECT_EQ(status.code, -50009);
  EXPECT_EQ(windows.log().size(), 2u);
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
  output.setField(6, 3, &status);
  EXPECT_EQ(output.getField(6, &status), 3u);
  EXPECT_EQ(output.getField(7, &status), 0xFFFFu);
  EXPECT_EQ(status.code, -50003);
  status.clear();
  EXPECT_EQ(tTavik::tAI_Output_Control::maskFor(9, &status), 0xFFFFFFFFu);
  EXPECT_EQ(status.code, -50003);
  status.clear();

  map->PFI_Output_Select_1.setRegister(0x8000, &status);
  map->PFI_Output_Select_1.flush(&status, 0);
  windows.clearLog();
  map->PFI_Output_Select_1.writeField(3, 31, &status, 0);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{wrote(0x1D0, 0xFC00)}));
  map->DIO_Direction.setField(32, 1, &status);
  EXPECT_EQ(map->DIO_Direction.getRegister(), 0x80000000u);
  map->DIO_Direction.setField(33, 1, &status);
  EXPECT_EQ(status.code, -50003);
  status.clear();
  map->CDO_Mode.setField(1, 64, &status);
  EXPECT_EQ(status.code, -50005);
}

TEST_F(tTavikMapTest, JointStatusReadsTheBoardOnReadFieldOnly) {
  windows.queueReads(0, 0x136, {0x0001, 0x0000});
  tTavik::tRegister& joint = map->Joint_Status_1;
  EXPECT_EQ(joint.readField(1, &status), 1u);
  EXPECT_EQ(joint.readField(1, &status), 0u);
  EXPECT_EQ(joint.getField(1, &status), 0u);
  EXPECT_EQ(joint.readField(12, &status), 0xFFFFu);
  EXPECT_EQ(status.code, -50003);
  EXPECT_EQ(joint.refresh(&status), 0xFFFFFFFFu);
  EXPECT_EQ(map->Joint_Status_1.getRegister(), 0xFFFF);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{read(0x136, 0x0001), read(0x136, 0x0000)}));
  nQoMDBG100::tStatus2 fresh;
  joint.writeField(9, 1, &fresh, 1);
  EXPECT_EQ(fresh.code, -50012);
}

TEST_F(tTavikMapTest, SharedOffsetsKeepTheirSidesAndElementsWriteAtTheirOwnOffsets) {
  windows.setRead(0, 0x104, 16, 0x1234);
  EXPECT_EQ(map->Read_0104.refresh(&status), 0x1234u);
  map->Interrupt_A_Ack.writeRegister(0x0020, &status);
  EXPECT_EQ(windows.written(0, 0x104, 16), 0x0020u);
  EXPECT_EQ(map->Read_0104.getRegister(), 0x1234);

  windows.clearLog();
  map->registerObject(170)->writeField(1, 1, &status, 0);
  map->Array_00C2[15].writeRegister(0x5A, &status, 0);
  map->Array_0044[6].setRegister(0xBEEF, &status);
  map->Array_0044[6].flush(&status, 0);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{wrote(0x264, 0x01, 8), wrote(0xFE, 0x5A, 8),
                                                 wrote(0x50, 0xBEEF)}));
  EXPECT_EQ(status.code, 0);
}

TEST_F(tTavikMapTest, ACleanFlushMakesNoAccessAndNothingAllocates) {
  map->IO_Bidirection_Pin.flush(&status, 0);
  windows.clearLog();
  const uint64_t allocations = nQoSim::totalAllocations();
  for (int i = 0; i < 20; ++i) {
    map->IO_Bidirection_Pin.set_PFI10_Pin_Dir(i % 10 == 0 ? kOutput : nQoUdRLP100::nTavik::kInput,
                                              &status);
    map->IO_Bidirection_Pin.flush(&status, 0);
  }
  EXPECT_EQ(nQoSim::totalAllocations(), allocations);
  EXPECT_EQ(windows.log().size(), 4u);
}

}  // namespace
}  // namespace nQoTest
