// The VESK DMA-channel map: construction over a bus and from the device
// tree, whole-register access, the command bits of Channel_Control.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registers/tVESKChannel.h"
#include "sim/simDevices.h"
#include "sim/tSimDevice.h"
#include "sim/tSimDeviceTable.h"
#include "tavikFixture.h"

namespace nQoTest {
namespace {

using nQoSim::tSimBus;
using nQoUdRLP100::tVESKChannel;
using tCall = tSimBus::tCall;
using W = tSimRegisterWindows;

class tVESKChannelTest : public tLeakCheckedTest {
 protected:
  void TearDown() override {
    nQoSim::setDeviceTree(nullptr);
    tLeakCheckedTest::TearDown();
  }

  tSimRegisterWindows windows;
  const unsigned window = windows.addWindow(0x100);
  tSimBus bus{windows};
  nQoMDBG100::tStatus2 status;
};

TEST_F(tVESKChannelTest, OverABusItLoadsFourRegistersInOrderAndWritesNone) {
  for (uint32_t offset = 0; offset < 0x84; offset += 4)
    windows.setRead(window, offset, 32, 0x1000 + offset);
  auto* channel = new tVESKChannel(&bus, window, &status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(bus.calls(), (std::vector<tCall>{{tCall::kWindowAddress, 4, 3, window, 0}}));
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{{window, 0x04, 32, 0x1004, W::kRead},
                                                 {window, 0x0C, 32, 0x100C, W::kRead},
                                                 {window, 0x14, 32, 0x1014, W::kRead},
                                                 {window, 0x1C, 32, 0x101C, W::kRead}}));
  EXPECT_EQ(channel->Channel_Control.getRegister(), 0x1004u);
  EXPECT_EQ(channel->Channel_Config_1C.getRegister(), 0x101Cu);
  EXPECT_EQ(channel->Channel_Status.getRegister(), 0u);
  EXPECT_EQ(channel->Channel_Chain_Address.getRegister(), 0u);

  windows.clearLog();
  EXPECT_EQ(channel->Channel_Status.readRegister(&status), 0x103Cu);
  channel->Channel_Chain_Address.setRegister(0x12345678);
  channel->Channel_Chain_Address.writeRegister(&status);
  channel->Channel_Command.writeRegister(0x80000000, &status);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{{window, 0x3C, 32, 0x103C, W::kRead},
                                                 {window, 0x20, 32, 0x12345678, W::kWrite},
                                                 {window, 0x00, 32, 0x80000000, W::kWrite}}));
  // Built over a given bus, it gives nothing back.
  bus.clearCalls();
  delete channel;
  EXPECT_TRUE(bus.calls().empty());
}

TEST_F(tVESKChannelTest, ControlCommandBitsReachTheBoardButNotTheSoftCopy) {
  tVESKChannel channel(&bus, window, &status);
  windows.clearLog();
  channel.Channel_Control.setRegister(0xFFFFFFFF);
  channel.Channel_Control.writeRegister(&status);
  EXPECT_EQ(windows.writes(), (std::vector<tAccess>{{window, 0x04, 32, 0xFFFFFFFF, W::kWrite}}));
  EXPECT_EQ(channel.Channel_Control.getRegister(), 0x3CF0FFFFu);
  channel.Channel_Config_14.setRegister(0xFFFFFFFF);
  channel.Channel_Config_14.writeRegister(&status);
  EXPECT_EQ(channel.Channel_Config_14.getRegister(), 0xFFFFFFFFu);
  bus.clearCalls();
}

TEST_F(tVESKChannelTest, AReadUnderAnErrorTouchesNothingAndSparesWrittenSoftCopies) {
  windows.setRead(window, 0x04, 32, 0x55);
  tVESKChannel channel(&bus, window, &status);
  windows.clearLog();
  nQoMDBG100::tStatus2 failedStatus(-1);
  EXPECT_EQ(channel.Channel_Control.readRegister(&failedStatus), 0xFFFFFFFFu);
  EXPECT_EQ(channel.Channel_Control.getRegister(), 0x55u);
  EXPECT_EQ(channel.Channel_Register_18.readRegister(&failedStatus), 0xFFFFFFFFu);
  EXPECT_EQ(channel.Channel_Register_18.getRegister(), 0u);
  EXPECT_EQ(channel.Channel_Status.readRegister(&failedStatus), 0xFFFFFFFFu);
  EXPECT_EQ(channel.Channel_Status.getRegister(), 0xFFFFFFFFu);
  channel.Channel_Control.writeRegister(&failedStatus);
  channel.Channel_Command.writeRegister(4, &failedStatus);
  EXPECT_TRUE(windows.log().empty());
}

TEST_F(tVESKChannelTest, AFailedWindowLeavesAMapThatTouchesNothing) {
  bus.failWindowAddress(-50352);
  tVESKChannel channel(&bus, window, &status);
  EXPECT_EQ(status.code, -50352);
  status.clear();
  channel.Channel_Control.setRegister(1);
  channel.Channel_Control.writeRegister(&status);
  EXPECT_EQ(channel.Channel_Status.readRegister(&status), 0xFFFFFFFFu);
  EXPECT_TRUE(windows.log().empty());

  nQoMDBG100::tStatus2 noBus;
  tVESKChannel without(nullptr, window, &noBus);
  EXPECT_EQ(noBus.code, -50002);
  EXPECT_EQ(lastReport(), "-50002 qoudrk qomiorlp/tVESKChannel 31");
  bus.clearCalls();
}

TEST_F(tVESKChannelTest, FromTheDeviceTreeItMapsTheWindowAndGivesEverythingBack) {
  nQoSim::tSimDevice device(&bus);
  nQoSim::tSimDeviceTable tree({nullptr, &device});
  nQoSim::setDeviceTree(&tree);
  windows.setRead(window, 0x0C, 32, 0xC);
  {
    tVESKChannel channel(1, 7, 9, window, &status);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(bus.calls(), (std::vector<tCall>{{tCall::kMapMemory, 7, 9, window, 0x84}}));
    EXPECT_EQ(channel.space().base(), windows.base(window));
    EXPECT_EQ(channel.Channel_Config_0C.getRegister(), 0xCu);
    EXPECT_EQ(tree.lookups(), (std::vector<uint32_t>{1}));
  }
  EXPECT_EQ(bus.liveMappings(), 0);
  EXPECT_EQ(device.busesTaken(), 1u);

  {
    tVESKChannel channel(1, window, &status);
    EXPECT_EQ(bus.calls().back(), (tCall{tCall::kMapMemory, 0, 0, window, 0x84}));
  }
  EXPECT_EQ(device.busesTaken(), 2u);
}

TEST_F(tVESKChannelTest, FromTheDeviceTreeEachMissingPieceIsReported) {
  // No device tree, and no device: -50002 at the form's own line.
  { tVESKChannel channel(0u, window, &status); }
  EXPECT_EQ(lastReport(), "-50002 qoudrk qomiorlp/tVESKChannel 48");
  nQoMDBG100::tStatus2 longForm;
  { tVESKChannel channel(0, 0, 0, window, &longForm); }
  EXPECT_EQ(lastReport(), "-50002 qoudrk qomiorlp/tVESKChannel 74");

  nQoSim::tSimDevice withoutBus(nullptr);
  nQoSim::tSimDeviceTable tree({&withoutBus});
  nQoSim::setDeviceTree(&tree);
  nQoMDBG100::tStatus2 noDevice;
  { tVESKChannel channel(5, window, &noDevice); }
  EXPECT_EQ(noDevice.code, -50002);
  nQoMDBG100::tStatus2 noBus;
  { tVESKChannel channel(0, 0, 0, window, &noBus); }
  EXPECT_EQ(lastReport(), "-50002 qoudrk qomiorlp/tVESKChannel 74");

  nQoSim::tSimDevice device(&bus);
  nQoSim::tSimDeviceTable mapping({&device});
  nQoSim::setDeviceTree(&mapping);
  bus.failMapMemory(0);
  nQoMDBG100::tStatus2 noMapping;
  { tVESKChannel channel(0u, window, &noMapping); }
  EXPECT_EQ(lastReport(), "-50352 qoudrk regmapsupport/tMemMappedAddressSpace 68");
  EXPECT_EQ(device.busesTaken(), 1u);
  EXPECT_TRUE(windows.log().empty());

  // An error already held: nothing is looked up.
  nQoMDBG100::tStatus2 failedStatus(-7);
  {
    tVESKChannel channel(0u, window, &failedStatus);
    EXPECT_EQ(channel.space().bus(), nullptr);
  }
  EXPECT_EQ(mapping.lookups().size(), 1u);
  EXPECT_EQ(failedStatus.code, -7);
  bus.clearCalls();
}

}  // namespace
}  // namespace nQoTest
