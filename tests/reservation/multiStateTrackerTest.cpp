// The multi state tracker over plain and status-chaining members.
#include <gtest/gtest.h>

#include "reservation/tMultiStateTracker.h"
#include "reservation/tStatusChainingSupStateTracker.h"
#include "reservation/tSupStateTracker.h"
#include "sim/simStatusLog.h"
#include "support/moduleFixture.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoMRTB100::tMultiStateTracker;
using nQoMRTB100::tStatusChainingSupStateTracker;

// Counts the checks it receives.
class tCountingTracker : public tStatusChainingSupStateTracker {
 public:
  void validateEvent(int32_t event, tStatus2& status) override {
    ++checks;
    tStatusChainingSupStateTracker::validateEvent(event, status);
  }
  int checks = 0;
};

class MultiStateTrackerTest : public nQoTest::tLeakCheckedTest {};

TEST_F(MultiStateTrackerTest, EmptyAnswersZeroAndAcceptsEverything) {
  tMultiStateTracker multi;
  tStatus2 status;
  for (int32_t event : {4096, 4102, 1, 2, 3, 4105, 77}) {
    multi.validateEvent(event, status);
    multi.applyEvent(event, status);
  }
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(multi.getState(status), 0);
  EXPECT_EQ(multi.getFlag0(status) | multi.getFlag1(status) | multi.getFlag2(status) |
                multi.getFlag3(status) | multi.getFlag4(status) | multi.getFlag5(status),
            0u);
  EXPECT_EQ(multi.isControlEnabled(1, status), 0u);
  EXPECT_EQ(multi.getTracker(0), nullptr);
}

TEST_F(MultiStateTrackerTest, QueriesCombineTheMembers) {
  nQoMRTB100::tSupStateTracker first, second;
  tMultiStateTracker multi;
  tStatus2 status;
  multi.addTracker(&first, status);
  multi.addTracker(&second, status);
  first.setFlags(1, 0x01, status);
  second.setFlags(1, 0x24, status);
  first.applyEvent(4099, status);  // 40
  second.applyEvent(2, status);    // 70
  EXPECT_EQ(multi.getState(status), 70);
  EXPECT_EQ(multi.getFlag0(status), 1u);
  EXPECT_EQ(multi.getFlag1(status), 0u);
  EXPECT_EQ(multi.getFlag2(status), 1u);
  EXPECT_EQ(multi.getFlag3(status), 0u);
  EXPECT_EQ(multi.getFlag4(status), 0u);
  EXPECT_EQ(multi.getFlag5(status), 1u);
  EXPECT_EQ(multi.isControlEnabled(2, status), 1u);
  EXPECT_EQ(multi.isControlEnabled(4100, status), 0u);
  EXPECT_EQ(multi.getTracker(1), &second);
  EXPECT_EQ(multi.getTracker(2), nullptr);

  tStatus2 failed(-7);
  EXPECT_EQ(multi.getState(failed), 0);
  EXPECT_EQ(multi.getFlag0(failed), 0u);
  EXPECT_EQ(multi.isControlEnabled(2, failed), 0u);

  // applyEvent reaches every member; the state is the largest.
  multi.applyEvent(4, status);
  EXPECT_EQ(first.getState(status), 40);
  EXPECT_EQ(second.getState(status), 40);
  multi.applyEvent(4102, failed);
  EXPECT_EQ(multi.getState(status), 30);
  EXPECT_EQ(status.code, 0);
}

TEST_F(MultiStateTrackerTest, ControlCodesAreCheckedOnlyByMembersThatSupportThem) {
  tCountingTracker supporting, other;
  tMultiStateTracker multi;
  tStatus2 status;
  multi.addTracker(&supporting, status);
  multi.addTracker(&other, status);
  supporting.setFlags(1, 0x04, status);
  supporting.applyEvent(4099, status);
  other.applyEvent(4099, status);

  multi.validateEvent(2, status);
  EXPECT_EQ(supporting.checks, 1);
  EXPECT_EQ(other.checks, 0);
  EXPECT_EQ(status.code, 0);

  // A lifecycle event goes to every member; a refusal does not stop the
  // others and the first error stays.
  nQoSim::clearStatusLog();
  multi.validateEvent(4096, status);
  EXPECT_EQ(supporting.checks, 2);
  EXPECT_EQ(other.checks, 1);
  EXPECT_EQ(status.code, -50150);
  EXPECT_EQ(nQoSim::statusLog().back().line, 44u);
}

}  // namespace
