// The growable array and the strings: growth and the sticky allocation-failed
// flag.
#include <gtest/gtest.h>

#include "frame/tBasicString.h"
#include "frame/tGrowableArray.h"
#include "support/moduleFixture.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::tGrowableArray;
using nQoUdR100::tString;
using nQoUdR100::tWString;

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

TEST_F(ContainerTest, StringsCompareElementWise) {
  EXPECT_TRUE(tWString(L"ab") < tWString(L"abc"));
  EXPECT_TRUE(tWString(L"\xFFFFFFFF") < tWString(L"a")) << "wide characters are signed";
  EXPECT_TRUE(tString("a") < tString("\xE9")) << "narrow characters are unsigned";
  EXPECT_EQ(tString("xyz").compare(tString("xyz")), 0);
}

}  // namespace
