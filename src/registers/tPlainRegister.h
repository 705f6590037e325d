// A plain register: a place in the map, a dirty byte and (kind kPlain) a soft
// copy, but no window access of its own: the map's users read and write it at
// offsets they know, through the map's operations by identifier. An array
// element of this kind stores its offset and identifier.
#pragma once

#include <cstdint>
#include <type_traits>

#include "mdbg/tStatus2.h"
#include "registers/registerPlace.h"
#include "registers/registerStatus.h"
#include "registers/tRegisterMap.h"
#include "registers/tRegisterMapLink.h"
#include "registers/tRegisterRow.h"

namespace nQoUdRLP100 {

template <class tTraits, uint32_t kIndex, class tPlace>
class tPlainRegister : public tPlace {
 public:
  static constexpr tRegisterRow kRow = tTraits::kRows[kIndex];
  static constexpr bool kSoftCopy = kRow.kind == tRegisterKind::kPlain;
  static_assert(plain(kRow.kind) && kRow.width == 32);

  // The soft copy; 0xFFFFFFFF (and kNoDeviceBus) when the map was never set up.
  uint32_t softCopy(nQoMDBG100::tStatus2* status) const
    requires kSoftCopy
  {
    return _map.usable(status) ? _soft : 0xFFFFFFFF;
  }

  void attach(tRegisterMap<tTraits>* map, tRegisterLockGroup* group) {
    _map.attach(map);
    _group.set(group);
  }
  tRegisterLockGroup* group() const { return _group.get(); }

  // markAllDirty: marked dirty (kRewrite), or the soft copy cleared with the
  // dirty byte left alone (kForget); nothing for a register without soft copy.
  // Answers false when it reported that it cannot be reached.
  bool restore(nQoMDBG100::tStatus2* status) {
    if constexpr (kRow.restore == tRestore::kRewrite) {
      if (!this->placed(status) || !_map.usable(status)) return false;
      _map.map().dirty(this->index()) = 1;
    } else if constexpr (kRow.restore == tRestore::kForget) {
      if (!_map.usable(status)) return false;
      _soft = 0;
    }
    return true;
  }

 private:
  struct tNoSoftCopy {};

  [[no_unique_address]] std::conditional_t<kSoftCopy, uint32_t, tNoSoftCopy> _soft{};
  tRegisterMapLink<tTraits> _map;
  [[no_unique_address]] tGroupLink<kRow.group != 0> _group;
};

}  // namespace nQoUdRLP100
