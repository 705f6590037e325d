#include "sim/tSimBoard.h"

namespace nQoSim {

namespace {
constexpr uint32_t kVeskCode = 0x7665736B;  // "vesk"
constexpr uint32_t kVeskIdentificationOffset = 0x460;
constexpr uint32_t kVeskIdentification = 0x40103141;  // identifier, revision 1
}  // namespace

tSimBoard::tSimBoard(uint32_t productId, unsigned aiSampleBits, uint32_t tag)
    : noWindow(windows.addWindow(4)),
      tavikWindow(windows.addWindow(kTavikWindowLength)),
      veskWindow(windows.addWindow(kVeskWindowLength)),
      bus(windows),
      device(&bus),
      ai(windows, tavikWindow, bus, aiSampleBits),
      ao(windows, tavikWindow, bus) {
  bus.answerOpenWindow(0, tavikWindow);
  bus.answerOpenWindow(1, veskWindow);
  bus.answerFindWindow(kVeskCode, {7, 0x100, 0x1000, {}});
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
