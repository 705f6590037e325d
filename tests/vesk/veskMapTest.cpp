// The VESK maps: the DMA-channel map over a bus and from the device tree, its
// control register, reads under an error; what the local map reads.
#include <gtest/gtest.h>

#include <vector>

#include "tavik/tavikFixture.h"
#include "vesk/tVESKChannel.h"
#include "vesk/tVESKLocal.h"

namespace nQoTest {
namespace {

using nQoUdRLP100::tVESKChannel;
using nQoUdRLP100::tVESKLocal;

class tVESKMapTest : public tTavikTest {
 protected:
  tAccess readAt(uint32_t offset, uint32_t value) const {
    return {vesk, offset, 32, value, W::kRead};
  }
  const unsigned vesk = windows.addWindow(0x474);
};

TEST_F(tVESKMapTest, OverABusItLoadsFourRegistersInOrderAndWritesNone) {
  for (uint32_t offset = 0; offset < 0x84; offset += 4)
    windows.setRead(vesk, offset, 32, 0x1000 + offset);
  {
    tVESKChannel channel(&bus, vesk, &status);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(bus.calls(), (std::vector<tCall>{{tCall::kWindowAddress, 4, 3, vesk, 0}}));
    EXPECT_EQ(windows.log(), (std::vector<tAccess>{readAt(0x04, 0x1004), readAt(0x0C, 0x100C),
                                                   readAt(0x14, 0x1014), readAt(0x1C, 0x101C)}));
    EXPECT_EQ(channel.Channel_Control.getRegister(), 0x1004u);
    windows.clearLog();
    channel.Channel_Control.setRegister(0xFFFFFFFF);
    channel.Channel_Control.writeRegister(&status);
    EXPECT_EQ(windows.log(), (std::vector<tAccess>{{vesk, 0x04, 32, 0xFFFFFFFF, W::kWrite}}));
    EXPECT_EQ(channel.Channel_Control.getRegister(), 0x3CF0FFFFu);
    bus.clearCalls();
  }
  EXPECT_TRUE(bus.calls().empty());
}

TEST_F(tVESKMapTest, AReadUnderAnErrorTouchesNothingAndSparesWrittenSoftCopies) {
  windows.setRead(vesk, 0x04, 32, 0x55);
  tVESKChannel channel(&bus, vesk, &status);
  windows.clearLog();
  nQoMDBG100::tStatus2 failedStatus(-1);
  EXPECT_EQ(channel.Channel_Control.readRegister(&failedStatus), 0xFFFFFFFFu);
  EXPECT_EQ(channel.Channel_Control.getRegister(), 0x55u);
  EXPECT_EQ(channel.Channel_Register_18.readRegister(&failedStatus), 0xFFFFFFFFu);
  EXPECT_EQ(channel.Channel_Register_18.getRegister(), 0u);
  EXPECT_EQ(channel.Channel_Status.readRegister(&failedStatus), 0xFFFFFFFFu);
  EXPECT_EQ(channel.Channel_Status.getRegister(), 0xFFFFFFFFu);
  channel.Channel_Control.writeRegister(&failedStatus);
  EXPECT_TRUE(windows.log().empty());
}

TEST_F(tVESKMapTest, WithoutBusOrWindowTheMapReportsAndTouchesNothing) {
  bus.failWindowAddress(-50352);
  tVESKChannel channel(&bus, vesk, &status);
  EXPECT_EQ(status.code, -50352);
  status.clear();
  channel.Channel_Control.writeRegister(&status);
  EXPECT_EQ(channel.Channel_Status.readRegister(&status), 0xFFFFFFFFu);
  nQoMDBG100::tStatus2 noBus;
  tVESKChannel without(nullptr, vesk, &noBus);
  EXPECT_EQ(lastReport(), "-50002 qoudrk qomiorlp/tVESKChannel 31");
  EXPECT_TRUE(windows.log().empty());
}

TEST_F(tVESKMapTest, DeviceTreeFormsMapTheWindowAndReportWhatIsMissing) {
  EXPECT_EQ(reportOf([&](auto* s) { tVESKChannel channel(0u, vesk, s); }),
            "-50002 qoudrk qomiorlp/tVESKChannel 48");
  EXPECT_EQ(reportOf([&](auto* s) { tVESKChannel channel(0, 0, 0, vesk, s); }),
            "-50002 qoudrk qomiorlp/tVESKChannel 74");
  nQoSim::tSimDevice busless(nullptr);
  nQoSim::tSimDeviceTable devices({&busless, &device});
  nQoSim::setDeviceTree(&devices);
  EXPECT_EQ(reportOf([&](auto* s) { tVESKChannel channel(0, 0, 0, vesk, s); }),
            "-50002 qoudrk qomiorlp/tVESKChannel 74");
  EXPECT_EQ(reportOf([&](auto* s) { tVESKLocal local(0u, vesk, s); }),
            "-50002 qoudrk qomiorlp/tVESKLocal 48");
  EXPECT_EQ(reportOf([&](auto* s) { tVESKLocal local(0, 0, 0, vesk, s); }),
            "-50002 qoudrk qomiorlp/tVESKLocal 74");

  windows.setRead(vesk, 0x0C, 32, 0xC);
  {
    tVESKChannel channel(1, 7, 9, vesk, &status);
    EXPECT_EQ(channel.Channel_Config_0C.getRegister(), 0xCu);
  }
  { tVESKLocal local(1u, vesk, &status); }
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(bus.calls(), (std::vector<tCall>{{tCall::kMapMemory, 7, 9, vesk, 0x84},
                                             {tCall::kUnmapMemory, 0, 0, 0, 0},
                                             {tCall::kMapMemory, 0, 0, vesk, 0x474},
                                             {tCall::kUnmapMemory, 0, 0, 0, 0}}));
  EXPECT_EQ(device.busesTaken(), 2u);
}

TEST_F(tVESKMapTest, AWindowThatCannotBeMappedLeavesTheRegistersWithoutWindowWithOrWithoutStatus) {
  nQoSim::setDeviceTree(&tree);
  bus.failMapMemory(0);
  tEveryAccess board;
  EXPECT_EQ(reportOf([&](auto* s) { tVESKChannel channel(0u, vesk, s); }),
            "-50352 qoudrk regmapsupport/tMemMappedAddressSpace 68");
  {
    tVESKChannel channel(0u, vesk, nullptr);
    tVESKLocal local(0, 7, 9, vesk, nullptr);
    channel.Channel_Control.setRegister(0x80000000);
    channel.Channel_Control.writeRegister(nullptr);
    channel.Channel_Command.writeRegister(4, nullptr);
    EXPECT_EQ(channel.Channel_Status.readRegister(nullptr), 0xFFFFFFFFu);
    local.Local_CSIGR.writeRegister(&status);
    EXPECT_EQ(local.Local_Register_B0.readRegister(&status), 0xFFFFFFFFu);
  }
  EXPECT_TRUE(board.addresses.empty());
  EXPECT_EQ(bus.calls(), (std::vector<tCall>{{tCall::kMapMemory, 0, 0, vesk, 0x84},
                                             {tCall::kMapMemory, 0, 0, vesk, 0x84},
                                             {tCall::kMapMemory, 7, 9, vesk, 0x474}}));
  EXPECT_EQ(device.busesTaken(), 3u);
}

TEST_F(tVESKMapTest, TheLocalMapReadsItsSixRegistersInOrder) {
  std::vector<tAccess> expected;
  for (uint32_t offset : {0xB0, 0xC0, 0xC4, 0xF4, 0x460, 0x470}) {
    windows.setRead(vesk, offset, 32, 0xA000 + offset);
    expected.push_back(readAt(offset, 0xA000 + offset));
  }
  tVESKLocal local(&bus, vesk, &status);
  EXPECT_EQ(windows.log(), expected);
  EXPECT_EQ(local.Local_CSIGR.getRegister(), 0xA460u);
}

}  // namespace
}  // namespace nQoTest
