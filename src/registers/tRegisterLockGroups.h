// The lock groups of a register map, identifiers 1..kCount (a map may have
// none), and selections of them. A caller that writes registers of several groups selects their
// groups, takes the locks in ascending identifier order and gives them back in descending order, so
// that callers with overlapping selections cannot deadlock.
//
//   tRegisterLockGroups<22>::tSelection selection{14, 12};
//   const auto held = groups.lockSelected(selection, status);   // 12, then 14
//   ... write the registers ...
//   groups.unlockSelected(held, status);                        // 14, then 12
//
// A lock that refuses is left out of the answered selection, so that only the
// locks taken are given back.
// A map's user that holds a selection for one scope uses tScopedLockSelection.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <initializer_list>

#include "mdbg/tStatus2.h"
#include "registers/tRegisterLockGroup.h"
#include "registers/tRegisterMapSites.h"

namespace nQoUdRLP100 {

template <uint32_t kCount>
class tRegisterLockGroups {
 public:
  static_assert(kCount < 32, "a selection keeps one bit per group identifier");

  // One bit per group identifier (bit id; bit 0 is never used), so that a
  // selection is a word to clear, copy and walk. Built empty, or from a list
  // of identifiers up to the first 0 (others beyond kCount select nothing).
  struct tSelection {
    tSelection() = default;
    tSelection(std::initializer_list<uint32_t> ids) { makeSelection(*this, ids); }
    uint32_t bits = 0;
  };

  // Opens the groups' locks, group 1 first; a lock the platform cannot give is
  // reported at the map's lock-open line. They are closed from the last group
  // down to the first when the groups are destroyed.
  tRegisterLockGroups(const tRegisterMapSites& sites, nQoMDBG100::tStatus2* status)
      : _sites(sites) {
    for (auto& group : _groups) group.open(sites.at(sites.lockOpen), status);
  }

  // Gives each group its identifier and its members from the map's table.
  template <class tMembers>
  void setUp(const tMembers& members) {
    for (uint32_t id = 1; id <= kCount; ++id)
      _groups[id - 1].setUp(id, members.of(id), members.countOf(id));
  }

  // The group of an identifier, or null for 0 and identifiers beyond kCount.
  tRegisterLockGroup* group(uint32_t id) {
    return id >= 1 && id <= kCount ? &_groups[id - 1] : nullptr;
  }

  static void clearSelection(tSelection& selection) { selection.bits = 0; }
  // Selects a group; 0 and identifiers beyond kCount select nothing.
  static void select(tSelection& selection, uint32_t id) {
    if (id >= 1 && id <= kCount) selection.bits |= 1u << id;
  }
  // Clears the selection and selects the listed groups up to the first 0.
  static void makeSelection(tSelection& selection, std::initializer_list<uint32_t> ids) {
    clearSelection(selection);
    for (uint32_t id : ids) {
      if (id == 0) break;
      select(selection, id);
    }
  }

  // Every selected group is visited whatever the status holds, failures land
  // in the status; a group without a lock is reported and passed over.
  // Answers the groups whose locks are held now, the selection to give back.
  [[nodiscard]] tSelection lockSelected(const tSelection& selection, nQoMDBG100::tStatus2* status) {
    tSelection held;
    for (uint32_t left = selection.bits; left != 0; left &= left - 1) {
      const int id = std::countr_zero(left);
      if (_groups[id - 1].acquire(_sites.at(_sites.lockAcquire), status)) held.bits |= 1u << id;
    }
    return held;
  }
  // Gives back the groups that lockSelected answered.
  void unlockSelected(const tSelection& held, nQoMDBG100::tStatus2* status) {
    for (uint32_t left = held.bits; left != 0;) {
      const uint32_t id = 31 - std::countl_zero(left);
      _groups[id - 1].release(status);
      left &= ~(1u << id);
    }
  }

 private:
  const tRegisterMapSites& _sites;
  std::array<tRegisterLockGroup, kCount> _groups;
};

}  // namespace nQoUdRLP100
