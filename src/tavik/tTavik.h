// The register map of the Tavik chip's window: one register object per index
// 0..173 (classes and members from tavikCatalogue.h), the 22 lock groups, the
// window and the dirty table. Every primitive of the board programs the chip
// through this one object.
//
//   tTavik map(bus, window, &status);                  // no register access yet
//   map.AO_Command_2.setRegister(0x0100, &status);       // soft copy, dirty
//   map.AO_Command_2.flush(&status, 0);                  // one 16-bit write at 0x10A
//   map.IO_Bidirection_Pin.write_PFI10_Pin_Dir(kOutput, &status, 0);
//   tTavik::tRegister* pin = map.registerObject(makeRegisterId(44, 11));
//   pin->writeField(11, 1, &status, 0);                  // the same, by identifier
#pragma once

#include <cstdint>
#include <initializer_list>

#include "bus/iBus.h"
#include "mdbg/tStatus2.h"
#include "registers/registerClassFor.h"
#include "registers/tRegisterLockGroups.h"
#include "registers/tRegisterMap.h"
#include "tavik/tTavikTraits.h"
#include "tavik/tavikCatalogue.h"
#include "tavik/tavikFieldTypes.h"
#include "tavik/tavikFields.h"

namespace nQoUdRLP100::nTavik {

class tTavik : public tRegisterMap<tTavikTraits> {
 public:
  using tId = uint32_t;
  using tLockGroups = tRegisterLockGroups<kLockGroupCount>;
  using tSelection = tLockGroups::tSelection;

#define QO_TAVIK_DECLARE(index, name, offset, width, kind, group, restore, keep, ...) \
  struct t##name final : tRegisterClassFor<tTavikTraits, index> {                     \
    __VA_ARGS__                                                                       \
  };                                                                                  \
  t##name name;
#define QO_TAVIK_DECLARE_ARRAY(array, first, count)                 \
  struct t##array final : tElementClassFor<tTavikTraits, first> {}; \
  t##array array[count];
#define QO_TAVIK_NO_MEMBER(...)
  QO_TAVIK_REGISTERS(QO_TAVIK_DECLARE, QO_TAVIK_NO_MEMBER)
  QO_TAVIK_ARRAYS(QO_TAVIK_DECLARE_ARRAY)
#undef QO_TAVIK_DECLARE
#undef QO_TAVIK_DECLARE_ARRAY
#undef QO_TAVIK_NO_MEMBER

  // Over a bus that has opened the window; a null bus sets kNoDeviceBus.
  tTavik(iBus* bus, uint32_t window, nQoMDBG100::tStatus2* status);
  // From the device tree: finds the device and its bus and maps the window
  // itself (the short form passes 0 and 0 as the mapping arguments).
  tTavik(uint32_t device, uint32_t window, nQoMDBG100::tStatus2* status);
  tTavik(uint32_t device, uint32_t first, uint32_t second, uint32_t window,
         nQoMDBG100::tStatus2* status);
  // Unmaps and gives back the bus when the map took them, closes the locks
  // from group 22 down to group 1.
  ~tTavik() override;

  // Prepares soft copies and dirty bytes so that the next flush of each
  // writable register rewrites the board; stops at the first error.
  void markAllDirty(nQoMDBG100::tStatus2* status);

  static void clearSelection(tSelection& selection) { tLockGroups::clearSelection(selection); }
  static void selectGroup(tSelection& selection, uint32_t id) {
    tLockGroups::select(selection, id);
  }
  static void makeSelection(tSelection& selection, std::initializer_list<uint32_t> ids) {
    tLockGroups::makeSelection(selection, ids);
  }
  // Takes the selected groups' locks, group 1 first, without time-out; a
  // group whose lock could not be opened sets kOutOfMemory and is passed over.
  // Answers the groups whose locks it took.
  [[nodiscard]] tSelection lockSelectedGroups(const tSelection& selection,
                                              nQoMDBG100::tStatus2* status) {
    return _groups.lockSelected(selection, status);
  }
  // Gives back the groups that lockSelectedGroups answered, group 22 first,
  // also when the status holds an error.
  void unlockSelectedGroups(const tSelection& held, nQoMDBG100::tStatus2* status) {
    _groups.unlockSelected(held, status);
  }
  tRegisterLockGroup* lockGroup(uint32_t id) { return _groups.group(id); }

 private:
  void setUpTables(nQoMDBG100::tStatus2* status);
  template <class tRegisterClass>
  void link(tRegisterClass& object, uint32_t group) {
    object.attach(this, _groups.group(group));
    enterObject(object);
  }

  tLockGroups _groups;
};

}  // namespace nQoUdRLP100::nTavik
