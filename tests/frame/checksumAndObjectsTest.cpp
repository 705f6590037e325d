#include <gtest/gtest.h>

#include "frame/crc16.h"
#include "frame/destroyObject.h"
#include "orb/tClassImplementation.h"

namespace {

TEST(Crc16, FollowsEveryByteWithAZeroByte) {
  EXPECT_EQ(nQoUdR100::computeCrc16(nullptr, 0), 0xFFFFFFFFu);
  const unsigned char abc[] = {'a', 'b', 'c'};
  EXPECT_EQ(nQoUdR100::computeCrc16(abc, 3), 0xD8339AAAu);
  const unsigned char zero[] = {0x00};
  EXPECT_EQ(nQoUdR100::computeCrc16(zero, 1), 0xFFFD800Du);
}

// A registered class reached through an interface of its own.
class iEndpoint {
 public:
  virtual ~iEndpoint() = default;
  virtual nQoORB100::tObject* ___ORBGetTObject() = 0;
};

class tEndpoint : public nQoORB100::tObject, public iEndpoint {
 public:
  static void* ___classID;
  static nQoORB100::tClassImplementation* registration;
  nQoORB100::tObject* ___ORBGetTObject() override { return this; }
  nQoORB100::tClass getClass(int&) const override { return nQoORB100::tClass(registration); }
};
void* tEndpoint::___classID = nullptr;
nQoORB100::tClassImplementation* tEndpoint::registration = nullptr;

// An interface whose object has no object-broker part.
class tDetached : public iEndpoint {
 public:
  nQoORB100::tObject* ___ORBGetTObject() override { return nullptr; }
};

TEST(DestroyObject, DeletesThroughTheClassAndLeavesNullAlone) {
  nQoORB100::tClassImplementation registration(
      "test::tEndpoint", [](int&) -> nQoORB100::tObject* { return new tEndpoint; },
      [](nQoORB100::tObject* object, int& status) {
        delete object;
        return status;
      },
      &tEndpoint::___classID);
  tEndpoint::registration = &registration;
  int status = 0;
  auto* first = static_cast<tEndpoint*>(registration.newInstance(status));
  auto* second = static_cast<tEndpoint*>(registration.newInstance(status));
  ASSERT_EQ(nQoORB100::tClassRegistry::liveInstances("test::tEndpoint"), 2);
  nQoORB100::destroyObject(static_cast<iEndpoint*>(first), status);
  nQoORB100::destroyObject(static_cast<nQoORB100::tObject*>(second), status);
  EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances("test::tEndpoint"), 0);
  EXPECT_EQ(status, 0);

  status = 17;
  nQoORB100::destroyObject(static_cast<iEndpoint*>(nullptr), status);
  nQoORB100::destroyObject(static_cast<nQoORB100::tObject*>(nullptr), status);
  tDetached detached;
  nQoORB100::destroyObject(static_cast<iEndpoint*>(&detached), status);
  EXPECT_EQ(status, 17);
}

}  // namespace
