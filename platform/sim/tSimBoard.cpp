#include "sim/tSimBoard.h"

#include <algorithm>

namespace nQoSim {

namespace {
constexpr uint32_t kVeskCode = 0x7665736B;  // "vesk"
constexpr uint32_t kVeskIdentificationOffset = 0x460;
constexpr uint32_t kVeskIdentification = 0x40103141;  // identifier, revision 1
// The counters' registers: a part of the Tavik window mapped as window 256.
constexpr uint32_t kCounterWindow = 256;
constexpr uint32_t kCounterBase = 0x100;
constexpr uint32_t kCounterLength = 196;
}  // namespace

tSimBoard::tSimBoard(uint32_t productId, unsigned aiSampleBits, uint32_t tag)
    : noWindow(windows.addWindow(4)),
      tavikWindow(windows.addWindow(kTavikWindowLength)),
      veskWindow(windows.addWindow(kVeskWindowLength)),
      enableWindow(windows.addWindow(0x100)),
      bus(windows),
      device(&bus),
      eeprom(windows, tavikWindow),
      ai(windows, tavikWindow, bus, aiSampleBits),
      ao(windows, tavikWindow, bus) {
  bus.answerOpenWindow(0, tavikWindow);
  bus.answerOpenWindow(1, veskWindow);
  bus.answerFindWindow(kVeskCode, {7, 0x100, 0x1000, {}});
  bus.answerSubWindowOf(1, 2, veskWindow);
  bus.answerSubWindowOf(1, 3, tavikWindow);
  bus.answerSubWindowOf(3, 1, enableWindow);
  bus.answerView(kCounterWindow, windows.addView(tavikWindow, kCounterBase, kCounterLength));
  std::fill(eeprom.bytes.begin(), eeprom.bytes.end(), 0xFF);
  windows.setRead(veskWindow, kVeskIdentificationOffset, 32, kVeskIdentification);
  if (productId > 0xFFFF) {
    node.setNumber(2, kExtendedId);
    node.setNumber(19, productId >> 16);
  } else {
    node.setNumber(2, productId);
  }
  node.setFourCharacterCode(2, tag);
}

}  // namespace nQoSim
