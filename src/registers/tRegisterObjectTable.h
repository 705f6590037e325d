// The table of a map's field-addressable register objects by register index
// (null for the other indexes), and the map's tRegister type. A map without
// field-addressable registers has neither.
#pragma once

#include <cstdint>
#include <type_traits>

#include "registers/registerId.h"
#include "registers/tRegisterBase.h"
#include "registers/tRegisterRow.h"

namespace nQoUdRLP100 {

template <class tTraits>
constexpr bool hasRegisterObjects() {
  for (uint32_t index = 0; index < tTraits::kRegisterCount; ++index)
    if (fieldAddressable(tTraits::kRows[index].kind)) return true;
  return false;
}

template <class tTraits, bool kObjects = hasRegisterObjects<tTraits>()>
class tRegisterObjectTable {
 protected:
  template <class tRegisterClass>
  void enterObject(tRegisterClass&) {}
};

template <class tTraits>
class tRegisterObjectTable<tTraits, true> {
 public:
  using tRegister = tRegisterBase<tTraits>;

  // The field-addressable register of an identifier, or null.
  tRegister* registerObject(uint32_t id) const {
    const uint32_t index = registerIndex(id);
    return index < tTraits::kRegisterCount ? _objects[index] : nullptr;
  }

 protected:
  // Enters a register into the table when it is field-addressable.
  template <class tRegisterClass>
  void enterObject(tRegisterClass& object) {
    if constexpr (std::is_base_of_v<tRegister, tRegisterClass>) _objects[object.index()] = &object;
  }

 private:
  tRegister* _objects[tTraits::kRegisterCount] = {};
};

}  // namespace nQoUdRLP100
