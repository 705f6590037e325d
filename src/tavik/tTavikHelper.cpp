#include "tavik/tTavikHelper.h"

#include <cstddef>

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "frame/tTimerTimeout.h"
#include "registers/registerStatus.h"
#include "registers/tScopedLockSelection.h"
#include "tavik/tTavikAtomicOperation.h"

namespace nQoUdRLP100 {

namespace {

using nQoMDBG100::tStatus2;
using nTavik::tTavik;

constexpr nQoUdR100::tStatusSite kArmTimeout{"qomiorlp/tavik/tTavikHelper", 599};
constexpr nQoUdR100::tStatusSite kElementOutsideMap =
    nTavik::tTavikTraits::kSites.at(nTavik::tTavikTraits::kSites.markClean);

constexpr uint32_t kAOLockGroup = 3;

// The configuration brackets of tJoint_Reset.
void openAIBracket(tTavik& map, tStatus2* status) {
  map.Joint_Reset.write_AI_Configuration_Start(true, status);
}
void closeAIBracket(tTavik& map, tStatus2* status) {
  map.Joint_Reset.write_AI_Configuration_End(true, status);
}
void openAOBracket(tTavik& map, tStatus2* status) {
  map.Joint_Reset.write_AO_Configuration_Start(true, status);
}
void closeAOBracket(tTavik& map, tStatus2* status) {
  map.Joint_Reset.write_AO_Configuration_End(true, status);
}

// Soft copy 0, written whatever it held.
template <class tRegister>
void clearAndWrite(tRegister& target, tStatus2* status) {
  target.writeRegister(0, status, 1);
}

// Writes those of the registers that are dirty, inside the AO bracket.
template <class... tRegisters>
void flushInAOBracket(tTavik& map, tStatus2* status, tRegisters&... registers) {
  openAOBracket(map, status);
  (registers.flush(status, 0), ...);
  closeAOBracket(map, status);
}

void flushBus(tTavik& map, tStatus2* status) {
  if (!failed(status)) map.flushBus(status);
}

// One AI counter: its two load registers, its load select and mode in
// tAI_Mode_2 and its load command in tAI_Command_1.
template <class tFirst, class tSecond>
struct tAICounter {
  tFirst tTavik::*first;
  tSecond tTavik::*second;
  void (tTavik::tAI_Mode_2::*setSelect)(nTavik::tAI_Load_Select, tStatus2*);
  void (tTavik::tAI_Mode_2::*setMode)(uint32_t, tStatus2*);
  void (tTavik::tAI_Command_1::*setLoad)(bool, tStatus2*);
};

using tMode2 = tTavik::tAI_Mode_2;
using tCommand1 = tTavik::tAI_Command_1;
constexpr tAICounter<decltype(tTavik::Write_012C), decltype(tTavik::Write_0130)> kCounterA{
    .first = &tTavik::Write_012C,
    .second = &tTavik::Write_0130,
    .setSelect = &tMode2::set_AI_Counter_A_Load_Select,
    .setMode = &tMode2::set_AI_Counter_A_Mode,
    .setLoad = &tCommand1::set_AI_Counter_A_Load};
constexpr tAICounter<decltype(tTavik::Write_011C), decltype(tTavik::Write_0120)> kCounterB{
    .first = &tTavik::Write_011C,
    .second = &tTavik::Write_0120,
    .setSelect = &tMode2::set_AI_Counter_B_Load_Select,
    .setMode = &tMode2::set_AI_Counter_B_Mode,
    .setLoad = &tCommand1::set_AI_Counter_B_Load};
constexpr tAICounter<decltype(tTavik::Write_0124), decltype(tTavik::Write_0128)> kCounterC{
    .first = &tTavik::Write_0124,
    .second = &tTavik::Write_0128,
    .setSelect = &tMode2::set_AI_Counter_C_Load_Select,
    .setMode = &tMode2::set_AI_Counter_C_Mode,
    .setLoad = &tCommand1::set_AI_Counter_C_Load};

// The load select, then the load command, each made to reach the chip.
template <class tCounter>
void strobeCounterLoad(tTavik& map, const tCounter& counter, nTavik::tAI_Load_Select select,
                       tStatus2* status) {
  (map.AI_Mode_2.*counter.setSelect)(select, status);
  map.AI_Mode_2.flush(status, 0);
  flushBus(map, status);
  (map.AI_Command_1.*counter.setLoad)(true, status);
  map.AI_Command_1.flush(status, 0);
  flushBus(map, status);
}

template <class tCounter>
void configureCounter(tTavik& map, const tCounter& counter, uint32_t firstLoad, uint32_t secondLoad,
                      nTavik::tAI_Load_Select select, uint32_t mode, tStatus2* status) {
  openAIBracket(map, status);
  (map.*counter.first).writeRegister(firstLoad, status, 0);
  (map.*counter.second).writeRegister(secondLoad, status, 0);
  strobeCounterLoad(map, counter, select, status);
  (map.AI_Mode_2.*counter.setMode)(mode, status);
  // The next reload takes the other register.
  (map.AI_Mode_2.*counter.setSelect)(select == nTavik::kFirstLoadRegister
                                         ? nTavik::kSecondLoadRegister
                                         : nTavik::kFirstLoadRegister,
                                     status);
  map.AI_Mode_2.flush(status, 1);
  closeAIBracket(map, status);
}

template <class tCounter>
void loadCounter(tTavik& map, const tCounter& counter, uint32_t value, tStatus2* status) {
  openAIBracket(map, status);
  (map.*counter.first).writeRegister(value, status, 0);
  strobeCounterLoad(map, counter, nTavik::kFirstLoadRegister, status);
  (map.AI_Mode_2.*counter.setMode)(0, status);
  closeAIBracket(map, status);
}

// Clears each element in index order. An element placed outside the map is
// refused before its write, and the sequence stops there.
template <class tElement, std::size_t kCount>
void clearElements(tElement (&elements)[kCount], tStatus2* status) {
  for (tElement& element : elements) {
    if (failed(status)) return;
    if (element.index() >= nTavik::kRegisterCount) {
      nQoUdR100::setCode(status, nQoUdR100::kBadIndex, kElementOutsideMap);
      return;
    }
    clearAndWrite(element, status);
  }
}

// Clears fields of an interrupt enable register (each through its setter) and
// writes it as one bus atomic operation, so that an enable switched on
// meanwhile (they run atomically too) is not lost.
template <auto kEnable, auto... kClears>
struct tAtomicEnableClearOp final
    : tTavikAtomicOperation<tAtomicEnableClearOp<kEnable, kClears...>> {
  using tTavikAtomicOperation<tAtomicEnableClearOp>::tTavikAtomicOperation;
  static void operate(tTavik& map, tStatus2* status) {
    (((map.*kEnable).*kClears)({}, status), ...);
    (map.*kEnable).flush(status, 1);
  }
};

}  // namespace

void tTavikHelper::aoArm(bool wait, bool pulse, tStatus2* status) {
  if (wait && pulse && !failed(status)) {
    nQoUdR100::tTimerTimeout<tTimerTimeWasterSleep, tTimerTimebaseEfficient> timeout(
        1, kTimerTimeUnitMillisecond, 0, nullptr);
    _map->AO_Mode_3.write_AO_Not_An_UPDATE(1, status, 0);
    _map->AO_Mode_3.write_AO_Not_An_UPDATE(0, status, 0);
    int timerStatus = 0;
    timeout.start(&timerStatus);
    // Polls without sleeping: the chip takes the update within microseconds.
    while (_map->Joint_Status_2.read_AO_Update_Pending(status) != 0) {
      if (timeout.isTimeout(&timerStatus) != 0) {
        nQoUdR100::setCode(status, nQoUdR100::kBoardTimeout, kArmTimeout);
        return;
      }
    }
  }
  struct tAtomicArmOp final : tTavikAtomicOperation<tAtomicArmOp> {
    using tTavikAtomicOperation::tTavikAtomicOperation;
    static void operate(tTavik& map, tStatus2* status) {
      map.AO_Command_1.set_AO_Interval_Arm(true, status);
      map.AO_Command_1.set_AO_UC_Arm(true, status);
      map.AO_Command_1.set_AO_BC_Arm(true, status);
      map.AO_Command_1.flush(status, 1);
    }
  };
  tAtomicArmOp(_map, status).run();
}

void tTavikHelper::aoStop(tStatus2* status) {
  struct tAtomicOp final : tTavikAtomicOperation<tAtomicOp> {
    using tTavikAtomicOperation::tTavikAtomicOperation;
    static void operate(tTavik& map, tStatus2* status) {
      openAOBracket(map, status);
      map.AO_Command_1.write_AO_Disarm(true, status, 1);
      closeAOBracket(map, status);
    }
  };
  tAtomicOp(_map, status).run();
}

void tTavikHelper::aiStrobeConvertSync(tStatus2* status) {
  struct tAtomicOp final : tTavikAtomicOperation<tAtomicOp> {
    using tTavikAtomicOperation::tTavikAtomicOperation;
    static void operate(tTavik& map, tStatus2* status) {
      map.AI_Command_1.write_AI_Convert_Sync(true, status, 0);
    }
  };
  tAtomicOp(_map, status).run();
}

void tTavikHelper::aiStrobeStart(tStatus2* status) { _map->Strobe_0108.writeRegister(4, status); }

void tTavikHelper::aiStrobeStart1(tStatus2* status) { _map->Strobe_0108.writeRegister(1, status); }

void tTavikHelper::aiStrobeCommand1Bit2(tStatus2* status) {
  _map->AI_Command_1.write_AI_Bypass_Config_Load(true, status, 0);
}

void tTavikHelper::aiReset(tStatus2* status) {
  _map->Joint_Reset.write_AI_Reset(true, status);
  openAIBracket(*_map, status);
  if (!failed(status))
    tAtomicEnableClearOp<&tTavik::Interrupt_A_Enable,
                         &tTavik::tInterrupt_A_Enable::set_AI_FIFO_Interrupt_Enable,
                         &tTavik::tInterrupt_A_Enable::set_AI_Interrupt_Enables>(_map, status)
        .run();
  for (uint16_t ack : {128, 256, 512, 1024, 2048, 4096, 8192})
    _map->Interrupt_A_Ack.writeRegister(ack, status);
  _map->AI_Command_1.writeRegister(0, status, 0);
  _map->Strobe_0108.writeRegister(0, status);
  _map->AI_Mode_1.setRegister(0, status);
  _map->AI_Mode_1.set_AI_Counter_A_Enable(true, status);
  _map->AI_Mode_1.set_AI_Mode_1_Bit2(true, status);
  _map->AI_Mode_1.flush(status, 1);
  clearAndWrite(_map->AI_Mode_2, status);
  clearAndWrite(_map->AI_Mode_3, status);
  clearAndWrite(_map->AI_Output_Control, status);
  clearAndWrite(_map->AI_Personal, status);
  clearAndWrite(_map->Write_017C, status);
  clearAndWrite(_map->AI_Trigger_Select, status);
  closeAIBracket(*_map, status);
}

void tTavikHelper::aiConfigureCounterA(uint32_t firstLoad, uint32_t secondLoad,
                                       nTavik::tAI_Load_Select select, uint32_t mode,
                                       tStatus2* status) {
  configureCounter(*_map, kCounterA, firstLoad, secondLoad, select, mode, status);
}

void tTavikHelper::aiConfigureCounterB(uint32_t firstLoad, uint32_t secondLoad,
                                       nTavik::tAI_Load_Select select, uint32_t mode,
                                       tStatus2* status) {
  configureCounter(*_map, kCounterB, firstLoad, secondLoad, select, mode, status);
}

void tTavikHelper::aiConfigureCounterC(uint32_t firstLoad, uint32_t secondLoad,
                                       nTavik::tAI_Load_Select select, uint32_t mode,
                                       tStatus2* status) {
  configureCounter(*_map, kCounterC, firstLoad, secondLoad, select, mode, status);
}

void tTavikHelper::aiLoadCounterA(uint32_t value, tStatus2* status) {
  loadCounter(*_map, kCounterA, value, status);
}

void tTavikHelper::aiLoadCounterB(uint32_t value, tStatus2* status) {
  loadCounter(*_map, kCounterB, value, status);
}

void tTavikHelper::aiLoadCounterC(uint32_t value, tStatus2* status) {
  loadCounter(*_map, kCounterC, value, status);
}

void tTavikHelper::aiLoadAndStrobe(uint16_t value, tStatus2* status) {
  openAIBracket(*_map, status);
  _map->Write_0180.setRegister(value, status);
  _map->Write_0180.flush(status, 0);
  flushBus(*_map, status);
  _map->AI_Command_1.write_AI_Strobe_Value_Load(true, status, 0);
  flushBus(*_map, status);
  closeAIBracket(*_map, status);
}

void tTavikHelper::aiConfigureOutputControl(nTavik::tAI_Output_Select outputSelect,
                                            nTavik::tAI_Output_Mode outputMode, bool personalBit10,
                                            tStatus2* status) {
  openAIBracket(*_map, status);
  _map->AI_Output_Control.write_AI_Output_Select(outputSelect, status, 0);
  _map->AI_Output_Control.write_AI_Output_Mode(outputMode, status, 0);
  _map->AI_Personal.write_AI_Personal_Bit10(personalBit10, status, 0);
  closeAIBracket(*_map, status);
}

// The lock is given back before the end strobe, also after a failed step.
void tTavikHelper::aoReset(tStatus2* status) {
  if (failed(status)) return;
  openAOBracket(*_map, status);
  {
    const tScopedLockSelection<tTavik> locked(*_map, {kAOLockGroup}, status);
    aoResetRegisters(status);
  }
  closeAOBracket(*_map, status);
}

void tTavikHelper::aoResetRegisters(tStatus2* status) {
  _map->Joint_Reset.write_AO_Reset(true, status);
  _map->AO_Command_1.write_AO_Disarm(true, status, 1);
  clearAndWrite(_map->AO_Personal, status);
  clearAndWrite(_map->AO_Command_1, status);
  clearAndWrite(_map->AO_Command_2, status);
  clearAndWrite(_map->AO_Mode_1, status);
  clearAndWrite(_map->AO_Mode_2, status);
  clearAndWrite(_map->AO_Output_Control, status);
  clearAndWrite(_map->AO_Mode_3, status);
  clearAndWrite(_map->Write_0184, status);
  clearAndWrite(_map->AO_Trigger_Select, status);
  if (!failed(status))
    tAtomicEnableClearOp<&tTavik::Interrupt_B_Enable,
                         &tTavik::tInterrupt_B_Enable::set_AO_FIFO_Interrupt_Enable,
                         &tTavik::tInterrupt_B_Enable::set_AO_Interrupt_Enables>(_map, status)
        .run();
  _map->AO_Personal.write_AO_Personal_Bit4(true, status, 1);
  for (uint16_t ack : {8, 16, 128, 256, 512, 1024, 2048, 4096, 8192})
    _map->Interrupt_B_Ack.writeRegister(ack, status);
  clearElements(_map->Array_00C2, status);
  clearElements(_map->Array_00C3, status);
  if (!failed(status))
    tAtomicEnableClearOp<&tTavik::Write_00A0, &tTavik::tWrite_00A0::set_AO_MUDS_3_Interrupt_Enable,
                         &tTavik::tWrite_00A0::set_AO_MUDS_2_Interrupt_Enable,
                         &tTavik::tWrite_00A0::set_AO_MUDS_1_Interrupt_Enable,
                         &tTavik::tWrite_00A0::set_AO_MUDS_0_Interrupt_Enable>(_map, status)
        .run();
  tTavik::tAO_Serial_Interrupt_Ack& serialAck = _map->AO_Serial_Interrupt_Ack;
  serialAck.write_AO_MUDS_0_Interrupt_Ack(1, status, 0);
  serialAck.write_AO_MUDS_1_Interrupt_Ack(1, status, 0);
  serialAck.write_AO_MUDS_2_Interrupt_Ack(1, status, 0);
  serialAck.write_AO_MUDS_3_Interrupt_Ack(1, status, 0);
}

void tTavikHelper::aoConfigureOutputControl(nTavik::tAO_Output_Select outputSelect,
                                            bool personalBit6, bool personalBit5,
                                            bool personalBit12, bool personalBit10,
                                            tStatus2* status) {
  openAOBracket(*_map, status);
  _map->AO_Output_Control.write_AO_Output_Select(outputSelect, status, 0);
  _map->AO_Personal.set_AO_Personal_Bit6(personalBit6, status);
  _map->AO_Personal.set_AO_Personal_Bit5(personalBit5, status);
  _map->AO_Personal.set_AO_Personal_Bit12(personalBit12, status);
  _map->AO_Personal.write_AO_Personal_Bit10(personalBit10, status, 0);
  _map->AO_Mode_3.write_AO_Mode_3_Bit0(true, status, 0);
  closeAOBracket(*_map, status);
}

void tTavikHelper::aoConfigureMode2(nTavik::tAO_FIFO_Mode fifoMode, bool regenerate,
                                    tStatus2* status) {
  _map->AO_Mode_2.set_AO_FIFO_Mode(fifoMode, status);
  _map->AO_Mode_2.set_AO_FIFO_Regenerate(regenerate, status);
  flushInAOBracket(*_map, status, _map->AO_Mode_2);
}

void tTavikHelper::aoConfigureMode3(bool mode3Bit3, bool mode3Bit4, bool mode3Bit5,
                                    tStatus2* status) {
  _map->AO_Mode_3.set_AO_Mode_3_Bit3(mode3Bit3, status);
  _map->AO_Mode_3.set_AO_Mode_3_Bit4(mode3Bit4, status);
  _map->AO_Mode_3.set_AO_Mode_3_Bit5(mode3Bit5, status);
  flushInAOBracket(*_map, status, _map->AO_Mode_3);
}

void tTavikHelper::aoConfigureTiming(nTavik::tAO_Timing_Select_B selectB, bool flagB,
                                     nTavik::tAO_Timing_Select_A selectA, bool flagA,
                                     uint32_t updateInterval, bool command2Bit11,
                                     uint32_t initialInterval, tStatus2* status) {
  _map->AO_Command_2.set_AO_Command_2_Bit11(command2Bit11, status);
  _map->AO_Mode_1.set_AO_Timing_Select_B(selectB, status);
  _map->AO_Mode_1.set_AO_Timing_Flag_B(flagB, status);
  _map->AO_Mode_1.set_AO_Timing_Select_A(selectA, status);
  _map->AO_Mode_1.set_AO_Timing_Flag_A(flagA, status);
  _map->AO_Mode_2.set_AO_Mode_2_Bit7(false, status);
  _map->AO_Mode_2.set_AO_Mode_2_Bits6_4(0, status);
  openAOBracket(*_map, status);
  _map->AO_Command_2.flush(status, 0);
  _map->AO_Mode_1.flush(status, 0);
  _map->AO_Mode_2.flush(status, 0);
  _map->Write_0150.writeRegister(initialInterval - 1, status, 0);
  _map->AO_Command_1.write_AO_Interval_Load(true, status, 0);
  _map->Write_0150.writeRegister(updateInterval - 1, status, 0);
  _map->Write_0154.writeRegister(initialInterval - 1, status, 0);
  closeAOBracket(*_map, status);
}

void tTavikHelper::aoLoadUC(bool ucFlag, uint32_t firstBufferUpdates, uint32_t bufferUpdates,
                            uint32_t bufferCount, tStatus2* status) {
  openAOBracket(*_map, status);
  _map->AO_Mode_1.write_AO_UC_Flag(ucFlag, status, 0);
  _map->AO_Mode_2.write_AO_Mode_2_Bit2(false, status, 0);
  _map->Write_0158.writeRegister(bufferCount - 1, status, 0);
  _map->AO_Command_1.write_AO_BC_Load(true, status, 0);
  _map->AO_Mode_2.write_AO_Mode_2_Bit11(false, status, 0);
  _map->AO_UC_Load_A.writeRegister(firstBufferUpdates - 1, status, 0);
  _map->AO_Command_1.write_AO_UC_Load(true, status, 0);
  if (bufferUpdates != 0 && !ucFlag) _map->AO_UC_Load_A.writeRegister(bufferUpdates - 1, status, 0);
  closeAOBracket(*_map, status);
}

void tTavikHelper::aoConfigureTrigger(nTavik::tAO_Start_Trigger_Select triggerSelect,
                                      bool triggerFlagB, bool triggerSelectBit5,
                                      bool triggerSelectBit6, bool triggerSelectBit14,
                                      bool mode1Bit0, bool triggerFlagA, tStatus2* status) {
  _map->AO_Mode_1.set_AO_Mode_1_Bit0(mode1Bit0, status);
  _map->AO_Trigger_Select.set_AO_Start_Trigger_Select(triggerSelect, status);
  _map->AO_Trigger_Select.set_AO_Trigger_Flag_B(triggerFlagB, status);
  _map->AO_Trigger_Select.set_AO_Trigger_Select_Bit5(triggerSelectBit5, status);
  _map->AO_Trigger_Select.set_AO_Trigger_Select_Bit6(triggerSelectBit6, status);
  _map->AO_Trigger_Select.set_AO_Trigger_Select_Bit14(triggerSelectBit14, status);
  _map->AO_Mode_3.set_AO_Trigger_Flag_A(triggerFlagA, status);
  flushInAOBracket(*_map, status, _map->AO_Mode_1, _map->AO_Trigger_Select, _map->AO_Mode_3);
}

void tTavikHelper::aoConfigureFifoOutput(bool mode1Bit5, uint32_t lastChannel, tStatus2* status) {
  openAOBracket(*_map, status);
  _map->AO_Mode_1.write_AO_Mode_1_Bit5(mode1Bit5, status, 0);
  _map->AO_Output_Control.write_AO_Last_Channel(lastChannel, status, 0);
  closeAOBracket(*_map, status);
}

}  // namespace nQoUdRLP100
