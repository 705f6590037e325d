// The frame of a register map reached through a bus window (tTraits gives a
// tBusWindowAddressSpace): its lock groups (kLockCount, possibly none), the
// three ways to open it, the set-up of its registers and the map operations
// over all of them. tMap is the map class: it declares its register members
// from its catalogue and walks them in index order with visitRegisters
// (QO_VISIT_REGISTERS), and its constructors open the map in one of three
// forms:
//
//   tChip(uint32_t device, uint32_t p1, uint32_t p2, uint32_t p3, tStatus2* status)
//       : tBusWindowMap(status) { openFromDevice(device, p1, p2, p3, kDeviceSites, status); }
//   tChip(uint32_t device, uint32_t p3, tStatus2* status)        // p1 = p2 = 0
//   tChip(iBus* bus, uint32_t window, tStatus2* status)          // bus and handle given
//
// The locks are opened first, whatever the status holds; array elements placed
// at construction get their offset and identifier next; the device steps and
// the register set-up are skipped once the status holds an error. A map whose
// window could not be opened never sets its registers up: they refuse every
// operation with -50002 and write nothing. Destruction unmaps the window and
// gives back the bus (when the map took them), then closes the locks from the
// last down to the first.
#pragma once

#include <cstdint>

#include "bus/iBus.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "registers/registerId.h"
#include "registers/registerStatus.h"
#include "registers/tBusWindowAddressSpace.h"
#include "registers/tRegisterLockGroups.h"
#include "registers/tRegisterMap.h"
#include "registers/tRegisterRun.h"

namespace nQoUdRLP100 {

template <class tMap, class tTraits>
class tBusWindowMap : public tRegisterMap<tTraits> {
 public:
  static constexpr uint32_t kLockCount = tTraits::kLockCount;
  using tLockGroups = tRegisterLockGroups<kLockCount>;

  ~tBusWindowMap() override { this->_space.close(); }

  // Places the elements placed at set-up, links every register to the map and
  // its lock, fills the lock groups and the object table, clears the dirty
  // table and marks what markAllDirty marks. -50002 when the window is not open.
  void initializeRegisters(nQoMDBG100::tStatus2* status) {
    if (failed(status)) return;
    if (!this->_space.isOpen()) {
      nQoUdR100::setCode(status, -50002, kSites.at(kSites.unusable));
      return;
    }
    place(tPlacing::kAtInitialization);
    derived().visitRegisters([this](auto& member, uint32_t index) {
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
    derived().visitRegisters([status](auto& member, uint32_t) {
      if (!failed(status)) member.restore(status);
    });
  }

  // The soft copy of a plain register by identifier (low 25 bits); -50003 and
  // 0xFFFFFFFF for an identifier of no plain register with a soft copy.
  uint32_t softCopy(uint32_t id, nQoMDBG100::tStatus2* status) {
    if (failed(status)) return 0xFFFFFFFF;
    const uint32_t index = registerIndex(id);
    uint32_t answer = 0xFFFFFFFF;
    bool found = false;
    derived().visitRegisters([&](auto& member, uint32_t at) {
      if constexpr (requires { member.softCopy(status); }) {
        if (at != index) return;
        answer = member.softCopy(status);
        found = true;
      }
    });
    if (!found) nQoUdR100::setCode(status, -50003, kSites.at(kSites.softCopy));
    return answer;
  }

  // Takes the selected locks, lowest id first, and gives them back, highest id
  // first; every selected lock is visited whatever the status holds.
  void acquireLocks(const typename tLockGroups::tSelection& selection, uint32_t,
                    nQoMDBG100::tStatus2* status)
    requires(kLockCount > 0)
  {
    _locks.lockSelected(selection, status);
  }
  void releaseLocks(const typename tLockGroups::tSelection& selection,
                    nQoMDBG100::tStatus2* status)
    requires(kLockCount > 0)
  {
    _locks.unlockSelected(selection, status);
  }
  tRegisterLockGroup* lock(uint32_t id)
    requires(kLockCount > 0)
  {
    return _locks.group(id);
  }

 protected:
  static constexpr const tRegisterMapSites& kSites = tTraits::kSites;

  explicit tBusWindowMap(nQoMDBG100::tStatus2* status) : _locks(kSites, status) {}

  // The three forms of construction, after the locks are open.
  void openFromDevice(uint32_t device, uint32_t p1, uint32_t p2, uint32_t p3,
                      const tDeviceTreeSites& sites, nQoMDBG100::tStatus2* status) {
    place(tPlacing::kAtConstruction);
    if (this->_space.openFromDeviceTree(device, p1, p2, p3, sites, status))
      initializeRegisters(status);
  }
  void openOverBus(iBus* bus, uint32_t window, nQoMDBG100::tStatus2* status) {
    place(tPlacing::kAtConstruction);
    if (this->_space.openOverBus(bus, window, tTraits::kNoBus, status))
      initializeRegisters(status);
  }

 private:
  tMap& derived() { return static_cast<tMap&>(*this); }

  // Stores offset and identifier in the elements placed at this stage.
  void place(tPlacing stage) {
    derived().visitRegisters([stage](auto& member, uint32_t index) {
      if constexpr (requires { member.place(0u, 0u); })
        if (runOf(tTraits::kRuns, index).placing == stage)
          member.place(tTraits::kRows[index].offset, index);
    });
  }

  tLockGroups _locks;
};

}  // namespace nQoUdRLP100
