// The polymorphic base of a map's field-addressable registers (a map names it
// tRegister). Slots in order: the two destructors, flush, refresh, setField,
// writeField, getField, readField (tRegisterOperations), the lock slot when the
// map has one (tRegisterLockSlot), isWritable, isReadable. A slot a register
// does not override keeps the base behaviour: writes kCannotWrite, reads
// kCannotRead (the getters answer 0xDEADBEEF), the lock slot and the queries
// answer null and 0.
#pragma once

#include <cstdint>

#include "registers/tRegisterLockSlot.h"

namespace nQoUdRLP100 {

template <class tTraits>
class tRegisterBase : public tRegisterLockSlot<tTraits> {
 public:
  virtual uint32_t isWritable() { return 0; }
  virtual uint32_t isReadable() { return 0; }

 protected:
  tRegisterBase() = default;
};

}  // namespace nQoUdRLP100
