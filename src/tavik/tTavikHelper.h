// The Tavik command sequences that the analog primitives share, over the
// board's register map: engine resets, counter loads, configuration inside the
// chip's brackets (the configuration start and end strobes of tJoint_Reset),
// and the arm, stop and convert strobes, which run as bus atomic operations.
// Every bit a sequence touches is a named field of the catalogue
// (tavikCatalogue.h). The bus holder builds one per board beside the map.
//
//   tTavikHelper helper(&map);
//   helper.aoReset(&status);
//   helper.aoArm(true, true, &status);  // update pulse, wait for the chip, then arm
//
// Every step does nothing once the status holds an error, and a sequence's end
// strobe is written only when it holds none. Select codes wider than their
// field are cut to it. The status may be null.
#pragma once

#include <cstdint>

#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "tavik/tTavik.h"

namespace nQoUdRLP100 {

class tTavikHelper : public nQoUdR100::tModuleObject {
 public:
  explicit tTavikHelper(nTavik::tTavik* map) : _map(map) {}

  nTavik::tTavik* map() const { return _map; }

  // With wait and pulse both set: an update pulse on AO_Not_An_UPDATE, then
  // polls AO_Update_Pending until it clears; after about 1 ms kBoardTimeout and no
  // arm. Then, atomically, the interval, UC and BC arm strobes in one write.
  void aoArm(bool wait, bool pulse, nQoMDBG100::tStatus2* status);
  // Atomically, in the AO bracket: the AO_Disarm strobe.
  void aoStop(nQoMDBG100::tStatus2* status);
  // Atomically: the AI_Convert_Sync strobe.
  void aiStrobeConvertSync(nQoMDBG100::tStatus2* status);
  // 4, respectively 1, to the AI start strobe at 0x108.
  void aiStrobeStart(nQoMDBG100::tStatus2* status);
  void aiStrobeStart1(nQoMDBG100::tStatus2* status);
  // The AI_Bypass_Config_Load strobe.
  void aiStrobeCommand1Bit2(nQoMDBG100::tStatus2* status);

  // Resets the AI engine and clears its registers and interrupts (the enable
  // change runs atomically).
  void aiReset(nQoMDBG100::tStatus2* status);
  // Counter loads in the AI bracket: the two load values, the load select and
  // the load command, then the mode with the other load register selected.
  // Counters A and C take bit 0 of the mode, counter B bits 2:0.
  void aiConfigureCounterA(uint32_t firstLoad, uint32_t secondLoad, nTavik::tAI_Load_Select select,
                           uint32_t mode, nQoMDBG100::tStatus2* status);
  void aiConfigureCounterB(uint32_t firstLoad, uint32_t secondLoad, nTavik::tAI_Load_Select select,
                           uint32_t mode, nQoMDBG100::tStatus2* status);
  void aiConfigureCounterC(uint32_t firstLoad, uint32_t secondLoad, nTavik::tAI_Load_Select select,
                           uint32_t mode, nQoMDBG100::tStatus2* status);
  // The first load value, the first register selected, the load command; the
  // mode is cleared in the soft copy only, for the next flush.
  void aiLoadCounterA(uint32_t value, nQoMDBG100::tStatus2* status);
  void aiLoadCounterB(uint32_t value, nQoMDBG100::tStatus2* status);
  void aiLoadCounterC(uint32_t value, nQoMDBG100::tStatus2* status);
  // In the AI bracket: the value to 0x180, then the AI_Strobe_Value_Load strobe.
  void aiLoadAndStrobe(uint16_t value, nQoMDBG100::tStatus2* status);
  // In the AI bracket: the output select and mode of tAI_Output_Control, then
  // AI_Personal_Bit10.
  void aiConfigureOutputControl(nTavik::tAI_Output_Select outputSelect,
                                nTavik::tAI_Output_Mode outputMode, bool personalBit10,
                                nQoMDBG100::tStatus2* status);

  // Resets the AO engine and clears its registers, interrupts and DAC
  // configuration under the AO registers' lock group (3), in the AO bracket
  // (the enable changes of 0x196 and 0xA0 run atomically).
  void aoReset(nQoMDBG100::tStatus2* status);
  // In the AO bracket: the output select of tAO_Output_Control, four bits of
  // tAO_Personal, AO_Mode_3_Bit0 set.
  void aoConfigureOutputControl(nTavik::tAO_Output_Select outputSelect, bool personalBit6,
                                bool personalBit5, bool personalBit12, bool personalBit10,
                                nQoMDBG100::tStatus2* status);
  // The FIFO mode and the regeneration flag of tAO_Mode_2.
  void aoConfigureMode2(nTavik::tAO_FIFO_Mode fifoMode, bool regenerate,
                        nQoMDBG100::tStatus2* status);
  // Bits 3, 4 and 5 of tAO_Mode_3.
  void aoConfigureMode3(bool mode3Bit3, bool mode3Bit4, bool mode3Bit5,
                        nQoMDBG100::tStatus2* status);
  // The timing selects and flags of tAO_Mode_1 and AO_Command_2_Bit11, then
  // the initial interval - 1 and the update interval - 1 to 0x150 around the
  // AO_Interval_Load strobe, and the initial interval - 1 to 0x154. An
  // interval of 0 loads 0xFFFFFFFF.
  void aoConfigureTiming(nTavik::tAO_Timing_Select_B selectB, bool flagB,
                         nTavik::tAO_Timing_Select_A selectA, bool flagA, uint32_t updateInterval,
                         bool command2Bit11, uint32_t initialInterval,
                         nQoMDBG100::tStatus2* status);
  // The buffer count - 1 to 0x158 (AO_BC_Load), the first buffer's update
  // count - 1 to tAO_UC_Load_A (AO_UC_Load), and without the UC flag and with
  // a non-zero update count per buffer, that count - 1 after it.
  void aoLoadUC(bool ucFlag, uint32_t firstBufferUpdates, uint32_t bufferUpdates,
                uint32_t bufferCount, nQoMDBG100::tStatus2* status);
  // The start trigger select and flags of tAO_Trigger_Select, AO_Mode_1_Bit0
  // and AO_Trigger_Flag_A, written in the AO bracket.
  void aoConfigureTrigger(nTavik::tAO_Start_Trigger_Select triggerSelect, bool triggerFlagB,
                          bool triggerSelectBit5, bool triggerSelectBit6, bool triggerSelectBit14,
                          bool mode1Bit0, bool triggerFlagA, nQoMDBG100::tStatus2* status);
  // In the AO bracket: AO_Mode_1_Bit5, and the last channel of the FIFO's
  // output order (the channel count - 1).
  void aoConfigureFifoOutput(bool mode1Bit5, uint32_t lastChannel, nQoMDBG100::tStatus2* status);

 private:
  // Steps 2 to 11 of aoReset, between taking and giving back the lock.
  void aoResetRegisters(nQoMDBG100::tStatus2* status);

  nTavik::tTavik* _map;
};

}  // namespace nQoUdRLP100
