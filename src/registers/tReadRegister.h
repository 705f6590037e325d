// A read-only register: refresh loads the soft copy from the board. It has no
// dirty byte and is never written. Several threads may refresh the same
// register (a status register polled by a worker and read by a caller): each
// stores what it read, so the soft copy is a relaxed atomic and takes no lock.
#pragma once

#include <atomic>
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
    return soft();
  }

  // Answers the value read; with an error already held the soft copy becomes
  // all ones and the answer 0xFFFFFFFF.
  uint32_t refresh(nQoMDBG100::tStatus2* status) {
    tValue value = 0;
    return load(status, value) ? value : 0xFFFFFFFF;
  }

  void attach(tRegisterMap<tTraits>* map, tRegisterLockGroup*) { _map.attach(map); }
  bool restore(nQoMDBG100::tStatus2* status) {
    if (!_map.usable(status)) return false;
    keep(0);
    return true;
  }

 protected:
  // refresh, answering whether the soft copy now holds what the board reads;
  // value is what this call read (another thread may store its own read next).
  bool load(nQoMDBG100::tStatus2* status, tValue& value) {
    if (failed(status)) {
      keep(static_cast<tValue>(allOnes(kWidth)));
      return false;
    }
    if (!_map.usable(status)) return false;
    value = static_cast<tValue>(_map.map().space().template read<kWidth>(this->offset()));
    keep(value);
    return true;
  }

  tValue soft() const { return _soft.load(std::memory_order_relaxed); }
  void keep(tValue value) { _soft.store(value, std::memory_order_relaxed); }

  tRegisterMapLink<tTraits> _map;

 private:
  std::atomic<tValue> _soft{0};
};

}  // namespace nQoUdRLP100
