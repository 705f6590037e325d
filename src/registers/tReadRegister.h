// A read-only register: refresh loads the soft copy from the board. It has no
// dirty byte and is never written.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "registers/registerPlace.h"
#include "registers/registerStatus.h"
#include "registers/registerWidth.h"
#include "registers/tRegisterMap.h"
#include "registers/tRegisterRow.h"

namespace nQoUdRLP100 {

template <class tTraits, uint32_t kIndex>
class tReadRegister : public tConstantPlace<tTraits, kIndex> {
 public:
  static constexpr tRegisterRow kRow = tTraits::kRows[kIndex];
  static constexpr unsigned kWidth = kRow.width;
  using tValue = tRegisterValue<kWidth>;
  static_assert(baseKind(kRow.kind) == tRegisterKind::kRead);

  tValue getRegister() const { return _soft; }

  // Answers the value read; with an error already held the soft copy becomes
  // all ones and the answer 0xFFFFFFFF.
  uint32_t refresh(nQoMDBG100::tStatus2* status) {
    if (failed(status)) {
      _soft = static_cast<tValue>(allOnes(kWidth));
      return 0xFFFFFFFF;
    }
    _soft = static_cast<tValue>(_map->space().template read<kWidth>(this->offset()));
    return _soft;
  }

  void attach(tRegisterMap<tTraits>* map, tRegisterLockGroup*) { _map = map; }
  void restore(nQoMDBG100::tStatus2*) { _soft = 0; }

 protected:
  tValue _soft = 0;
  tRegisterMap<tTraits>* _map = nullptr;
};

}  // namespace nQoUdRLP100
