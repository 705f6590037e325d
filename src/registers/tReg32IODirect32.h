// One 32-bit register write through a bus window, done when the call returns.
//
//   tReg32IODirect32::write(bus, window, 0x0DC, 0x2, status);
#pragma once

#include <cstdint>

#include "bus/iBus.h"
#include "mdbg/tStatus2.h"
#include "registers/registerStatus.h"

namespace nQoUdRLP100 {

class tReg32IODirect32 {
 public:
  // The flags of every register write through a bus window.
  static constexpr uint32_t kWriteFlags = 0x40000000;

  // Nothing when the status already holds an error; answers the status's code.
  static int write(iBus* bus, uint32_t window, uint32_t offset, uint32_t value,
                   nQoMDBG100::tStatus2* status) {
    if (failed(status)) return status->code;
    bus->write32(window, offset, value, kWriteFlags, nullptr);
    return status != nullptr ? status->code : 0;
  }
};

}  // namespace nQoUdRLP100
