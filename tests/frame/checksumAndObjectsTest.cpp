// The checksum and destruction through the class registry.
#include <gtest/gtest.h>

#include "frame/crc16.h"
#include "frame/destroyObject.h"
#include "orb/tClassImplementation.h"
#include "sim/tSimCloneable.h"

namespace {

TEST(Crc16, FollowsEveryByteWithAZeroByte) {
  const unsigned char abc[] = {'a', 'b', 'c'}, zero[] = {0x00};
  EXPECT_EQ(nQoUdR100::computeCrc16(nullptr, 0), 0xFFFFFFFFu);
  EXPECT_EQ(nQoUdR100::computeCrc16(abc, 3), 0xD8339AAAu);
  EXPECT_EQ(nQoUdR100::computeCrc16(zero, 1), 0xFFFD800Du);
}

TEST(DestroyObject, DeletesThroughTheClassAndLeavesNullAlone) {
  using nQoSim::tSimEndpoint;
  int status = 0;
  nQoORB100::destroyObject(
      static_cast<nQoDIM100::iInterconnectBusEndpoint*>(tSimEndpoint::create()), status);
  nQoORB100::destroyObject(static_cast<nQoORB100::tObject*>(tSimEndpoint::create()), status);
  EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances(tSimEndpoint::kClassName), 0);
  EXPECT_EQ(status, 0);
  status = 17;
  nQoORB100::destroyObject(static_cast<nQoDIM100::iInterconnectBusEndpoint*>(nullptr), status);
  nQoORB100::destroyObject(static_cast<nQoORB100::tObject*>(nullptr), status);
  EXPECT_EQ(status, 17);
}

}  // namespace
