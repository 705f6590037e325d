// The board's bus holder: what it opens and builds, in order; failures on the
// way; tear-down; the VESK bridge set-up.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "sim/simAllocator.h"
#include "sim/tSimDeviceNode.h"
#include "sim/tSimListenerDeviceTree.h"
#include "tavik/tTavikBus.h"
#include "tavik/tavikFixture.h"

namespace nQoTest {
namespace {

using nQoUdP100::tTavikBus;

constexpr uint32_t kVesk = 0x7665736B;
constexpr uint32_t kPci = 0x20706369;

class tTavikBusTest : public tLeakCheckedTest {
 protected:
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    nQoSim::setDeviceTree(&tree);
    bus.answerOpenWindow(0, tavikWindow);
    bus.answerOpenWindow(1, veskWindow);
    bus.answerFindWindow(kVesk, {7, 0x100, 0x1000, {}});
    bridge.setFourCharacterCode(1, kPci);
    bridge.setFourCharacterCode(3, kPci);
    bridge.setNumber(1, 0x12D8);
    tree.setNodes({&root, &bridge});
  }
  void TearDown() override {
    EXPECT_EQ(bus.openWindows(), 0);
    EXPECT_EQ(device.busesTaken(), device.busesGiven());
    EXPECT_EQ(tree.liveNodeLists(), 0u);
    nQoSim::setDeviceTree(nullptr);
    tLeakCheckedTest::TearDown();
  }
  // The VESK window's reads and writes, after building and destroying a holder.
  std::vector<tCall> veskCallsOfAHolder(uint32_t identification) {
    windows.setRead(veskWindow, 0x460, 32, identification);
    bus.clearCalls();
    { tTavikBus holder(&device, description, guid, status, 0); }
    std::vector<tCall> found;
    for (const tCall& call : bus.calls())
      if ((call.operation == tCall::kRead32 || call.operation == tCall::kWrite32) &&
          call.window == veskWindow)
        found.push_back(call);
    return found;
  }

  tSimRegisterWindows windows;
  const unsigned noWindow = windows.addWindow(4);  // the bus never answers 0
  const unsigned tavikWindow = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  const unsigned veskWindow = windows.addWindow(0x800);
  tSimBus bus{windows};
  nQoSim::tSimDevice device{&bus};
  nQoSim::tSimListenerDeviceTree tree;
  nQoSim::tSimDeviceNode root;
  nQoSim::tSimDeviceNode bridge;
  uint32_t present = 1;
  nQoUdP100::tTavikBusDescription description{{2, &present}};
  nQoORB100::tGUID guid{0x1122334455667788, 0x99AABBCCDDEEFF00};
  nQoMDBG100::tStatus2 status;
};

TEST_F(tTavikBusTest, ItOpensTheBoardAndBuildsTheMapsInOrder) {
  {
    tTavikBus holder(&device, description, guid, status, 0);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(bus.calls(), (std::vector<tCall>{
                               {tCall::kOpenWindow, 0, 0, 0, 0, tavikWindow},
                               {tCall::kOpenSubWindow, 1, 2, 0x500, 0, 3},
                               {tCall::kOpenSubWindow, 1, 2, 0x600, 0, 4},
                               {tCall::kWindowAddress, 4, 3, 3, 0},
                               {tCall::kWindowAddress, 4, 3, 4, 0},
                               {tCall::kWindowAddress, 4, 3, tavikWindow, 0},
                               {tCall::kFindWindow, kVesk, 24, 0, 0},
                               {tCall::kOpenWindow, 1, 7, 0x100, 0x1000, veskWindow},
                               {tCall::kRead32, 0xC0000000, 0x460, veskWindow, 0, 0},
                               {tCall::kCloseWindow, 0, 0, veskWindow, 0},
                           }));
    EXPECT_EQ(holder.channelCount(), 2);
    EXPECT_EQ(holder.dispatcher(), nullptr);
  }
  for (auto dma : {nQoUdP100::tTavikBusDescription::tDMA{2, nullptr},
                   nQoUdP100::tTavikBusDescription::tDMA{0, &present},
                   nQoUdP100::tTavikBusDescription::tDMA{-3, &present}}) {
    tTavikBus holder(&device, {dma}, guid, status, 1);
    EXPECT_EQ(holder.channelCount(), 0);
    EXPECT_NE(holder.dispatcher(), nullptr);
  }
  EXPECT_EQ(status.code, 0);
}

TEST_F(tTavikBusTest, NoRegisterSpaceOrNoBusStops) {
  bus.answerOpenWindow(0, 0);
  {
    tTavikBus holder(&device, description, guid, status, 1);
    EXPECT_EQ(lastReport(), "-50002 qoudrk tTavikBus 52");
    EXPECT_EQ(holder.map(), nullptr);
  }
  EXPECT_EQ(bus.calls(), (std::vector<tCall>{{tCall::kOpenWindow, 0, 0, 0, 0, 0}}));
  nQoSim::tSimDevice withoutBus(nullptr);
  nQoMDBG100::tStatus2 noBus;
  { tTavikBus holder(&withoutBus, description, guid, noBus, 1); }
  EXPECT_EQ(noBus.code, -50002);
  EXPECT_EQ(bus.calls().size(), 1u);
}

TEST_F(tTavikBusTest, EveryFailedAllocationStopsWithOutOfMemoryAndLeavesNothing) {
  unsigned failing = 0;
  for (uint64_t nth = 1; nth < 100; ++nth) {
    nQoMDBG100::tStatus2 local;
    nQoSim::failAllocation(nth);
    { tTavikBus holder(&device, description, guid, local, 1); }
    nQoSim::failAllocation(0);
    EXPECT_EQ(bus.openWindows(), 0) << "allocation " << nth;
    EXPECT_EQ(bus.registrations(), 0);
    if (local.code == 0) break;
    EXPECT_EQ(local.code, -50352) << "allocation " << nth;
    ++failing;
  }
  EXPECT_EQ(failing, 7u);
}

TEST_F(tTavikBusTest, TearDownRunsInReverse) {
  auto* holder = new tTavikBus(&device, description, guid, status, 1);
  ASSERT_TRUE(holder->dispatcher()->attachInterrupt(status));
  std::vector<const iSync*> mapLocks;
  for (uint32_t id = 1; id <= 22; ++id) mapLocks.push_back(holder->map()->lockGroup(id)->lock());
  bus.clearCalls();
  nQoSim::clearSyncLog();
  delete holder;
  EXPECT_EQ(bus.calls(), (std::vector<tCall>{{tCall::kAtomic, 0, 0, 0, 0, 0},
                                             {tCall::kUnregisterInterrupt, 0, 0, 0, 0, 0x1000},
                                             {tCall::kReleaseSubWindow, 0, 0, 4, 0},
                                             {tCall::kReleaseSubWindow, 0, 0, 3, 0},
                                             {tCall::kCloseWindow, 0, 0, tavikWindow, 0}}));
  const auto closed = closedObjects();  // the dispatcher's lock, then the map's
  ASSERT_EQ(closed.size(), 23u);
  std::reverse(mapLocks.begin(), mapLocks.end());
  EXPECT_EQ(std::vector<const iSync*>(closed.begin() + 1, closed.end()), mapLocks);
}

TEST_F(tTavikBusTest, TheBridgeIsSetUpOnlyForTheVendorsBridgeOnChipRevisionOneOrLater) {
  EXPECT_EQ(veskCallsOfAHolder(0x40103140).size(), 1u);  // revision 0
  EXPECT_TRUE(tree.nodeListQueries().empty());
  for (uint32_t identification : {0x4010314Fu, 0x401F3141u}) {
    windows.queueReads(veskWindow, 0x4F0, {0xFFFF0000, 0x00010000, 0x0000F0FF});
    EXPECT_EQ(
        veskCallsOfAHolder(identification),
        (std::vector<tCall>{{tCall::kRead32, 0xC0000000, 0x460, veskWindow, 0, identification},
                            {tCall::kRead32, 0xC0000000, 0x4F0, veskWindow, 0, 0xFFFF0000},
                            {tCall::kRead32, 0xC0000000, 0x4F0, veskWindow, 0, 0x00010000},
                            {tCall::kRead32, 0xC0000000, 0x4F0, veskWindow, 0, 0x0000F0FF},
                            {tCall::kWrite32, 0x40000000, 0x4F0, veskWindow, 0, 0x0000E0FF}}));
    EXPECT_EQ(tree.nodeListQueries().back(),
              (nQoSim::tSimListenerDeviceTree::tNodeListQuery{0, 0, &device}));
  }
  EXPECT_EQ(veskCallsOfAHolder(0x40203141).size(), 1u);  // another chip

  windows.setRead(veskWindow, 0x4F0, 32, 0x12341000);
  const auto calls = veskCallsOfAHolder(0x40103141);
  ASSERT_EQ(calls.size(), 13u);  // identification, 11 reads, the write
  EXPECT_EQ(calls.back(), (tCall{tCall::kWrite32, 0x40000000, 0x4F0, veskWindow, 0, 0x12342000}));

  bridge.setNumber(1, 0x10B5);
  EXPECT_EQ(veskCallsOfAHolder(0x40103141).size(), 1u);
  nQoSim::tSimDeviceNode half;
  half.setFourCharacterCode(1, kPci);
  half.setNumber(1, 0x12D8);
  tree.setNodes({&root, &half});
  EXPECT_EQ(veskCallsOfAHolder(0x40103141).size(), 1u);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tTavikBusTest, WithoutDeviceTreeTheBridgeFailsAndTheVeskWindowIsClosed) {
  windows.setRead(veskWindow, 0x460, 32, 0x40103141);
  nQoSim::setDeviceTree(nullptr);
  {
    tTavikBus holder(&device, description, guid, status, 0);
    EXPECT_EQ(status.code, -50004);
    EXPECT_EQ(bus.openWindows(), 3);
  }
  nQoMDBG100::tStatus2 failedRead;
  bus.failNext(tCall::kRead32, -50301);
  { tTavikBus holder(&device, description, guid, failedRead, 0); }
  EXPECT_EQ(failedRead.code, -50301);
}

}  // namespace
}  // namespace nQoTest
