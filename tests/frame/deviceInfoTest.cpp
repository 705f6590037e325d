// The device-information record: defaults and what initialize takes.
#include <gtest/gtest.h>

#include <cstdint>

#include "frame/tDeviceInfo.h"
#include "sim/tSimDeviceNode.h"

namespace nQoTest {
namespace {

using nQoUdP100::tDeviceInfo;

TEST(DeviceInfoTest, DefaultsAndTheSimulatedTagOfAttribute2) {
  const tDeviceInfo blank;
  EXPECT_EQ(blank.deviceHandle, 0xFFFFFFFFu);
  EXPECT_EQ(blank.simulated, 0u);
  EXPECT_EQ(blank.identity, nullptr);
  EXPECT_EQ(blank.deviceNode, nullptr);
  EXPECT_EQ(blank.descriptor, nullptr);

  const nQoORB100::tGUID guid{};
  const nQoUdR100::tProductDescriptor descriptor{nullptr};
  nQoSim::tSimDeviceNode node;
  for (auto [tag, simulated] : {std::pair{0x2073696Du, 1u}, {0x2073696Eu, 0u}, {0x6D697320u, 0u}}) {
    SCOPED_TRACE(tag);
    node.setFourCharacterCode(2, tag);
    tDeviceInfo info;
    info.reserved = 9;
    nQoMDBG100::tStatus2 status;
    info.initialize(&guid, 17, &node, &descriptor, status);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(info.simulated, simulated);
    EXPECT_EQ(info.identity, &guid);
    EXPECT_EQ(info.deviceHandle, 17u);
    EXPECT_EQ(info.deviceNode, &node);
    EXPECT_EQ(info.descriptor, &descriptor);
    EXPECT_EQ(info.reserved, 0u);
  }

  nQoSim::tSimDeviceNode bare;
  tDeviceInfo info;
  nQoMDBG100::tStatus2 missing, failed(-3);
  info.initialize(&guid, 17, &bare, &descriptor, missing);
  EXPECT_EQ(missing.code, -50004);
  EXPECT_EQ(info.simulated, 0u);
  tDeviceInfo untouched;
  untouched.initialize(&guid, 17, &node, &descriptor, failed);
  EXPECT_EQ(untouched.deviceHandle, 0xFFFFFFFFu);
  EXPECT_EQ(untouched.identity, nullptr);
}

}  // namespace
}  // namespace nQoTest
