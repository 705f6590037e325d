#include <gtest/gtest.h>

#include "frame/crc16.h"
#include "frame/destroyObject.h"
#include "frame/tDummyReadable.h"
#include "orb/tClassImplementation.h"

namespace {

TEST(Crc16, FollowsEveryByteWithAZeroByte) {
  EXPECT_EQ(nQoUdR100::computeCrc16(nullptr, 0), 0xFFFFFFFFu);
  const unsigned char abc[] = {'a', 'b', 'c'};
  EXPECT_EQ(nQoUdR100::computeCrc16(abc, 3), 0xD8339AAAu);
  const unsigned char zero[] = {0x00};
  EXPECT_EQ(nQoUdR100::computeCrc16(zero, 1), 0xFFFD800Du);
  // The low half is the plain checksum of a, 0, b, 0, c, 0.
  const unsigned char spread[] = {'a', 0, 'b', 0, 'c', 0};
  uint16_t r = 0xFFFF;
  for (unsigned char byte : spread) {
    r ^= static_cast<uint16_t>(byte << 8);
    for (int bit = 0; bit < 8; ++bit)
      r = static_cast<uint16_t>((r & 0x8000) != 0 ? (r << 1) ^ 0x8005 : r << 1);
  }
  EXPECT_EQ(nQoUdR100::computeCrc16(abc, 3) & 0xFFFF, r);
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

TEST(DummyReadable, NeverYieldsDataAndLeavesStatusesAlone) {
  nQoUdR100::tDummyReadable readable;
  nQoMXSL100::iReadable<unsigned char>& input = readable;
  nQoMDBG100::tStatus2 status(7);
  unsigned char byte = 0x5A;
  unsigned char buffer[4] = {1, 2, 3, 4};
  EXPECT_EQ(input.read(byte, status), 0u);
  EXPECT_EQ(input.read(buffer, 4, status), 0u);
  EXPECT_EQ(input.available(status), 0u);
  nQoMDBG100::tStatus2 reason(-1);
  input.close(reason, status);
  EXPECT_EQ(byte, 0x5A);
  EXPECT_EQ(buffer[3], 4);
  EXPECT_EQ(status.code, 7);
}

}  // namespace
