// Where a register sits: a single register has its window offset and index as
// constants of its class; a register-array element stores them, set by the
// map's table set-up (0xFFFFFFFF before). An element whose index lies outside
// the map refuses every access with kBadIndex at the map's markDirty line.
// And the lock-group link, present only in registers that belong to a group.
#pragma once

#include <cstdint>

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "registers/tRegisterLockGroup.h"

namespace nQoUdRLP100 {

template <class tTraits, uint32_t kIndex>
class tConstantPlace {
 public:
  static constexpr uint32_t offset() { return tTraits::kRows[kIndex].offset; }
  static constexpr uint32_t index() { return kIndex; }

 protected:
  static constexpr bool placed(const nQoMDBG100::tStatus2*) { return true; }
};

template <class tTraits>
class tStoredPlace {
 public:
  uint32_t offset() const { return _offset; }
  uint32_t index() const { return _index; }
  void place(uint32_t offset, uint32_t index) {
    _offset = offset;
    _index = index;
  }

 protected:
  bool placed(nQoMDBG100::tStatus2* status) const {
    if (_index < tTraits::kRegisterCount) return true;
    nQoUdR100::setCode(status, nQoUdR100::kBadIndex, tTraits::kSites.at(tTraits::kSites.markDirty));
    return false;
  }

 private:
  uint32_t _offset = 0xFFFFFFFF;
  uint32_t _index = 0xFFFFFFFF;
};

template <bool kGrouped>
class tGroupLink {
 public:
  tRegisterLockGroup* get() const { return nullptr; }
  void set(tRegisterLockGroup*) {}
};

template <>
class tGroupLink<true> {
 public:
  tRegisterLockGroup* get() const { return _group; }
  void set(tRegisterLockGroup* group) { _group = group; }

 private:
  tRegisterLockGroup* _group = nullptr;
};

}  // namespace nQoUdRLP100
