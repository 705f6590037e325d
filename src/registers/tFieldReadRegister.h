// A read-only register addressable by field identifier: setField changes the
// soft copy only, getField answers from it, readField refreshes it first. It
// cannot be written (flush and writeField keep the base stubs).
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "registers/registerStatus.h"
#include "registers/tFieldAccess.h"
#include "registers/tReadRegister.h"
#include "registers/tRegisterBase.h"

namespace nQoUdRLP100 {

template <class tTraits, uint32_t kIndex>
class tFieldReadRegister : public tRegisterBase<tTraits>,
                           public tReadRegister<tTraits, kIndex>,
                           public tFieldAccess<tTraits, kIndex> {
  using tPlain = tReadRegister<tTraits, kIndex>;
  using tAccess = tFieldAccess<tTraits, kIndex>;
  using typename tPlain::tValue;

 public:
  uint32_t refresh(nQoMDBG100::tStatus2* status) override { return tPlain::refresh(status); }
  void setField(uint32_t field, uint32_t value, nQoMDBG100::tStatus2* status) override {
    if (failed(status) || !this->_map.usable(status) ||
        !tAccess::accepts(field, value, status, kSetFieldId, kSetFieldValue))
      return;
    this->keep(static_cast<tValue>(tAccess::insert(this->soft(), field, value)));
  }
  uint32_t getField(uint32_t field, nQoMDBG100::tStatus2* status) override {
    if (failed(status) || !this->_map.usable(status)) return 0xFFFFFFFF;
    if (!tAccess::served(field)) return tAccess::refuse(status, kGetFieldId);
    return tAccess::extract(this->soft(), field);
  }
  uint32_t readField(uint32_t field, nQoMDBG100::tStatus2* status) override {
    if (failed(status)) return 0xFFFFFFFF;
    if (!tAccess::served(field)) return tAccess::refuse(status, kReadFieldId);
    tValue value = 0;
    if (!this->load(status, value)) return 0xFFFFFFFF;
    return tAccess::extract(value, field);
  }
  uint32_t isReadable() override { return 1; }
};

}  // namespace nQoUdRLP100
