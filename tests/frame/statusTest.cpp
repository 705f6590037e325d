// The merge rule of both status types, descriptions held by a status, and the
// portability status's location fields.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/tStatus.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "mdbg/tStatus2Description.h"
#include "support/moduleFixture.h"

namespace {

using nQoMDBG100::tStatus2;

class StatusTest : public nQoTest::tLeakCheckedTest {};

TEST_F(StatusTest, SetCodeKeepsTheFirstErrorAndLogsOnlyTakenCodes) {
  const int64_t before = nQoSim::liveAllocations();
  tStatus2 status;
  status.setCode(+200010, "qoudrk", "statusTest", 1);
  status.setCode(+50202, "qoudrk", "statusTest", 2);
  status.setCode(-50150, "qoudrk", "statusTest", 3);
  status.setCode(-50352, "qoudrk", "statusTest", 4);
  status.setCode(0, "qoudrk", "statusTest", 5);
  EXPECT_EQ(status.code, -50150);

  const auto log = nQoSim::statusLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].code, 200010);
  EXPECT_EQ(log[0].component, "qoudrk");
  EXPECT_EQ(log[0].file, "statusTest");
  EXPECT_EQ(log[0].line, 1u);
  EXPECT_EQ(log[1].code, -50150);
  EXPECT_EQ(log[1].line, 3u);
  EXPECT_EQ(nQoSim::liveAllocations(), before);
}

TEST_F(StatusTest, AssignFollowsTheMergeRule) {
  tStatus2 warning(+200010), clean, error(-7), otherWarning(+5);
  warning.assign(clean);
  EXPECT_EQ(warning.code, 200010) << "a clean status changes nothing";
  warning.assign(otherWarning);
  EXPECT_EQ(warning.code, 200010) << "a second warning does not replace the first";
  warning.assign(error);
  EXPECT_EQ(warning.code, -7);
  tStatus2 second(-1);
  second.assign(error);
  EXPECT_EQ(second.code, -1);
}

TEST_F(StatusTest, DescriptionsAreSharedByAssignAndReleasedByClear) {
  auto* description = new nQoMDBG100::tStatus2Description;
  ASSERT_NE(description, nullptr);
  {
    tStatus2 source, target;
    tStatus2::_setCode(&source, -200645, "qoudrk", "statusTest", 10, description);
    target.assign(source);
    EXPECT_EQ(target.description, description);
    EXPECT_EQ(description->references(), 2);
    target.clear();
    EXPECT_EQ(target.code, 0);
    EXPECT_EQ(target.description, nullptr);
    EXPECT_EQ(description->references(), 1);
  }
  // The source's destructor gave back the last reference: nothing leaks.
}

TEST_F(StatusTest, SiteHelperPassesTheComponentAndIgnoresANullStatus) {
  tStatus2 status;
  nQoUdR100::setCode(status, -50003, {"qomiorlp/tavik/tTavik", 264});
  nQoUdR100::setCode(static_cast<tStatus2*>(nullptr), -50003, {"x", 1});
  tStatus2 counter;
  nQoUdR100::setCode(counter, -1, {"tCtrPair", 7, nQoUdR100::kCounterComponent});
  const auto log = nQoSim::statusLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].component, "qoudrk");
  EXPECT_EQ(log[0].line, 264u);
  EXPECT_EQ(log[1].component, "qotiok");

  int plain = +3;
  nQoUdR100::mergeCode(plain, +4);
  EXPECT_EQ(plain, 3);
  nQoUdR100::mergeCode(plain, -4);
  EXPECT_EQ(plain, -4);
}

using nQoAPALS100::tStatus;
using nQoAPALS100::tStatusExtended;

TEST_F(StatusTest, ExtendedStatusKeepsATruncatedLocation) {
  tStatusExtended status;
  status.stackTrace[0] = 77;
  EXPECT_TRUE(setStatusWithLocation(status, -52000, "abcdefghijkl", "dir/file.cpp", 438));
  EXPECT_EQ(status.code, -52000);
  EXPECT_STREQ(status.component, "abcdefghi");
  EXPECT_STREQ(status.file, "dir/file.cpp");
  EXPECT_EQ(status.line, 438u);
  EXPECT_EQ(status.stackTrace[0], 0u);

  const std::string exact(100, 'p');
  tStatusExtended whole;
  EXPECT_TRUE(setStatusWithLocation(whole, 5, "c", exact.c_str(), 1));
  EXPECT_EQ(std::string(whole.file), exact);

  std::string longPath(49, 'a');
  longPath += "MIDDLE";
  longPath += std::string(46, 'z');  // 101 characters
  ASSERT_EQ(longPath.size(), 101u);
  tStatusExtended cut;
  EXPECT_TRUE(setStatusWithLocation(cut, 5, nullptr, longPath.c_str(), 1));
  EXPECT_EQ(std::string(cut.file), std::string(49, 'a') + ".." + longPath.substr(52));
  EXPECT_EQ(std::strlen(cut.file), 100u);
  EXPECT_STREQ(cut.component, "");
}

TEST_F(StatusTest, RefusedCodeChangesNothing) {
  tStatusExtended status;
  ASSERT_TRUE(setStatusWithLocation(status, -1, "first", "first.cpp", 1));
  status.stackTrace[0] = 9;
  EXPECT_FALSE(setStatusWithLocation(status, -2, "second", "second.cpp", 2));
  EXPECT_FALSE(setStatusWithLocation(status, 0, "zero", "zero.cpp", 3));
  EXPECT_EQ(status.code, -1);
  EXPECT_STREQ(status.component, "first");
  EXPECT_STREQ(status.file, "first.cpp");
  EXPECT_EQ(status.line, 1u);
  EXPECT_EQ(status.stackTrace[0], 9u);
}

TEST_F(StatusTest, PlainStatusTouchesOnlyItsCode) {
  // A plain status owned by a 16-byte record: the bytes past it stay as they are.
  unsigned char storage[sizeof(tStatusExtended)];
  std::memset(storage, 0xCD, sizeof storage);
  auto* plain = new (storage) tStatus;
  EXPECT_TRUE(setStatusWithLocation(*plain, +7, "comp", "file", 3));
  EXPECT_EQ(plain->code, 7);
  for (std::size_t i = sizeof(tStatus); i < sizeof storage; ++i) ASSERT_EQ(storage[i], 0xCD) << i;
}

TEST_F(StatusTest, MergeTakesLocationAndStackTrace) {
  tStatus plain;
  plain.code = -9;
  tStatusExtended target;
  ASSERT_TRUE(setStatusWithLocation(target, +1, "warn", "warn.cpp", 4));
  EXPECT_TRUE(mergeStatusWithLocation(target, plain));
  EXPECT_EQ(target.code, -9);
  EXPECT_STREQ(target.component, "");
  EXPECT_STREQ(target.file, "");
  EXPECT_EQ(target.line, 0u);

  tStatusExtended source;
  ASSERT_TRUE(setStatusWithLocation(source, -3, "src", "src.cpp", 8));
  source.stackTrace[0] = 11;
  source.stackTrace[1] = 12;
  source.stackTrace[2] = 0;
  source.stackTrace[3] = 99;
  tStatusExtended fresh;
  fresh.stackTrace[3] = 55;
  EXPECT_TRUE(mergeStatusWithLocation(fresh, source));
  EXPECT_EQ(fresh.code, -3);
  EXPECT_STREQ(fresh.component, "src");
  EXPECT_EQ(fresh.line, 8u);
  EXPECT_EQ(fresh.stackTrace[0], 11u);
  EXPECT_EQ(fresh.stackTrace[1], 12u);
  EXPECT_EQ(fresh.stackTrace[2], 0u);
  EXPECT_EQ(fresh.stackTrace[3], 55u) << "copying stops after the first 0 word";

  EXPECT_FALSE(mergeStatusWithLocation(fresh, target)) << "the first error stays";
}

}  // namespace
