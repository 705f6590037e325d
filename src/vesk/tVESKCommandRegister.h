// A command register of a VESK map: no soft copy; each write sends the
// caller's 32 bits at once. Until the map has handed it its window, it writes
// nothing.
//
//   channel.Channel_Command.writeRegister(4, &status);
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "registers/registerStatus.h"
#include "registers/tMemMappedAddressSpace.h"
#include "registers/tRegisterRow.h"

namespace nQoUdRLP100 {

template <class tTraits, uint32_t kIndex>
class tVESKCommandRegister {
 public:
  static constexpr tRegisterRow kRow = tTraits::kRows[kIndex];
  static_assert(kRow.width == 32 && kRow.kind == tRegisterKind::kStrobe);

  void writeRegister(uint32_t value, nQoMDBG100::tStatus2* status) {
    if (failed(status) || _window == nullptr) return;
    _window->template write<32>(kRow.offset, value);
  }

  void install(const tMemMappedAddressSpace* window) { _window = window; }
  void load(nQoMDBG100::tStatus2*) {}

 private:
  const tMemMappedAddressSpace* _window = nullptr;
};

}  // namespace nQoUdRLP100
