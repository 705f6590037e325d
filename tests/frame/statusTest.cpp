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

using nQoAPALS100::tStatus;
using nQoAPALS100::tStatusExtended;
using nQoMDBG100::tStatus2;

class StatusTest : public nQoTest::tLeakCheckedTest {};

TEST_F(StatusTest, SetCodeAndAssignKeepTheFirstErrorAndLogOnlyTakenCodes) {
  const int64_t before = nQoSim::liveAllocations();
  tStatus2 status, warning(+200010), clean, error(-7), otherWarning(+5), second(-1);
  for (auto [code, line] :
       {std::pair{200010, 1u}, {50202, 2u}, {-50150, 3u}, {-50352, 4u}, {0, 5u}})
    status.setCode(code, "qoudrk", "statusTest", line);
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

  warning.assign(clean);
  warning.assign(otherWarning);
  EXPECT_EQ(warning.code, 200010);
  warning.assign(error);
  second.assign(error);
  EXPECT_EQ(warning.code, -7);
  EXPECT_EQ(second.code, -1);
}

TEST_F(StatusTest, DescriptionsAreSharedByAssignAndReleasedByClear) {
  auto* description = new nQoMDBG100::tStatus2Description;
  tStatus2 source, target;
  tStatus2::_setCode(&source, -200645, "qoudrk", "statusTest", 10, description);
  target.assign(source);
  EXPECT_EQ(target.description, description);
  EXPECT_EQ(description->references(), 2);
  target.clear();
  EXPECT_EQ(target.description, nullptr);
  EXPECT_EQ(description->references(), 1);
}

TEST_F(StatusTest, SiteHelperPassesTheComponentAndIgnoresANullStatus) {
  tStatus2 status, counter;
  int plain = +3;
  nQoUdR100::setCode(status, -50003, {"qomiorlp/tavik/tTavik", 264});
  nQoUdR100::setCode(static_cast<tStatus2*>(nullptr), -50003, {"x", 1});
  nQoUdR100::setCode(counter, -1, {"tCtrPair", 7, nQoUdR100::kCounterComponent});
  const auto log = nQoSim::statusLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].component, "qoudrk");
  EXPECT_EQ(log[0].line, 264u);
  EXPECT_EQ(log[1].component, "qotiok");
  nQoUdR100::mergeCode(plain, +4);
  EXPECT_EQ(plain, 3);
  nQoUdR100::mergeCode(plain, -4);
  EXPECT_EQ(plain, -4);
}

TEST_F(StatusTest, ExtendedStatusKeepsATruncatedLocationAndRefusesALaterCode) {
  tStatusExtended status, whole, cut;
  status.stackTrace[0] = 77;
  EXPECT_TRUE(setStatusWithLocation(status, -52000, "abcdefghijkl", "dir/file.cpp", 438));
  EXPECT_EQ(status.code, -52000);
  EXPECT_STREQ(status.component, "abcdefghi");
  EXPECT_STREQ(status.file, "dir/file.cpp");
  EXPECT_EQ(status.line, 438u);
  EXPECT_EQ(status.stackTrace[0], 0u);
  EXPECT_FALSE(setStatusWithLocation(status, -2, "second", "second.cpp", 2));
  EXPECT_FALSE(setStatusWithLocation(status, 0, "zero", "zero.cpp", 3));
  EXPECT_EQ(status.code, -52000);
  EXPECT_STREQ(status.file, "dir/file.cpp");
  EXPECT_EQ(status.line, 438u);

  const std::string exact(100, 'p');
  const std::string longPath = std::string(49, 'a') + "MIDDLE" + std::string(46, 'z');
  EXPECT_TRUE(setStatusWithLocation(whole, 5, "c", exact.c_str(), 1));
  EXPECT_EQ(std::string(whole.file), exact);
  EXPECT_TRUE(setStatusWithLocation(cut, 5, nullptr, longPath.c_str(), 1));
  EXPECT_EQ(std::string(cut.file), std::string(49, 'a') + ".." + longPath.substr(52));
  EXPECT_STREQ(cut.component, "");
}

TEST_F(StatusTest, PlainStatusTouchesOnlyItsCodeAndMergesAsAnEmptyLocation) {
  unsigned char storage[sizeof(tStatusExtended)];
  std::memset(storage, 0xCD, sizeof storage);
  auto* plain = new (storage) tStatus;
  EXPECT_TRUE(setStatusWithLocation(*plain, -9, "comp", "file", 3));
  EXPECT_EQ(plain->code, -9);
  for (std::size_t i = sizeof(tStatus); i < sizeof storage; ++i) ASSERT_EQ(storage[i], 0xCD) << i;

  tStatusExtended target, fresh;
  ASSERT_TRUE(setStatusWithLocation(target, +1, "warn", "warn.cpp", 4));
  EXPECT_TRUE(mergeStatusWithLocation(target, *plain));
  EXPECT_EQ(target.code, -9);
  EXPECT_STREQ(target.component, "");
  EXPECT_STREQ(target.file, "");
  EXPECT_EQ(target.line, 0u);
  target.stackTrace[0] = 11;
  target.stackTrace[1] = 0;
  fresh.stackTrace[2] = 55;
  EXPECT_TRUE(mergeStatusWithLocation(fresh, target));
  EXPECT_EQ(fresh.stackTrace[0], 11u);
  EXPECT_EQ(fresh.stackTrace[2], 55u) << "copying stops after the first 0 word";
  EXPECT_FALSE(mergeStatusWithLocation(fresh, target));
}

}  // namespace
