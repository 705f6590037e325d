// A register map reached through a bus window (tTraits gives a
// tBusWindowAddressSpace): its register members (tRegisters, which declares
// them from the map's catalogue and walks them in index order with
// visitRegisters, QO_VISIT_REGISTERS), its lock groups (kLockCount, possibly
// none), the three ways to build it, the set-up of its registers and the map
// operations over all of them. A map class inherits the constructors:
//
//   class tChip final : public tBusWindowMap<tChipRegisters, tChipTraits> {
//    public:
//     using tBusWindowMap::tBusWindowMap;
//   };
//   tChip chip(device, p1, p2, p3, &status);   // from the device tree: mapWindow(p1, p2, p3)
//   tChip chip(device, p3, &status);           // p1 = p2 = 0
//   tChip chip(bus, window, &status);          // bus and window handle given
//
// The locks are opened first, whatever the status holds; array elements placed
// at construction get their offset and identifier next; the device steps and
// the register set-up are skipped once the status holds an error. A map whose
// window could not be opened never sets its registers up: they refuse every
// operation with kNoDeviceBus and write nothing. Destruction unmaps the window
// and gives back the bus (when the map took them), then closes the locks from
// the last down to the first.
#pragma once

#include <cstdint>

#include "bus/iBus.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "registers/registerId.h"
#include "registers/registerStatus.h"
#include "registers/tBusWindowAddressSpace.h"
#include "registers/tRegisterLockGroups.h"
#include "registers/tRegisterMap.h"
#include "registers/tRegisterRun.h"

namespace nQoUdRLP100 {

template <class tRegisters, class tTraits>
class tBusWindowMap : public tRegisterMap<tTraits>, public tRegisters {
 public:
  static constexpr uint32_t kLockCount = tTraits::kLockCount;
  using tLockGroups = tRegisterLockGroups<kLockCount>;
  using tId = uint32_t;

  // Device form: finds the device, takes its bus and maps the window (p1, p2,
  // p3); short device form: p1 = p2 = 0; bus form: a bus and a window handle
  // the caller opened, which the map never gives back.
  tBusWindowMap(uint32_t device, uint32_t p1, uint32_t p2, uint32_t p3,
                nQoMDBG100::tStatus2* status)
      : _locks(tTraits::kSites, status) {
    place(tPlacing::kAtConstruction);
    if (this->_space.openFromDeviceTree(device, p1, p2, p3, tTraits::kDeviceSites, status))
      initializeRegisters(status);
  }
  tBusWindowMap(uint32_t device, uint32_t p3, nQoMDBG100::tStatus2* status)
      : _locks(tTraits::kSites, status) {
    place(tPlacing::kAtConstruction);
    if (this->_space.openFromDeviceTree(device, 0, 0, p3, tTraits::kShortDeviceSites, status))
      initializeRegisters(status);
  }
  tBusWindowMap(iBus* bus, uint32_t window, nQoMDBG100::tStatus2* status)
      : _locks(tTraits::kSites, status) {
    place(tPlacing::kAtConstruction);
    if (this->_space.openOverBus(bus, window, tTraits::kNoBus, status)) initializeRegisters(status);
  }
  ~tBusWindowMap() override { this->_space.close(); }

  // Places the elements placed at set-up, links every register to the map and
  // its lock, fills the lock groups and the object table, clears the dirty
  // table and marks what markAllDirty marks. kNoDeviceBus when the window is
  // not open.
  void initializeRegisters(nQoMDBG100::tStatus2* status) {
    if (failed(status)) return;
    if (!this->_space.isOpen()) {
      nQoUdR100::setCode(status, nQoUdR100::kNoDeviceBus,
                         tTraits::kSites.at(tTraits::kSites.unusable));
      return;
    }
    place(tPlacing::kAtInitialization);
    this->visitRegisters([this](auto& member, uint32_t index) {
      member.attach(this, _locks.group(tTraits::kRows[index].group));
      this->enterObject(member);
    });
    _locks.setUp(tTraits::kLockMembers);
    this->clearDirtyTable();
    markAllDirty(status);
  }

  // Flags every writable register for rewriting and clears the soft copies the
  // catalogue says, in index order; stops at the first error of a status.
  void markAllDirty(nQoMDBG100::tStatus2* status) {
    if (failed(status)) return;
    bool reached = true;
    this->visitRegisters([status, &reached](auto& member, uint32_t) {
      reached = reached && (member.restore(status) || !failed(status));
    });
  }

  // The soft copy of a plain register by identifier (low 25 bits); kBadIndex
  // and 0xFFFFFFFF for an identifier of no plain register with a soft copy.
  uint32_t softCopy(uint32_t id, nQoMDBG100::tStatus2* status)
    requires(hasPlainSoftCopies(tTraits::kRuns))
  {
    if (failed(status)) return 0xFFFFFFFF;
    const uint32_t index = registerIndex(id);
    uint32_t answer = 0xFFFFFFFF;
    bool found = false;
    this->visitRegisters([&](auto& member, uint32_t at) {
      if constexpr (requires { member.softCopy(status); }) {
        if (at != index) return;
        answer = member.softCopy(status);
        found = true;
      }
    });
    if (!found)
      nQoUdR100::setCode(status, nQoUdR100::kBadIndex,
                         tTraits::kSites.at(tTraits::kSites.softCopy));
    return answer;
  }

  // Takes the selected locks, lowest id first, and answers those taken;
  // releaseLocks gives those back, highest id first. Every selected lock is
  // visited whatever the status holds.
  [[nodiscard]] typename tLockGroups::tSelection acquireLocks(
      const typename tLockGroups::tSelection& selection, uint32_t, nQoMDBG100::tStatus2* status)
    requires(kLockCount > 0)
  {
    return _locks.lockSelected(selection, status);
  }
  void releaseLocks(const typename tLockGroups::tSelection& held, nQoMDBG100::tStatus2* status)
    requires(kLockCount > 0)
  {
    _locks.unlockSelected(held, status);
  }
  tRegisterLockGroup* lock(uint32_t id)
    requires(kLockCount > 0)
  {
    return _locks.group(id);
  }

 private:
  // Stores offset and identifier in the elements placed at this stage.
  void place(tPlacing stage) {
    this->visitRegisters([stage](auto& member, uint32_t index) {
      if constexpr (requires { member.place(0u, 0u); })
        if (runOf(tTraits::kRuns, index).placing == stage)
          member.place(tTraits::kRows[index].offset, index);
    });
  }

  tLockGroups _locks;
};

}  // namespace nQoUdRLP100
