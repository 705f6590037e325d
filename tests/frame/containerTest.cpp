// The growable array and the strings (growth, the sticky allocation-failed
// flag), the checksum and destruction through the class registry.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "frame/crc16.h"
#include "frame/destroyObject.h"
#include "frame/tBasicString.h"
#include "frame/tGrowableArray.h"
#include "orb/tClassImplementation.h"
#include "sim/tSimCloneable.h"
#include "support/moduleFixture.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::tGrowableArray;
using nQoUdR100::tString;

class ContainerTest : public nQoTest::tLeakCheckedTest {};

TEST_F(ContainerTest, FailedGrowthKeepsTheElementsAndStaysReported) {
  tGrowableArray<int> array;
  tStatus2 status, later, error(-7);
  nQoSim::failAllocation(3);
  EXPECT_TRUE(array.append(10));
  EXPECT_TRUE(array.append(20));
  EXPECT_FALSE(array.append(30));
  ASSERT_EQ(array.size(), 2u);
  EXPECT_EQ(array[0] + array[1], 30);
  EXPECT_TRUE(array.allocationFailed());
  array.checkAllocation(status, {"containerTest", 1});
  EXPECT_EQ(status.code, -50352);
  EXPECT_TRUE(array.append(40));
  EXPECT_EQ(array.size(), 3u);
  array.checkAllocation(later, {"containerTest", 2});
  EXPECT_EQ(later.code, -50352);
  array.checkAllocation(error, {"containerTest", 3});
  EXPECT_EQ(error.code, -7);

  tString text("abc");
  tStatus2 text50352;
  nQoSim::failAllocation(1);
  EXPECT_FALSE(text.append("defghijklmnop"));
  EXPECT_STREQ(text.c_str(), "abc");
  EXPECT_EQ(text.size(), 3u);
  text.checkAllocation(text50352, {"containerTest", 4});
  EXPECT_EQ(text50352.code, -50352);
  EXPECT_TRUE(text.append("d"));
  EXPECT_STREQ(text.c_str(), "abcd");
}

TEST_F(ContainerTest, GrowthDoublesClearKeepsTheBlockAndElementsMove) {
  tGrowableArray<int> array;
  tGrowableArray<tString> names;
  const uint64_t before = nQoSim::totalAllocations();
  for (int i = 0; i < 9; ++i) ASSERT_TRUE(array.append(i));
  EXPECT_EQ(nQoSim::totalAllocations() - before, 5u) << "blocks of 1, 2, 4, 8, 16";
  array.clear();
  for (int i = 0; i < 16; ++i) ASSERT_TRUE(array.append(i));
  EXPECT_EQ(nQoSim::totalAllocations() - before, 5u);
  ASSERT_TRUE(array.reserve(40));
  EXPECT_EQ(array[15], 15);
  for (const char* name : {"ai", "ao", "dio", "ctr"}) ASSERT_TRUE(names.append(tString(name)));
  EXPECT_STREQ(names[3].c_str(), "ctr");
}

TEST_F(ContainerTest, AStringAppendsItselfAndItsOwnTail) {
  tString text("abc");
  EXPECT_TRUE(text.append(text)) << "grows from capacity 3";
  EXPECT_STREQ(text.c_str(), "abcabc");
  nQoUdR100::tWString wide(L"wxyz");
  EXPECT_TRUE(wide.append(wide.c_str() + 1));
  EXPECT_EQ(std::wstring(wide.c_str()), L"wxyzxyz");

  tString foreign("abc");  // one block of the joined size, as before
  const uint64_t before = nQoSim::totalAllocations();
  EXPECT_TRUE(foreign.append("defg"));
  EXPECT_EQ(nQoSim::totalAllocations() - before, 1u);
  nQoSim::failAllocation(1);
  EXPECT_FALSE(foreign.append(foreign)) << "capacity 7, so it must grow";
  EXPECT_STREQ(foreign.c_str(), "abcdefg");
}

TEST_F(ContainerTest, AnArrayAppendsOneOfItsOwnElements) {
  tGrowableArray<tString> names;
  ASSERT_TRUE(names.append(tString("first")));
  const uint64_t before = nQoSim::totalAllocations();
  EXPECT_TRUE(names.append(names[0])) << "grows from capacity 1";
  EXPECT_EQ(nQoSim::totalAllocations() - before, 2u) << "the block, then the copied text";
  ASSERT_EQ(names.size(), 2u);
  EXPECT_STREQ(names[0].c_str(), "first");
  EXPECT_STREQ(names[1].c_str(), "first");
  EXPECT_TRUE(names.append(std::move(names[1])));
  ASSERT_EQ(names.size(), 3u);
  EXPECT_STREQ(names[2].c_str(), "first");

  ASSERT_TRUE(names.append(tString("full")));
  nQoSim::failAllocation(1);  // the block: nothing moves
  EXPECT_FALSE(names.append(std::move(names[0])));
  EXPECT_EQ(names.size(), 4u);
  EXPECT_STREQ(names[0].c_str(), "first");
}

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
