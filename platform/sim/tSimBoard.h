// One whole simulated board for the host program and end-to-end tests: its
// register windows (the Tavik window, the VESK window and its DMA channel
// windows), the bus that opens them, the device that hands the bus out, the
// device-tree node that names the product, the EEPROM behind the Tavik window
// (erased: all ones), and the timed AI and AO engines on the Tavik window. The windows are the
// kernel layer's register bus while the board lives, so one board lives at a time.
//
//   nQoSim::tSimBoard board(0x5D02, 16);
//   tree.setNode(handle, &board.node);       // the tree finds it by handle
//   ... bring the board up, run a task, stepping board.ai or board.ao ...
#pragma once

#include <cstdint>

#include "sim/tSimBus.h"
#include "sim/tSimDevice.h"
#include "sim/tSimDeviceNode.h"
#include "sim/tSimEEPROM.h"
#include "sim/tSimRegisterWindows.h"
#include "sim/tSimTimedEngine.h"

namespace nQoSim {

class tSimBoard {
 public:
  static constexpr uint32_t kTavikWindowLength = 0x1000;
  static constexpr uint32_t kVeskWindowLength = 0x800;
  // The four-character reading of attribute 2 on a real and a simulated board.
  static constexpr uint32_t kRealTag = 0x20202020;
  static constexpr uint32_t kSimulatedTag = 0x2073696D;  // " sim"
  static constexpr uint32_t kExtendedId = 0xC4C4;

  // productId as the record gives it: above 16 bits it reads 0xC4C4 from
  // attribute 2 and the high half from attribute 19.
  tSimBoard(uint32_t productId, unsigned aiSampleBits, uint32_t tag = kRealTag);
  tSimBoard(const tSimBoard&) = delete;
  tSimBoard& operator=(const tSimBoard&) = delete;

  tSimRegisterWindows windows;  // first: the others are built over it
  const unsigned noWindow;      // so that no real window is number 0
  const unsigned tavikWindow;
  const unsigned veskWindow;
  const unsigned enableWindow;  // the EEPROM's lent enable register
  tSimBus bus;
  tSimDevice device;
  tSimDeviceNode node;
  tSimEEPROM eeprom;
  tSimAIEngine ai;
  tSimAOEngine ao;
};

}  // namespace nQoSim
