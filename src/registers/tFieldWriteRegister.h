// A writable register that is also addressable by field identifier: the
// typed accessors of tWriteRegister and the slots of the map's tRegister.
// getField and readField both answer from the soft copy. The lock slot is
// answered by tLockSlotAnswer.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "registers/registerStatus.h"
#include "registers/tFieldAccess.h"
#include "registers/tRegisterBase.h"
#include "registers/tWriteRegister.h"

namespace nQoUdRLP100 {

template <class tTraits, uint32_t kIndex, class tPlace>
class tFieldWriteRegister : public tRegisterBase<tTraits>,
                            public tWriteRegister<tTraits, kIndex, tPlace>,
                            public tFieldAccess<tTraits, kIndex> {
  using tPlain = tWriteRegister<tTraits, kIndex, tPlace>;
  using tAccess = tFieldAccess<tTraits, kIndex>;
  using typename tPlain::tValue;

 public:
  void flush(nQoMDBG100::tStatus2* status, unsigned force) override {
    tPlain::flush(status, force);
  }
  void setField(uint32_t field, uint32_t value, nQoMDBG100::tStatus2* status) override {
    if (failed(status) || !this->reachable(status) ||
        !tAccess::accepts(field, value, status, kSetFieldId, kSetFieldValue))
      return;
    this->storeChecked(static_cast<tValue>(tAccess::insert(this->_soft, field, value)));
  }
  void writeField(uint32_t field, uint32_t value, nQoMDBG100::tStatus2* status,
                  unsigned force) override {
    if (failed(status) || !this->reachable(status) ||
        !tAccess::accepts(field, value, status, kWriteFieldId, kWriteFieldValue))
      return;
    // flush is not overridden on this path: a shared register refuses before
    // it comes here.
    this->storeAndFlushChecked(static_cast<tValue>(tAccess::insert(this->_soft, field, value)),
                               force);
  }
  uint32_t getField(uint32_t field, nQoMDBG100::tStatus2* status) override {
    return fromSoftCopy(field, status, kGetFieldId);
  }
  uint32_t readField(uint32_t field, nQoMDBG100::tStatus2* status) override {
    return fromSoftCopy(field, status, kReadFieldId);
  }
  uint32_t isWritable() override { return 1; }

 protected:
  uint32_t fromSoftCopy(uint32_t field, nQoMDBG100::tStatus2* status, tFieldCheck check) {
    if (failed(status) || !this->reachable(status)) return 0xFFFFFFFF;
    if (!tAccess::served(field)) return tAccess::refuse(status, check);
    return tAccess::extract(this->_soft, field);
  }
};

}  // namespace nQoUdRLP100
