#include "tavik/tTavikHelper.h"

#include <cstddef>

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "frame/tTimerTimeout.h"
#include "registers/registerStatus.h"
#include "registers/registerWidth.h"
#include "tavik/tTavikAtomicOperation.h"

namespace nQoUdRLP100 {

namespace {

using nQoMDBG100::tStatus2;
using nTavik::tTavik;

constexpr nQoUdR100::tStatusSite kArmTimeout{"qomiorlp/tavik/tTavikHelper", 599};
constexpr nQoUdR100::tStatusSite kElementOutsideMap =
    nTavik::tTavikTraits::kSites.at(nTavik::tTavikTraits::kSites.markClean);

// tJoint_Reset: engine resets and configuration brackets.
constexpr uint16_t kAIReset = 1;
constexpr uint16_t kAOReset = 2;
constexpr uint16_t kAIConfigStart = 16;
constexpr uint16_t kAOConfigStart = 32;
constexpr uint16_t kAIConfigEnd = 256;
constexpr uint16_t kAOConfigEnd = 512;

constexpr uint32_t kAOLockGroup = 3;
// Bit 5 of tJoint_Status_2: the AO engine has not taken the update yet.
constexpr uint32_t kAOUpdatePending = 0x20;

// Sets bits high..low of the soft copy to the value's low bits (dirty on change).
template <class tRegister>
void setField(tRegister& target, unsigned high, unsigned low, uint32_t value, tStatus2* status) {
  target.setBits(fieldMask(high, low), low, value, status);
}

// The same, then a write when the register is dirty.
template <class tRegister>
void setAndFlush(tRegister& target, unsigned high, unsigned low, uint32_t value, tStatus2* status) {
  setField(target, high, low, value, status);
  target.flush(status, 0);
}

// Clears the bits of the mask in the soft copy (dirty on change).
template <class tRegister>
void clearBits(tRegister& target, uint32_t mask, tStatus2* status) {
  target.setBits(mask, 0, 0, status);
}

// Soft copy 0, written whatever it held.
template <class tRegister>
void clearAndWrite(tRegister& target, tStatus2* status) {
  target.writeRegister(0, status, 1);
}

void strobe(tTavik& map, uint16_t value, tStatus2* status) {
  map.Joint_Reset.writeRegister(value, status);
}

// Writes those of the registers that are dirty, inside the AO bracket.
template <class... tRegisters>
void flushInAOBracket(tTavik& map, tStatus2* status, tRegisters&... registers) {
  strobe(map, kAOConfigStart, status);
  (registers.flush(status, 0), ...);
  strobe(map, kAOConfigEnd, status);
}

void flushBus(tTavik& map, tStatus2* status) {
  if (!failed(status)) map.flushBus(status);
}

// One AI counter: its load registers, its select bit and mode bits in
// tAI_Mode_2, its load command bit in tAI_Command_1.
template <class tFirst, class tSecond>
struct tAICounter {
  tFirst tTavik::*first;
  tSecond tTavik::*second;
  unsigned selectBit;
  unsigned commandBit;
  unsigned modeHigh;
  unsigned modeLow;
};
template <class tFirst, class tSecond>
tAICounter(tFirst tTavik::*, tSecond tTavik::*, unsigned, unsigned, unsigned, unsigned)
    -> tAICounter<tFirst, tSecond>;

constexpr tAICounter kCounterA{&tTavik::Write_012C, &tTavik::Write_0130, 9, 11, 8, 8};
constexpr tAICounter kCounterB{&tTavik::Write_011C, &tTavik::Write_0120, 7, 9, 6, 4};
constexpr tAICounter kCounterC{&tTavik::Write_0124, &tTavik::Write_0128, 2, 5, 1, 1};

// The select, then the load command, each made to reach the chip.
template <class tCounter>
void strobeCounterLoad(tTavik& map, const tCounter& counter, uint32_t select, tStatus2* status) {
  setAndFlush(map.AI_Mode_2, counter.selectBit, counter.selectBit, select, status);
  flushBus(map, status);
  setAndFlush(map.AI_Command_1, counter.commandBit, counter.commandBit, 1, status);
  flushBus(map, status);
}

template <class tCounter>
void configureCounter(tTavik& map, const tCounter& counter, uint32_t first, uint32_t second,
                      uint32_t select, uint32_t mode, tStatus2* status) {
  strobe(map, kAIConfigStart, status);
  (map.*counter.first).writeRegister(first, status, 0);
  (map.*counter.second).writeRegister(second, status, 0);
  strobeCounterLoad(map, counter, select, status);
  setField(map.AI_Mode_2, counter.modeHigh, counter.modeLow, mode, status);
  setField(map.AI_Mode_2, counter.selectBit, counter.selectBit, (select & 1) ^ 1, status);
  map.AI_Mode_2.flush(status, 1);
  strobe(map, kAIConfigEnd, status);
}

template <class tCounter>
void loadCounter(tTavik& map, const tCounter& counter, uint32_t value, tStatus2* status) {
  strobe(map, kAIConfigStart, status);
  (map.*counter.first).writeRegister(value, status, 0);
  strobeCounterLoad(map, counter, 0, status);
  setField(map.AI_Mode_2, counter.modeHigh, counter.modeLow, 0, status);
  strobe(map, kAIConfigEnd, status);
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

// Clears bits of an interrupt enable register and writes it as one bus atomic
// operation, so that an enable switched on meanwhile (they run atomically too)
// is not lost.
template <auto kEnable, uint32_t kBits>
struct tAtomicEnableClearOp final : tTavikAtomicOperation<tAtomicEnableClearOp<kEnable, kBits>> {
  using tTavikAtomicOperation<tAtomicEnableClearOp>::tTavikAtomicOperation;
  static void operate(tTavik& map, tStatus2* status) {
    clearBits(map.*kEnable, kBits, status);
    (map.*kEnable).flush(status, 1);
  }
};

}  // namespace

void tTavikHelper::aoArm(uint32_t wait, uint32_t pulse, tStatus2* status) {
  if (wait != 0 && pulse != 0 && !failed(status)) {
    nQoUdR100::tTimerTimeout<tTimerTimeWasterSleep, tTimerTimebaseEfficient> timeout(
        1, kTimerTimeUnitMillisecond, 0, nullptr);
    _map->AO_Mode_3.write_AO_Not_An_UPDATE(1, status, 0);
    _map->AO_Mode_3.write_AO_Not_An_UPDATE(0, status, 0);
    int timerStatus = 0;
    timeout.start(&timerStatus);
    // Polls without sleeping: the chip takes the update within microseconds.
    while ((_map->Joint_Status_2.refresh(status) & kAOUpdatePending) != 0) {
      if (timeout.isTimeout(&timerStatus) != 0) {
        nQoUdR100::setCode(status, nQoUdR100::kBoardTimeout, kArmTimeout);
        return;
      }
    }
  }
  struct tAtomicArmOp final : tTavikAtomicOperation<tAtomicArmOp> {
    using tTavikAtomicOperation::tTavikAtomicOperation;
    static void operate(tTavik& map, tStatus2* status) {
      setField(map.AO_Command_1, 10, 10, 1, status);
      setField(map.AO_Command_1, 8, 8, 1, status);
      setField(map.AO_Command_1, 6, 6, 1, status);
      map.AO_Command_1.flush(status, 1);
    }
  };
  tAtomicArmOp(_map, status).run();
}

void tTavikHelper::aoStop(tStatus2* status) {
  struct tAtomicOp final : tTavikAtomicOperation<tAtomicOp> {
    using tTavikAtomicOperation::tTavikAtomicOperation;
    static void operate(tTavik& map, tStatus2* status) {
      strobe(map, kAOConfigStart, status);
      setField(map.AO_Command_1, 13, 13, 1, status);
      map.AO_Command_1.flush(status, 1);
      strobe(map, kAOConfigEnd, status);
    }
  };
  tAtomicOp(_map, status).run();
}

void tTavikHelper::aiStrobeConvertSync(tStatus2* status) {
  struct tAtomicOp final : tTavikAtomicOperation<tAtomicOp> {
    using tTavikAtomicOperation::tTavikAtomicOperation;
    static void operate(tTavik& map, tStatus2* status) {
      setAndFlush(map.AI_Command_1, 0, 0, 1, status);
    }
  };
  tAtomicOp(_map, status).run();
}

void tTavikHelper::aiStrobeStart(tStatus2* status) { _map->Strobe_0108.writeRegister(4, status); }

void tTavikHelper::aiStrobeStart1(tStatus2* status) { _map->Strobe_0108.writeRegister(1, status); }

void tTavikHelper::aiStrobeCommand1Bit2(tStatus2* status) {
  setAndFlush(_map->AI_Command_1, 2, 2, 1, status);
}

void tTavikHelper::aiReset(tStatus2* status) {
  strobe(*_map, kAIReset, status);
  strobe(*_map, kAIConfigStart, status);
  if (!failed(status))
    tAtomicEnableClearOp<&tTavik::Interrupt_A_Enable, 0x00BF>(_map, status).run();  // 7, 5..0
  for (uint16_t ack : {128, 256, 512, 1024, 2048, 4096, 8192})
    _map->Interrupt_A_Ack.writeRegister(ack, status);
  _map->AI_Command_1.writeRegister(0, status, 0);
  _map->Strobe_0108.writeRegister(0, status);
  _map->AI_Mode_1.writeRegister(0x000C, status, 1);  // bits 3 and 2
  clearAndWrite(_map->AI_Mode_2, status);
  clearAndWrite(_map->AI_Mode_3, status);
  clearAndWrite(_map->AI_Output_Control, status);
  clearAndWrite(_map->AI_Personal, status);
  clearAndWrite(_map->Write_017C, status);
  clearAndWrite(_map->AI_Trigger_Select, status);
  strobe(*_map, kAIConfigEnd, status);
}

void tTavikHelper::aiConfigureCounterA(uint32_t first, uint32_t second, uint32_t select,
                                       uint32_t mode, tStatus2* status) {
  configureCounter(*_map, kCounterA, first, second, select, mode, status);
}

void tTavikHelper::aiConfigureCounterB(uint32_t first, uint32_t second, uint32_t select,
                                       uint32_t mode, tStatus2* status) {
  configureCounter(*_map, kCounterB, first, second, select, mode, status);
}

void tTavikHelper::aiConfigureCounterC(uint32_t first, uint32_t second, uint32_t select,
                                       uint32_t mode, tStatus2* status) {
  configureCounter(*_map, kCounterC, first, second, select, mode, status);
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
  strobe(*_map, kAIConfigStart, status);
  _map->Write_0180.setRegister(value, status);
  _map->Write_0180.flush(status, 0);
  flushBus(*_map, status);
  setAndFlush(_map->AI_Command_1, 7, 7, 1, status);
  flushBus(*_map, status);
  strobe(*_map, kAIConfigEnd, status);
}

void tTavikHelper::aiConfigureOutputControl(uint32_t outputSelect, uint32_t outputMode,
                                            uint32_t personal, tStatus2* status) {
  strobe(*_map, kAIConfigStart, status);
  setAndFlush(_map->AI_Output_Control, 1, 0, outputSelect, status);
  setAndFlush(_map->AI_Output_Control, 9, 8, outputMode, status);
  setAndFlush(_map->AI_Personal, 10, 10, personal, status);
  strobe(*_map, kAIConfigEnd, status);
}

// The lock is given back whenever it was taken, on a status of its own, so
// that a failed step never leaves the AO registers locked.
void tTavikHelper::aoReset(tStatus2* status) {
  if (failed(status)) return;
  strobe(*_map, kAOConfigStart, status);
  const tTavik::tSelection group{kAOLockGroup};
  _map->lockSelectedGroups(group, status);
  aoResetRegisters(status);
  tStatus2 release;
  _map->unlockSelectedGroups(group, &release);
  if (status != nullptr) status->assign(release);
  strobe(*_map, kAOConfigEnd, status);
}

void tTavikHelper::aoResetRegisters(tStatus2* status) {
  strobe(*_map, kAOReset, status);
  setField(_map->AO_Command_1, 13, 13, 1, status);
  _map->AO_Command_1.flush(status, 1);
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
    tAtomicEnableClearOp<&tTavik::Interrupt_B_Enable, 0x017F>(_map, status).run();  // 8, 6..0
  setField(_map->AO_Personal, 4, 4, 1, status);
  _map->AO_Personal.flush(status, 1);
  for (uint16_t ack : {8, 16, 128, 256, 512, 1024, 2048, 4096, 8192})
    _map->Interrupt_B_Ack.writeRegister(ack, status);
  clearElements(_map->Array_00C2, status);
  clearElements(_map->Array_00C3, status);
  clearBits(_map->Write_00A0, 0x0F, status);
  _map->Write_00A0.flush(status, 1);
  for (unsigned bit = 0; bit < 4; ++bit)
    setAndFlush(_map->AO_Serial_Interrupt_Ack, bit, bit, 1, status);
}

void tTavikHelper::aoConfigureOutputControl(uint32_t outputSelect, uint32_t flag6, uint32_t flag5,
                                            uint32_t flag12, uint32_t flag10, tStatus2* status) {
  strobe(*_map, kAOConfigStart, status);
  setAndFlush(_map->AO_Output_Control, 1, 0, outputSelect, status);
  setField(_map->AO_Personal, 6, 6, flag6, status);
  setField(_map->AO_Personal, 5, 5, flag5, status);
  setField(_map->AO_Personal, 12, 12, flag12, status);
  setAndFlush(_map->AO_Personal, 10, 10, flag10, status);
  setAndFlush(_map->AO_Mode_3, 0, 0, 1, status);
  strobe(*_map, kAOConfigEnd, status);
}

void tTavikHelper::aoConfigureMode2(uint32_t mode, uint32_t flag, tStatus2* status) {
  setField(_map->AO_Mode_2, 15, 14, mode, status);
  setField(_map->AO_Mode_2, 13, 13, flag, status);
  flushInAOBracket(*_map, status, _map->AO_Mode_2);
}

void tTavikHelper::aoConfigureMode3(uint32_t flag3, uint32_t flag4, uint32_t flag5,
                                    tStatus2* status) {
  setField(_map->AO_Mode_3, 3, 3, flag3, status);
  setField(_map->AO_Mode_3, 4, 4, flag4, status);
  setField(_map->AO_Mode_3, 5, 5, flag5, status);
  flushInAOBracket(*_map, status, _map->AO_Mode_3);
}

void tTavikHelper::aoConfigureTiming(uint32_t selectB, uint32_t flagB, uint32_t selectA,
                                     uint32_t flagA, uint32_t countB, uint32_t commandFlag,
                                     uint32_t countA, tStatus2* status) {
  setField(_map->AO_Command_2, 11, 11, commandFlag, status);
  setField(_map->AO_Mode_1, 15, 11, selectB, status);
  setField(_map->AO_Mode_1, 4, 4, flagB, status);
  setField(_map->AO_Mode_1, 10, 6, selectA, status);
  setField(_map->AO_Mode_1, 3, 3, flagA, status);
  clearBits(_map->AO_Mode_2, 0x00F0, status);  // bits 7 and 6..4
  strobe(*_map, kAOConfigStart, status);
  _map->AO_Command_2.flush(status, 0);
  _map->AO_Mode_1.flush(status, 0);
  _map->AO_Mode_2.flush(status, 0);
  _map->Write_0150.writeRegister(countA - 1, status, 0);
  setAndFlush(_map->AO_Command_1, 9, 9, 1, status);
  _map->Write_0150.writeRegister(countB - 1, status, 0);
  _map->Write_0154.writeRegister(countA - 1, status, 0);
  strobe(*_map, kAOConfigEnd, status);
}

void tTavikHelper::aoLoadUC(uint32_t flag, uint32_t count1, uint32_t count2, uint32_t count158,
                            tStatus2* status) {
  strobe(*_map, kAOConfigStart, status);
  setAndFlush(_map->AO_Mode_1, 1, 1, flag, status);
  setAndFlush(_map->AO_Mode_2, 2, 2, 0, status);
  _map->Write_0158.writeRegister(count158 - 1, status, 0);
  setAndFlush(_map->AO_Command_1, 5, 5, 1, status);
  setAndFlush(_map->AO_Mode_2, 11, 11, 0, status);
  _map->AO_UC_Load_A.writeRegister(count1 - 1, status, 0);
  setAndFlush(_map->AO_Command_1, 7, 7, 1, status);
  if (count2 != 0 && (flag & 1) == 0) _map->AO_UC_Load_A.writeRegister(count2 - 1, status, 0);
  strobe(*_map, kAOConfigEnd, status);
}

void tTavikHelper::aoConfigureTrigger(uint32_t triggerSelect, uint32_t flag13, uint32_t flag5,
                                      uint32_t flag6, uint32_t flag14, uint32_t mode1Flag,
                                      uint32_t mode3Flag, tStatus2* status) {
  setField(_map->AO_Mode_1, 0, 0, mode1Flag, status);
  setField(_map->AO_Trigger_Select, 4, 0, triggerSelect, status);
  setField(_map->AO_Trigger_Select, 13, 13, flag13, status);
  setField(_map->AO_Trigger_Select, 5, 5, flag5, status);
  setField(_map->AO_Trigger_Select, 6, 6, flag6, status);
  setField(_map->AO_Trigger_Select, 14, 14, flag14, status);
  setField(_map->AO_Mode_3, 11, 11, mode3Flag, status);
  flushInAOBracket(*_map, status, _map->AO_Mode_1, _map->AO_Trigger_Select, _map->AO_Mode_3);
}

void tTavikHelper::aoConfigureFifoOutput(uint32_t mode1Flag, uint32_t output, tStatus2* status) {
  strobe(*_map, kAOConfigStart, status);
  setAndFlush(_map->AO_Mode_1, 5, 5, mode1Flag, status);
  setAndFlush(_map->AO_Output_Control, 9, 6, output, status);
  strobe(*_map, kAOConfigEnd, status);
}

}  // namespace nQoUdRLP100
