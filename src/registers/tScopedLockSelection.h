// Holds a selection of a map's register lock groups for one scope: takes their
// locks in ascending order when built (what the locks report goes to the
// caller's status) and gives back in descending order the ones it took when it
// goes out of scope, whatever the status holds then, on a status of its own
// that is merged into the caller's. A failed step between the two never leaves
// a group locked, and a lock that refused is never released. all() tells
// whether every selected group was taken, so a scope writes only under them.
//
//   {
//     const tScopedLockSelection<tTavik> locked(map, {3}, status);
//     ... write the registers of group 3 ...
//   }                                   // group 3 given back here
#pragma once

#include "mdbg/tStatus2.h"

namespace nQoUdRLP100 {

template <class tMap>
class tScopedLockSelection {
 public:
  tScopedLockSelection(tMap& map, const typename tMap::tSelection& selection,
                       nQoMDBG100::tStatus2* status)
      : _map(map),
        _held(map.lockSelectedGroups(selection, status)),
        _all(_held.bits == selection.bits),
        _status(status) {}
  ~tScopedLockSelection() {
    nQoMDBG100::tStatus2 release;
    _map.unlockSelectedGroups(_held, &release);
    if (_status != nullptr) _status->assign(release);
  }
  tScopedLockSelection(const tScopedLockSelection&) = delete;
  tScopedLockSelection& operator=(const tScopedLockSelection&) = delete;
  bool all() const { return _all; }

 private:
  tMap& _map;
  const typename tMap::tSelection _held;
  const bool _all;
  nQoMDBG100::tStatus2* _status;
};

}  // namespace nQoUdRLP100
