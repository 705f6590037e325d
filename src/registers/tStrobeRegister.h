// A write-only register without soft copy: every write goes to the board at
// once and carries only the caller's bits.
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
class tStrobeRegister : public tConstantPlace<tTraits, kIndex> {
 public:
  static constexpr tRegisterRow kRow = tTraits::kRows[kIndex];
  static constexpr unsigned kWidth = kRow.width;
  using tValue = tRegisterValue<kWidth>;
  static_assert(baseKind(kRow.kind) == tRegisterKind::kStrobe);

  void writeRegister(tValue value, nQoMDBG100::tStatus2* status)
    requires((kRow.accessors & kWriteRegister) != 0)
  {
    send(value, status);
  }

  void attach(tRegisterMap<tTraits>* map, tRegisterLockGroup* group) {
    _map.attach(map);
    _group.set(group);
  }
  tRegisterLockGroup* group() const { return _group.get(); }
  bool restore(nQoMDBG100::tStatus2*) { return true; }

 protected:
  void send(tValue value, nQoMDBG100::tStatus2* status) {
    if (failed(status) || !_map.usable(status)) return;
    _map.map().space().template write<kWidth>(this->offset(), value);
  }
  // Writes (value << shift) & mask, all other bits 0.
  void writeBits(uint32_t mask, unsigned shift, uint32_t value, nQoMDBG100::tStatus2* status) {
    send(static_cast<tValue>((value << shift) & mask), status);
  }

  tRegisterMapLink<tTraits> _map;
  [[no_unique_address]] tGroupLink<kRow.group != 0> _group;
};

}  // namespace nQoUdRLP100
