// The Tavik command sequences that the analog primitives share, over the
// board's register map: engine resets, counter loads, configuration inside the
// chip's brackets (AI: strobes 16 and 256 of tJoint_Reset, AO: 32 and 512),
// and the arm, stop and convert strobes, which run as bus atomic operations.
// The bus holder builds one per board beside the map.
//
//   tTavikHelper helper(&map);
//   helper.aoReset(&status);
//   helper.aoConfigureTiming(selectB, 0, selectA, 0, 3, 0, 5, &status);
//   helper.aoArm(1, 1, &status);   // update pulse, wait for the chip, then arm
//
// Every step does nothing once the status holds an error, and a sequence's end
// strobe is written only when it holds none. Flag arguments use their bit 0;
// wider values are cut to their field. The status may be null.
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

  // With wait and pulse both non-zero: an update pulse on AO_Not_An_UPDATE of
  // tAO_Mode_3, then polls bit 5 of tJoint_Status_2 until it clears; after
  // about 1 ms kBoardTimeout and no arm. Then, atomically, sets bits 10, 8 and
  // 6 of tAO_Command_1 and writes it.
  void aoArm(uint32_t wait, uint32_t pulse, nQoMDBG100::tStatus2* status);
  // Atomically, in the AO bracket: bit 13 of tAO_Command_1.
  void aoStop(nQoMDBG100::tStatus2* status);
  // Atomically: bit 0 of tAI_Command_1.
  void aiStrobeConvertSync(nQoMDBG100::tStatus2* status);
  // 4, respectively 1, to the AI start strobe at 0x108.
  void aiStrobeStart(nQoMDBG100::tStatus2* status);
  void aiStrobeStart1(nQoMDBG100::tStatus2* status);
  // Bit 2 of tAI_Command_1.
  void aiStrobeCommand1Bit2(nQoMDBG100::tStatus2* status);

  // Resets the AI engine and clears its registers and interrupts (the enable
  // change runs atomically).
  void aiReset(nQoMDBG100::tStatus2* status);
  // Counter loads in the AI bracket: the load values, the select and the
  // load command, then the mode bits with the select inverted.
  void aiConfigureCounterA(uint32_t first, uint32_t second, uint32_t select, uint32_t mode,
                           nQoMDBG100::tStatus2* status);
  void aiConfigureCounterB(uint32_t first, uint32_t second, uint32_t select, uint32_t mode,
                           nQoMDBG100::tStatus2* status);
  void aiConfigureCounterC(uint32_t first, uint32_t second, uint32_t select, uint32_t mode,
                           nQoMDBG100::tStatus2* status);
  // One load value, select 0, the load command; the mode bits are cleared in
  // the soft copy only, for the next flush.
  void aiLoadCounterA(uint32_t value, nQoMDBG100::tStatus2* status);
  void aiLoadCounterB(uint32_t value, nQoMDBG100::tStatus2* status);
  void aiLoadCounterC(uint32_t value, nQoMDBG100::tStatus2* status);
  // In the AI bracket: the value to 0x180, then bit 7 of tAI_Command_1.
  void aiLoadAndStrobe(uint16_t value, nQoMDBG100::tStatus2* status);
  // In the AI bracket: bits 1:0 and 9:8 of tAI_Output_Control, bit 10 of tAI_Personal.
  void aiConfigureOutputControl(uint32_t outputSelect, uint32_t outputMode, uint32_t personal,
                                nQoMDBG100::tStatus2* status);

  // Resets the AO engine and clears its registers, interrupts and DAC
  // configuration under the AO registers' lock group (3), in the AO bracket.
  void aoReset(nQoMDBG100::tStatus2* status);
  // In the AO bracket: bits 1:0 of tAO_Output_Control, bits 6, 5, 12 and 10 of
  // tAO_Personal, bit 0 of tAO_Mode_3.
  void aoConfigureOutputControl(uint32_t outputSelect, uint32_t flag6, uint32_t flag5,
                                uint32_t flag12, uint32_t flag10, nQoMDBG100::tStatus2* status);
  // Bits 15:14 and 13 of tAO_Mode_2.
  void aoConfigureMode2(uint32_t mode, uint32_t flag, nQoMDBG100::tStatus2* status);
  // Bits 3, 4 and 5 of tAO_Mode_3.
  void aoConfigureMode3(uint32_t flag3, uint32_t flag4, uint32_t flag5,
                        nQoMDBG100::tStatus2* status);
  // Selects and flags of tAO_Mode_1, the command flag of tAO_Command_2, then
  // count A - 1 and count B - 1 to 0x150 around bit 9 of tAO_Command_1, and
  // count A - 1 to 0x154. A count of 0 loads 0xFFFFFFFF.
  void aoConfigureTiming(uint32_t selectB, uint32_t flagB, uint32_t selectA, uint32_t flagA,
                         uint32_t countB, uint32_t commandFlag, uint32_t countA,
                         nQoMDBG100::tStatus2* status);
  // The UC loads: count 0x158 - 1 to 0x158, count 1 - 1 to tAO_UC_Load_A, and
  // with the flag 0 and count 2 non-zero, count 2 - 1 after it.
  void aoLoadUC(uint32_t flag, uint32_t count1, uint32_t count2, uint32_t count158,
                nQoMDBG100::tStatus2* status);
  void aoConfigureTrigger(uint32_t triggerSelect, uint32_t flag13, uint32_t flag5, uint32_t flag6,
                          uint32_t flag14, uint32_t mode1Flag, uint32_t mode3Flag,
                          nQoMDBG100::tStatus2* status);
  // In the AO bracket: bit 5 of tAO_Mode_1, bits 9:6 of tAO_Output_Control.
  void aoConfigureFifoOutput(uint32_t mode1Flag, uint32_t output, nQoMDBG100::tStatus2* status);

 private:
  // Steps 2 to 11 of aoReset, between taking and giving back the lock.
  void aoResetRegisters(nQoMDBG100::tStatus2* status);

  nTavik::tTavik* _map;
};

}  // namespace nQoUdRLP100
