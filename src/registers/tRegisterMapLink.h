// A register's link to its map: null until the map's table set-up attaches
// the register. A register of a map that was never set up (its window could not
// be opened) refuses every operation with kNoDeviceBus and touches nothing.
#pragma once

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"

namespace nQoUdRLP100 {

template <class tTraits>
class tRegisterMap;

template <class tTraits>
class tRegisterMapLink {
 public:
  void attach(tRegisterMap<tTraits>* map) { _map = map; }

  bool usable(nQoMDBG100::tStatus2* status) const {
    if (_map != nullptr) [[likely]]
      return true;
    reportUnusable(status);
    return false;
  }

  tRegisterMap<tTraits>& map() const { return *_map; }

 private:
  [[gnu::cold, gnu::noinline]] static void reportUnusable(nQoMDBG100::tStatus2* status) {
    nQoUdR100::setCode(status, nQoUdR100::kNoDeviceBus,
                       tTraits::kSites.at(tTraits::kSites.unusable));
  }

  tRegisterMap<tTraits>* _map = nullptr;
};

}  // namespace nQoUdRLP100
