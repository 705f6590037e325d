// Applies a register programming list, a sequence of {tId, value} pairs, to a
// map: takes the lock groups of the listed registers, writes each field with
// writeField (force 0), and gives the groups back, also when a write failed.
// A pair whose register has no field-addressable object sets kBadIndex.
//
//   const tProgrammingPair list[] = {{makeRegisterId(87, 3), 31}, {makeRegisterId(95, 1), 2}};
//   applyProgrammingList(map, list, 2, &status);
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "registers/registerId.h"
#include "registers/tRegisterLockGroup.h"
#include "registers/tScopedLockSelection.h"

namespace nQoUdRLP100 {

struct tProgrammingPair {
  uint32_t id;
  uint32_t value;
};

template <class tMap>
void applyProgrammingList(tMap& map, const tProgrammingPair* pairs, std::size_t count,
                          nQoMDBG100::tStatus2* status) {
  typename tMap::tSelection selection;
  tMap::clearSelection(selection);
  for (std::size_t i = 0; i < count; ++i) {
    typename tMap::tRegister* object = map.registerObject(pairs[i].id);
    if (object == nullptr) continue;
    if (tRegisterLockGroup* group = object->getLockGroup())
      tMap::selectGroup(selection, group->id());
  }
  const tScopedLockSelection<tMap> locked(map, selection, status);
  for (std::size_t i = 0; i < count; ++i) {
    typename tMap::tRegister* object = map.registerObject(pairs[i].id);
    if (object != nullptr)
      object->writeField(fieldIdentifier(pairs[i].id), pairs[i].value, status, 0);
    else
      nQoUdR100::setCode(status, nQoUdR100::kBadIndex,
                         tMap::kSites.at(tMap::kSites.missingRegister));
  }
}

}  // namespace nQoUdRLP100
