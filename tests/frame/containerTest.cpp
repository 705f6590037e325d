// The growable array and the strings: growth, the sticky allocation-failed
// flag and its report.
#include <gtest/gtest.h>

#include "frame/tBasicString.h"
#include "frame/tGrowableArray.h"
#include "support/moduleFixture.h"

namespace {

using nQoUdR100::tGrowableArray;
using nQoUdR100::tString;
using nQoUdR100::tWString;

class ContainerTest : public nQoTest::tLeakCheckedTest {};

TEST_F(ContainerTest, FailedGrowthKeepsTheElementsAndStaysReported) {
  tGrowableArray<int> array;
  nQoSim::failAllocation(3);
  EXPECT_TRUE(array.append(10));
  EXPECT_TRUE(array.append(20));
  EXPECT_FALSE(array.append(30));
  ASSERT_EQ(array.size(), 2u);
  EXPECT_EQ(array[0], 10);
  EXPECT_EQ(array[1], 20);
  EXPECT_TRUE(array.allocationFailed());

  nQoMDBG100::tStatus2 status;
  array.checkAllocation(status, {"containerTest", 1});
  EXPECT_EQ(status.code, -50352);

  EXPECT_TRUE(array.append(40));
  EXPECT_EQ(array.size(), 3u);
  nQoMDBG100::tStatus2 later;
  array.checkAllocation(later, {"containerTest", 2});
  EXPECT_EQ(later.code, -50352) << "the flag is sticky";

  nQoMDBG100::tStatus2 error(-7);
  array.checkAllocation(error, {"containerTest", 3});
  EXPECT_EQ(error.code, -7) << "a stored error stays";
}

TEST_F(ContainerTest, GrowthDoublesAndClearKeepsTheBlock) {
  tGrowableArray<int> array;
  const uint64_t before = nQoSim::totalAllocations();
  for (int i = 0; i < 9; ++i) ASSERT_TRUE(array.append(i));
  EXPECT_EQ(nQoSim::totalAllocations() - before, 5u) << "blocks of 1, 2, 4, 8, 16";
  array.clear();
  EXPECT_TRUE(array.empty());
  for (int i = 0; i < 16; ++i) ASSERT_TRUE(array.append(i));
  EXPECT_EQ(nQoSim::totalAllocations() - before, 5u);
  ASSERT_TRUE(array.reserve(40));
  EXPECT_EQ(array[15], 15);
}

TEST_F(ContainerTest, ArrayHoldsStringsThatMoveWithGrowth) {
  tGrowableArray<tString> names;
  for (const char* name : {"ai", "ao", "dio", "ctr"}) ASSERT_TRUE(names.append(tString(name)));
  EXPECT_STREQ(names[0].c_str(), "ai");
  EXPECT_STREQ(names[3].c_str(), "ctr");
}

TEST_F(ContainerTest, FailedStringAppendChangesNothing) {
  tString text("abc");
  ASSERT_FALSE(text.allocationFailed());
  nQoSim::failAllocation(1);
  EXPECT_FALSE(text.append("defghijklmnop"));
  EXPECT_STREQ(text.c_str(), "abc");
  EXPECT_EQ(text.size(), 3u);
  EXPECT_TRUE(text.allocationFailed());
  nQoMDBG100::tStatus2 status;
  text.checkAllocation(status, {"containerTest", 4});
  EXPECT_EQ(status.code, -50352);
  EXPECT_TRUE(text.append("d"));
  EXPECT_STREQ(text.c_str(), "abcd");
}

TEST_F(ContainerTest, StringsCompareElementWise) {
  EXPECT_TRUE(tWString(L"ab") < tWString(L"abc"));
  EXPECT_TRUE(tWString(L"ab") == tWString(L"ab"));
  EXPECT_TRUE(tWString(L"\xFFFFFFFF") < tWString(L"a")) << "wide characters are signed";
  EXPECT_TRUE(tString("a") < tString("\xE9")) << "narrow characters are unsigned";
  tString empty;
  EXPECT_STREQ(empty.c_str(), "");
  tString copy(tString("xyz"));
  EXPECT_EQ(copy.compare(tString("xyz")), 0);
}

}  // namespace
