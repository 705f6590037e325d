// Both status types: the merge rule, descriptions, the portability status's
// location fields, its text form and plain statuses from the kernel allocator.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/portableMemory.h"
#include "frame/portablePrint.h"
#include "frame/tGenericStatusDescription.h"
#include "frame/tStatus.h"
#include "frame/tStatusSite.h"
#include "mdbg/tGUIDReportable.h"
#include "mdbg/tStatus2.h"
#include "support/moduleFixture.h"
#include "support/statusRecords.h"

namespace {

using nQoAPALS100::tStatus;
using nQoAPALS100::tStatusExtended;
using nQoMDBG100::tStatus2;
using nQoUdR100::nQoKABBO_1_0::tGenericStatusDescription;

class StatusTest : public nQoTest::tLeakCheckedTest {};

TEST_F(StatusTest, SetCodeAndAssignKeepTheFirstErrorAndLogOnlyTakenCodes) {
  const int64_t before = nQoSim::liveAllocations();
  tStatus2 status, warning(+200010), clean, error(-7), otherWarning(+5), second(-1), counter;
  for (auto [code, line] :
       {std::pair{200010, 1u}, {50202, 2u}, {-50150, 3u}, {-50352, 4u}, {0, 5u}})
    status.setCode(code, "qoudrk", "statusTest", line);
  EXPECT_EQ(status.code, -50150);
  EXPECT_EQ(nQoSim::statusLog().size(), 2u);
  EXPECT_TRUE(nQoTest::loggedAt(200010, "statusTest", 1));
  EXPECT_TRUE(nQoTest::loggedAt(-50150, "statusTest", 3));
  EXPECT_EQ(nQoSim::liveAllocations(), before);
  warning.assign(clean);
  warning.assign(otherWarning);
  EXPECT_EQ(warning.code, 200010);
  warning.assign(error);
  second.assign(error);
  EXPECT_EQ(warning.code, -7);
  EXPECT_EQ(second.code, -1);

  int plain = +3;
  nQoSim::clearStatusLog();
  nQoUdR100::setCode(static_cast<tStatus2*>(nullptr), -50003, {"x", 1});
  nQoUdR100::setCode(counter, -1, {"tCtrPair", 7, nQoUdR100::kCounterComponent});
  EXPECT_TRUE(nQoTest::loggedAt(-1, "tCtrPair", 7, "qotiok"));
  EXPECT_EQ(nQoSim::statusLog().size(), 1u);
  nQoUdR100::mergeCode(plain, +4);
  EXPECT_EQ(plain, 3);
  nQoUdR100::mergeCode(plain, -4);
  EXPECT_EQ(plain, -4);
}

TEST_F(StatusTest, DescriptionsAreSharedByAssignAndReleasedByClear) {
  tStatus2 source, target;
  auto* description = new nQoMDBG100::tStatus2Description;
  nQoUdR100::setCode(source, -200645, {"statusTest", 1}, description);
  nQoUdR100::setCode(source, -1, {"statusTest", 2}, new nQoMDBG100::tStatus2Description);
  EXPECT_EQ(source.description, description) << "a refused code releases its description";
  target.assign(source);
  EXPECT_EQ(description->references(), 2);
  target.clear();
  EXPECT_EQ(target.description, nullptr);
  EXPECT_EQ(description->references(), 1);
}

TEST_F(StatusTest, ExtendedStatusKeepsACutComponentAndRefusesALaterCode) {
  tStatusExtended status;
  status.stackTrace[0] = 77;
  EXPECT_TRUE(setStatusWithLocation(status, -52000, "abcdefghijkl", "dir/file.cpp", 438));
  EXPECT_FALSE(setStatusWithLocation(status, -2, "second", "second.cpp", 2));
  EXPECT_FALSE(setStatusWithLocation(status, 0, "zero", "zero.cpp", 3));
  EXPECT_EQ(status.code, -52000);
  EXPECT_STREQ(status.component, "abcdefghi");
  EXPECT_STREQ(status.file, "dir/file.cpp");
  EXPECT_EQ(status.line, 438u);
  EXPECT_EQ(status.stackTrace[0], 0u);
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

  tStatus* allocated = nQoUdR100::newPlainStatus();
  ASSERT_NE(allocated, nullptr);
  EXPECT_EQ(allocated->size, 16u);
  EXPECT_EQ(allocated->code, 0);
  nQoUdR100::freeKernelBlock(allocated);
  nQoSim::failAllocation(1);
  EXPECT_EQ(nQoUdR100::newPlainStatus(), nullptr);
}

TEST_F(StatusTest, TextFormShowsTheCodeThenAnExtendedStatusesSiteAndTraceUpToTheZeroWord) {
  const std::string head = "\ntStatus contents:\n\tcode = -52007\n";
  char buffer[1024];
  const tStatus plain{16, -52007};
  EXPECT_EQ(nQoUdR100::formatStatusContents(plain, buffer, sizeof buffer),
            static_cast<int>(head.size()));
  EXPECT_EQ(std::string(buffer), head);
  EXPECT_EQ(nQoUdR100::formatStatusContents(plain, buffer, head.size()), -1);
  EXPECT_EQ(nQoUdR100::formatStatusContents(plain, nullptr, 0), -1);
  for (unsigned words : {0u, 2u, 10u}) {
    tStatusExtended status;
    setStatusWithLocation(status, -52007, "qoudrk", "qoapal/quarks/synchronization", 221);
    std::string expected = head +
                           "\tcomponent name = qoudrk\n\tfile name: qoapal/quarks/synchronization\n"
                           "\tline number = 221\n\tstack trace:\n";
    for (unsigned i = 0; i < 10; ++i) {
      char word[32];
      status.stackTrace[i] = i < words ? 0xA0 + i : 0;
      std::snprintf(word, sizeof word, "\t\t0x%016x\n", i < words ? 0xA0 + i : 0);
      if (i <= words) expected += word;
    }
    EXPECT_EQ(nQoUdR100::formatStatusContents(status, buffer, expected.size() + 1),
              static_cast<int>(expected.size()));
    EXPECT_EQ(std::string(buffer), expected) << words;
    for (size_t size : {expected.size(), head.size() + 1, size_t{20}})
      EXPECT_EQ(nQoUdR100::formatStatusContents(status, buffer, size), -1) << words << " " << size;
  }
}

}  // namespace
