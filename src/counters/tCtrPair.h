// The register map of one counter pair: its 46 register objects (classes and
// members from ctrPairCatalogue.h), the three lock groups, the window and the
// dirty table, on the same machinery as every other map. Generic users reach
// a register by identifier through registerObject(id).
//
//   tCtrPair pair(device, 256, &status);                   // maps 196 bytes at 256
//   pair.G0_Mode.setField(2, 1, &status);                   // soft copy, dirty
//   pair.G0_Mode.flush(&status, 0);                         // one 16-bit write at 0x34
//   pair.registerObject(0x08000001)->writeField(1, 1, &status, 0);   // G0_Command bit 0
//
// Built for the counters inside the Tavik chip, the map is handed the board's
// map: the pair's DMA control and interrupt enable registers are then the
// board's registers, read from the board's soft copies and never written here.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "bus/iBus.h"
#include "counters/ctrPairCatalogue.h"
#include "counters/ctrPairFields.h"
#include "counters/tCtrPairTraits.h"
#include "mdbg/tStatus2.h"
#include "registers/registerClassFor.h"
#include "registers/tRegisterLockGroups.h"
#include "registers/tRegisterMap.h"
#include "registers/tSharedWriteRegister.h"
#include "tavik/tTavik.h"

namespace nQoTIO100 {

class tCtrPair : public nQoUdRLP100::tRegisterMap<tCtrPairTraits> {
 public:
  using tId = uint32_t;
  using tLockGroups = nQoUdRLP100::tRegisterLockGroups<kCtrPairLockGroupCount>;
  using tSelection = tLockGroups::tSelection;
  static constexpr tId kNoRegister = 0xFFFFFFFF;

#define QO_CTR_PAIR_DECLARE(at, name, place, bits, kind, group, keep, view, tClass, ...) \
  struct t##name final : nQoUdRLP100::tClass<tCtrPairTraits, at> {                       \
    __VA_ARGS__                                                                          \
  };                                                                                     \
  t##name name;
  QO_CTR_PAIR_REGISTERS(QO_CTR_PAIR_DECLARE)
#undef QO_CTR_PAIR_DECLARE

  // From the device tree: finds the device and its bus and maps 196 bytes of
  // the window itself (the short form passes 0 and 0 as mapping arguments).
  tCtrPair(uint32_t device, uint32_t window, nQoMDBG100::tStatus2* status);
  tCtrPair(uint32_t device, uint32_t first, uint32_t second, uint32_t window,
           nQoMDBG100::tStatus2* status);
  // The counters inside the Tavik chip: the short form, with the board's map
  // lending its DMA control and interrupt enable registers.
  tCtrPair(uint32_t device, uint32_t window, const nQoUdRLP100::nTavik::tTavik& board,
           nQoMDBG100::tStatus2* status);
  // Over a bus that has opened the window; the map does not own it.
  tCtrPair(iBus* bus, uint32_t window, nQoMDBG100::tStatus2* status);
  // Unmaps and gives back the bus when the map took them; the locks close
  // from group 3 down to group 1.
  ~tCtrPair() override;

  // Marks every writable register of its own dirty and clears the read-only
  // soft copies, so that the next flush of each rewrites the board.
  void reset(nQoMDBG100::tStatus2* status);

  static void makeSelection(tSelection& selection, std::initializer_list<uint32_t> ids) {
    tLockGroups::makeSelection(selection, ids);
  }
  // Group 1 first, without time-out; answers the groups taken, which are
  // given back group 3 first.
  [[nodiscard]] tSelection lockSelectedGroups(const tSelection& selection,
                                              nQoMDBG100::tStatus2* status) {
    return _groups.lockSelected(selection, status);
  }
  void unlockSelectedGroups(const tSelection& held, nQoMDBG100::tStatus2* status) {
    _groups.unlockSelected(held, status);
  }
  nQoUdRLP100::tRegisterLockGroup* lockGroup(uint32_t id) { return _groups.group(id); }

 private:
  void setUpTables(const nQoUdRLP100::nTavik::tTavik* board, nQoMDBG100::tStatus2* status);

  tLockGroups _groups;
};

}  // namespace nQoTIO100
