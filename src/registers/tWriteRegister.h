// A writable register with a soft copy: setters change the soft copy and mark
// the register dirty only when it changed; flush writes it when dirty or forced,
// then drops the strobe bits outside the keep mask and clears the dirty byte.
// Nothing touches the board but flush and writeRegister. The whole-register
// accessors are those the catalogue row lists.
//
//   map.AO_Command_2.setRegister(0xFFFF, status);
//   map.AO_Command_2.flush(status, 0);     // writes 0xFFFF; soft copy 0x3C0E
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

template <class tTraits, uint32_t kIndex, class tPlace>
class tWriteRegister : public tPlace {
 public:
  static constexpr tRegisterRow kRow = tTraits::kRows[kIndex];
  static constexpr unsigned kWidth = kRow.width;
  using tValue = tRegisterValue<kWidth>;
  static_assert(baseKind(kRow.kind) == tRegisterKind::kWrite);
  static_assert(kRow.restore != tRestore::kLoad, "a map with dirty bytes loads nothing");

  tValue getRegister() const
    requires((kRow.accessors & kGetRegister) != 0)
  {
    return _soft;
  }

  void setRegister(tValue value, nQoMDBG100::tStatus2* status)
    requires((kRow.accessors & kSetRegister) != 0)
  {
    store(value, status);
  }

  void flush(nQoMDBG100::tStatus2* status, unsigned force) {
    if (failed(status) || !reachable(status)) return;
    flushChecked(_map.map().dirty(this->index()), force);
  }

  // Writes when the value differs, when forced or when already dirty.
  void writeRegister(tValue value, nQoMDBG100::tStatus2* status, unsigned force)
    requires((kRow.accessors & kWriteRegister) != 0)
  {
    if (failed(status) || !reachable(status)) return;
    const unsigned changed = force != 0 || value != _soft;
    _soft = value;
    flushChecked(_map.map().dirty(this->index()), changed);
  }

  void attach(tRegisterMap<tTraits>* map, tRegisterLockGroup* group) {
    _map.attach(map);
    _group.set(group);
  }
  tRegisterLockGroup* group() const { return _group.get(); }

  // markAllDirty: marked dirty, soft copy first set to 0 where the catalogue says so.
  // The map's walk checks the status once before it; a register answers
  // false when it reported that it cannot be reached.
  bool restore(nQoMDBG100::tStatus2* status) {
    if (!reachable(status)) return false;
    if constexpr (kRow.restore == tRestore::kZero) _soft = 0;
    _map.map().dirty(this->index()) = 1;
    return true;
  }

  // soft := (soft & ~mask) | ((value << shift) & mask), marked dirty on change.
  void setBits(uint32_t mask, unsigned shift, uint32_t value, nQoMDBG100::tStatus2* status) {
    store(static_cast<tValue>((_soft & ~mask) | ((value << shift) & mask)), status);
  }

 protected:
  // Placed in the window and part of a map that was set up; else reported.
  bool reachable(nQoMDBG100::tStatus2* status) const {
    return this->placed(status) && _map.usable(status);
  }
  // The soft copy := value, marked dirty when it changed.
  void store(tValue value, nQoMDBG100::tStatus2* status) {
    if (failed(status) || !reachable(status) || value == _soft) return;
    _soft = value;
    _map.map().dirty(this->index()) = 1;
  }

  // store, and store then flush, for a caller that has made their checks
  // (status clean, register reachable): the same soft copy, dirty byte and
  // write.
  void storeChecked(tValue value) { storeChecked(value, _map.map().dirty(this->index())); }
  void storeAndFlushChecked(tValue value, unsigned force) {
    uint8_t& dirty = _map.map().dirty(this->index());
    storeChecked(value, dirty);
    flushChecked(dirty, force);
  }

  tValue _soft = 0;
  tRegisterMapLink<tTraits> _map;
  [[no_unique_address]] tGroupLink<kRow.group != 0> _group;

 private:
  void storeChecked(tValue value, uint8_t& dirty) {
    if (value == _soft) return;
    _soft = value;
    dirty = 1;
  }
  // Writes a dirty or forced register, keeps the keep mask, clears the dirty byte.
  void flushChecked(uint8_t& dirty, unsigned force) {
    if (force == 0 && dirty == 0) return;
    _map.map().space().template write<kWidth>(this->offset(), _soft);
    _soft = static_cast<tValue>(_soft & kRow.keep);
    dirty = 0;
  }
};

}  // namespace nQoUdRLP100
