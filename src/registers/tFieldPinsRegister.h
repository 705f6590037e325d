// A register that is written like any field-addressable writable register and
// also read back (pins): refresh loads the soft copy from the board, readField
// refreshes first, getField answers from the soft copy. With an error already
// held, refresh answers 0xFFFFFFFF and keeps the soft copy, so that a later
// flush drives the pins as they were set rather than all high.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "registers/registerStatus.h"
#include "registers/tFieldWriteRegister.h"

namespace nQoUdRLP100 {

template <class tTraits, uint32_t kIndex, class tPlace>
class tFieldPinsRegister : public tFieldWriteRegister<tTraits, kIndex, tPlace> {
  using tBase = tFieldWriteRegister<tTraits, kIndex, tPlace>;
  using tAccess = tFieldAccess<tTraits, kIndex>;
  using tValue = typename tWriteRegister<tTraits, kIndex, tPlace>::tValue;

 public:
  uint32_t refresh(nQoMDBG100::tStatus2* status) override {
    return load(status) ? this->_soft : 0xFFFFFFFF;
  }
  uint32_t readField(uint32_t field, nQoMDBG100::tStatus2* status) override {
    if (failed(status) || !this->reachable(status)) return 0xFFFFFFFF;
    if (!tAccess::served(field)) return tAccess::refuse(status, kReadFieldId);
    if (!load(status)) return 0xFFFFFFFF;
    return tAccess::extract(this->_soft, field);
  }
  uint32_t isReadable() override { return 1; }

 private:
  bool load(nQoMDBG100::tStatus2* status) {
    if (failed(status) || !this->reachable(status)) return false;
    this->_soft =
        static_cast<tValue>(this->_map.map().space().template read<tBase::kWidth>(this->offset()));
    return true;
  }
};

}  // namespace nQoUdRLP100
