// A register of a VESK map with a soft copy: 32 bits, read and written whole,
// straight through at the window base plus its offset; no dirty byte. Writes
// drop the bits outside the row's keep mask from the soft copy. Until the map
// has handed it its window, a register touches nothing.
//
//   channel.Channel_Control.setRegister(0x80000000);
//   channel.Channel_Control.writeRegister(&status);   // 0x80000000 reaches 0x04
//   channel.Channel_Status.readRegister(&status);     // the board's value, kept
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "registers/registerStatus.h"
#include "registers/tMemMappedAddressSpace.h"
#include "registers/tRegisterRow.h"

namespace nQoUdRLP100 {

template <class tTraits, uint32_t kIndex>
class tVESKRegister {
 public:
  static constexpr tRegisterRow kRow = tTraits::kRows[kIndex];
  static_assert(kRow.width == 32);
  static_assert(kRow.kind == tRegisterKind::kWrite || kRow.kind == tRegisterKind::kRead);

  uint32_t getRegister() const { return _soft; }
  void setRegister(uint32_t value) { _soft = value; }

  // The board's value, kept in the soft copy. With an error already held:
  // 0xFFFFFFFF without access, kept only by a read-only register (whose soft
  // copy is nothing but its last read), never in one that is also written.
  uint32_t readRegister(nQoMDBG100::tStatus2* status) {
    if (failed(status) || _window == nullptr) {
      if constexpr (kRow.kind == tRegisterKind::kRead) _soft = 0xFFFFFFFF;
      return 0xFFFFFFFF;
    }
    _soft = _window->template read<32>(kRow.offset);
    return _soft;
  }

  void writeRegister(nQoMDBG100::tStatus2* status) {
    if (failed(status) || _window == nullptr) return;
    _window->template write<32>(kRow.offset, _soft);
    _soft &= kRow.keep;
  }

  // The map's set-up: the window, then the soft copy as the row says.
  void install(const tMemMappedAddressSpace* window) { _window = window; }
  void load(nQoMDBG100::tStatus2* status) {
    if constexpr (kRow.restore == tRestore::kLoad)
      readRegister(status);
    else
      _soft = 0;
  }

 private:
  uint32_t _soft = 0;
  const tMemMappedAddressSpace* _window = nullptr;
};

}  // namespace nQoUdRLP100
