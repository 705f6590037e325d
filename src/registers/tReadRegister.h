// A read-only register: refresh loads the soft copy from the board. It has no
// dirty byte and is never written.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "registers/registerPlace.h"
#include "registers/registerStatus.h"
#include "registers/registerWidth.h"
#include "registers/tRegisterMap.h"
#include "registers/tRegisterMapLink.h"
#include "registers/tRegisterRow.h"

namespace nQoUdRLP100 {

template <class tTraits, uint32_t kIndex>
class tReadRegister : public tConstantPlace<tTraits, kIndex> {
 public:
  static constexpr tRegisterRow kRow = tTraits::kRows[kIndex];
  static constexpr unsigned kWidth = kRow.width;
  using tValue = tRegisterValue<kWidth>;
  static_assert(baseKind(kRow.kind) == tRegisterKind::kRead);

  tValue getRegister() const
    requires((kRow.accessors & kGetRegister) != 0)
  {
    return _soft;
  }

  // Answers the value read; with an error already held the soft copy becomes
  // all ones and the answer 0xFFFFFFFF.
  uint32_t refresh(nQoMDBG100::tStatus2* status) { return load(status) ? _soft : 0xFFFFFFFF; }

  void attach(tRegisterMap<tTraits>* map, tRegisterLockGroup*) { _map.attach(map); }
  void restore(nQoMDBG100::tStatus2* status) {
    if (_map.usable(status)) _soft = 0;
  }

 protected:
  // refresh, answering whether the soft copy now holds what the board reads.
  bool load(nQoMDBG100::tStatus2* status) {
    if (failed(status)) {
      _soft = static_cast<tValue>(allOnes(kWidth));
      return false;
    }
    if (!_map.usable(status)) return false;
    _soft = static_cast<tValue>(_map.map().space().template read<kWidth>(this->offset()));
    return true;
  }

  tValue _soft = 0;
  tRegisterMapLink<tTraits> _map;
};

}  // namespace nQoUdRLP100
