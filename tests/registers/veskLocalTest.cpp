// The VESK local register map: what it reads when built, and its device-tree forms.
#include <gtest/gtest.h>

#include <vector>

#include "registers/tVESKLocal.h"
#include "sim/simDevices.h"
#include "sim/tSimDevice.h"
#include "sim/tSimDeviceTable.h"
#include "tavikFixture.h"

namespace nQoTest {
namespace {

using nQoSim::tSimBus;
using nQoUdRLP100::tVESKLocal;
using tCall = tSimBus::tCall;
using W = tSimRegisterWindows;

class tVESKLocalTest : public tLeakCheckedTest {
 protected:
  void TearDown() override {
    nQoSim::setDeviceTree(nullptr);
    tLeakCheckedTest::TearDown();
  }

  tSimRegisterWindows windows;
  const unsigned window = windows.addWindow(0x474);
  tSimBus bus{windows};
  nQoMDBG100::tStatus2 status;
};

TEST_F(tVESKLocalTest, OverABusItReadsItsSixRegistersInOrderAndWritesNone) {
  const std::vector<uint32_t> offsets{0xB0, 0xC0, 0xC4, 0xF4, 0x460, 0x470};
  std::vector<tAccess> expected;
  for (uint32_t offset : offsets) {
    windows.setRead(window, offset, 32, 0xA000 + offset);
    expected.push_back({window, offset, 32, 0xA000 + offset, W::kRead});
  }
  tVESKLocal local(&bus, window, &status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(windows.log(), expected);
  EXPECT_EQ(local.Local_CSIGR.getRegister(), 0xA460u);
  EXPECT_EQ(local.Local_Register_470.getRegister(), 0xA470u);
  bus.clearCalls();
}

TEST_F(tVESKLocalTest, FromTheDeviceTreeItMapsItsLengthAndReportsADeviceWithoutBus) {
  nQoSim::tSimDevice device(&bus);
  nQoSim::tSimDeviceTable tree({&device});
  nQoSim::setDeviceTree(&tree);
  { tVESKLocal local(0u, window, &status); }
  EXPECT_EQ(bus.calls(), (std::vector<tCall>{{tCall::kMapMemory, 0, 0, window, 0x474},
                                             {tCall::kUnmapMemory, 0, 0, 0, 0}}));
  EXPECT_EQ(status.code, 0);

  nQoSim::tSimDevice withoutBus(nullptr);
  nQoSim::tSimDeviceTable busless({&withoutBus});
  nQoSim::setDeviceTree(&busless);
  { tVESKLocal local(0u, window, &status); }
  EXPECT_EQ(lastReport(), "-50002 qoudrk qomiorlp/tVESKLocal 48");
  nQoMDBG100::tStatus2 longForm;
  { tVESKLocal local(0, 1, 2, window, &longForm); }
  EXPECT_EQ(lastReport(), "-50002 qoudrk qomiorlp/tVESKLocal 74");
  bus.clearCalls();
}

}  // namespace
}  // namespace nQoTest
