// A strobe register addressable by field identifier: writeField writes the one
// field at once, every other bit 0; there is no soft copy, so flush has nothing
// to do and setField and the getters keep the base stubs. The lock slot is
// answered by tLockSlotAnswer.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "registers/registerStatus.h"
#include "registers/tFieldAccess.h"
#include "registers/tRegisterBase.h"
#include "registers/tStrobeRegister.h"

namespace nQoUdRLP100 {

template <class tTraits, uint32_t kIndex>
class tFieldStrobeRegister : public tRegisterBase<tTraits>,
                             public tStrobeRegister<tTraits, kIndex>,
                             public tFieldAccess<tTraits, kIndex> {
  using tPlain = tStrobeRegister<tTraits, kIndex>;
  using tAccess = tFieldAccess<tTraits, kIndex>;
  using typename tPlain::tValue;

 public:
  void flush(nQoMDBG100::tStatus2*, unsigned) override {}
  void writeField(uint32_t field, uint32_t value, nQoMDBG100::tStatus2* status, unsigned) override {
    if (failed(status) || !this->_map.usable(status) ||
        !tAccess::accepts(field, value, status, kWriteFieldId, kWriteFieldValue))
      return;
    this->send(static_cast<tValue>(tAccess::insert(0, field, value)), status);
  }
  uint32_t isWritable() override { return 1; }
};

}  // namespace nQoUdRLP100
