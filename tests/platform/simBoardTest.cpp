#include <gtest/gtest.h>

#include "mdbg/tStatus2.h"
#include "sim/simDevices.h"
#include "sim/tSimBoard.h"
#include "sim/tSimListenerDeviceTree.h"
#include "support/moduleFixture.h"
#include "tavik/tTavikBus.h"

namespace nQoTest {
namespace {

class SimBoard : public tLeakCheckedTest {
 protected:
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    nQoSim::setDeviceTree(&tree);
  }
  void TearDown() override {
    nQoSim::setDeviceTree(nullptr);
    tLeakCheckedTest::TearDown();
  }
  nQoSim::tSimListenerDeviceTree tree;
};

TEST_F(SimBoard, TheBusHolderOpensItsWindowsAndChannelsAndGivesEverythingBack) {
  nQoSim::tSimBoard board(0x5D02, 16);
  const uint32_t present = 1;
  nQoMDBG100::tStatus2 status;
  {
    nQoUdP100::tTavikBus holder(&board.device, {{2, &present}}, {1, 2}, status, 1);
    EXPECT_EQ(status.code, 0);
    EXPECT_NE(holder.map(), nullptr);
    EXPECT_EQ(holder.channelCount(), 2);
  }
  EXPECT_EQ(board.bus.openWindows(), 0);
  EXPECT_EQ(board.device.busesTaken(), board.device.busesGiven());
}

TEST_F(SimBoard, TheNodeNamesTheProductThroughTheNumberAndTheTagThroughTheCode) {
  nQoSim::tSimBoard plain(0x5D02, 16);
  int code = 0;
  EXPECT_EQ(plain.node.getNumber(2, &code), 0x5D02u);
  EXPECT_EQ(plain.node.getFourCharacterCode(2, &code), 0x20202020u);
  nQoSim::tSimBoard extended(0x7A21C4C4, 16, nQoSim::tSimBoard::kSimulatedTag);
  EXPECT_EQ(extended.node.getNumber(2, &code), 0xC4C4u);
  EXPECT_EQ(extended.node.getNumber(19, &code), 0x7A21u);
  EXPECT_EQ(extended.node.getFourCharacterCode(2, &code), 0x2073696Du);
  EXPECT_EQ(code, 0);
}

}  // namespace
}  // namespace nQoTest
