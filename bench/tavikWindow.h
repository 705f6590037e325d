// The simulated register window with the Tavik map over it, which the board
// set-ups of the benches start from: they derive from it and add their
// dispatcher and primitives after these members.
//
//   struct tBoard : nQoBench::tTavikWindow {
//     nQoUdRLP100::tTavikInterruptDispatcher dispatcher{&map, 1, &status};
//   };
//
// A bench holds its board on the heap, where the driver holds its device
// (std::make_unique): a board on the stack made the soft copies stack slots,
// and how the processor forwards stack stores then moved a path by half with
// no change to its code.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "sim/tSimBus.h"
#include "sim/tSimRegisterWindows.h"
#include "tavik/tTavik.h"

namespace nQoBench {

struct tTavikWindow {
  // The platform address of a register of the window, for raw accesses.
  uintptr_t address(uint32_t offset) const {
    return static_cast<uintptr_t>(windows.base(window) + offset);
  }

  nQoSim::tSimRegisterWindows windows;
  const unsigned window = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  nQoSim::tSimBus bus{windows};
  nQoMDBG100::tStatus2 status;
  nQoUdRLP100::nTavik::tTavik map{&bus, window, &status};
};

}  // namespace nQoBench
