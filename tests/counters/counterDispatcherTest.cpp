// The counter interrupt dispatcher of the counter-pair layout: its enables as
// register writes, the service of one counter, the second pass, and what the
// Tavik layout's missing entries report.
#include <gtest/gtest.h>

#include <vector>

#include "counters/counterFixture.h"
#include "counters/tCtrPair.h"
#include "counters/tTIOCtrHelper.h"
#include "counters/tTIOCtrInterruptDispatcher.h"

namespace nQoTest {
namespace {

using nQoTIO100::tTIOCtrHelper;
using D = nQoTIO100::tTIOCtrInterruptDispatcher;

class tPairDispatcherTest : public tCounterTest {
 protected:
  void SetUp() override {
    tCounterTest::SetUp();
    pair = new nQoTIO100::tCtrPair(0u, 256, &status);
    ASSERT_EQ(status.code, 0);
    // Everything clean, so each write below is a change.
    for (uint32_t id = 0; id < 27; ++id) pair->markClean(id, &status);
    clearLogs();
  }
  void TearDown() override {
    delete dispatcher;
    delete pair;
    tCounterTest::TearDown();
  }
  D& with(uint32_t layout) {
    helper = tTIOCtrHelper(layout, pair);
    dispatcher = new D(&owner, &helper);
    return *dispatcher;
  }

  nQoTIO100::tCtrPair* pair = nullptr;
  tTIOCtrHelper helper{0, nullptr};
  tFakeTap owner{99, &calls};
  D* dispatcher = nullptr;
};

TEST_F(tPairDispatcherTest, EnablesAndDisablesArePlainWritesOfTheLayoutsEntries) {
  D& d = with(0);
  d.enablePrimary(0, status);
  d.enableSecondary(3, status);
  d.disableSecondary(1, status);
  d.disablePrimary(2, status);
  EXPECT_EQ(windows.log(),
            (std::vector<tAccess>{boardWrote(0x192, 0x0040),                             // G0 bit 6
                                  boardWrote(0x1BA, 0x0001), boardWrote(0x1BA, 0x0005),  // G1 DMA
                                  boardWrote(0x1BA, 0x0004), boardWrote(0x1BA, 0x0000),
                                  boardWrote(0x192, 0x0000)}));
  EXPECT_EQ(d.enabled(D::kSecondary1), 0u);
  EXPECT_EQ(d.enabled(D::kPrimary0), 0u);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tPairDispatcherTest, TheServiceCallsThePrimaryTapOnlyWhenEnabledAndPending) {
  D& d = with(0);
  tFakeTap primary(1, &calls, 2), secondary(2, &calls, 1), receiver(10, &calls);
  EXPECT_EQ(d.service(0), 2u);  // no tap at all
  d.setSecondaryTap(0, &secondary);
  EXPECT_EQ(d.service(0), 2u);  // secondary only
  d.setPrimaryTap(0, &primary);
  d.setPrimaryReceiver(0, &receiver);
  EXPECT_EQ(d.service(0), 2u);  // primary not enabled: secondary
  EXPECT_EQ(calls, (std::vector<int>{2, 2}));
  d.enablePrimary(0, status);
  windows.clearLog();
  EXPECT_EQ(d.service(2), 2u);  // not pending: secondary, no acknowledge
  windows.setRead(boardWindow, 0x104, 16, 0x0008);
  EXPECT_EQ(d.service(0), 1u);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{boardRead(0x104, 0), boardRead(0x104, 0x0008),
                                                 boardWrote(0x104, 0x4000)}));
  EXPECT_EQ(d.request(D::kPrimary0), 1u);
  EXPECT_EQ(d.resolveSecondaryInterrupts(), 4u);
  EXPECT_EQ(d.resolveSecondaryInterrupts(), 4u);
  EXPECT_EQ(calls, (std::vector<int>{2, 2, 2, 1, 10}));
  EXPECT_EQ(d.request(D::kPrimary0), 0u);
  // The snapshot is one bus atomic run.
  EXPECT_EQ(bus.calls().back().operation, tCall::kAtomic);

  primary.answer = 0;
  windows.clearLog();
  EXPECT_EQ(d.service(0), 2u);
  EXPECT_TRUE(windows.writes().empty());
  primary.answer = 1;
  EXPECT_EQ(d.service(0), 2u);
  EXPECT_EQ(windows.writes(), (std::vector<tAccess>{boardWrote(0x104, 0x4000)}));
  // A secondary tap's request reaches the secondary receiver; disabling drops it.
  tFakeTap dmaTap(3, &calls, 2), dmaReceiver(30, &calls);
  d.setSecondaryTap(1, &dmaTap);
  d.setSecondaryReceiver(1, &dmaReceiver);
  EXPECT_EQ(d.service(1), 1u);
  d.disableSecondary(1, status);
  calls.clear();
  d.resolveSecondaryInterrupts();
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(d.service(3), 1u);
  d.resolveSecondaryInterrupts();
  EXPECT_EQ(calls, (std::vector<int>{3, 30}));
  EXPECT_EQ(status.code, 0);
}

TEST_F(tPairDispatcherTest, TheTavikLayoutsMissingEntriesReportAndAreSkipped) {
  D& d = with(1);
  EXPECT_EQ(reportOf([&](auto*) { d.enablePrimary(0, status); }), "-50003 qotiok tCtrPair 401");
  EXPECT_EQ(d.enabled(D::kPrimary0), 1u);
  EXPECT_TRUE(windows.log().empty());
  EXPECT_EQ(helper.id(1, tTIOCtrHelper::kPrimaryPending), 0x1800002Du);  // G1_Status_1 field 3
  EXPECT_EQ(helper.id(0, 3), 0x18000001u);                               // G0_Command field 3
  EXPECT_EQ(helper.id(1, 15), 0x0800000Fu);  // Tavik counting mode field 1
  EXPECT_EQ(helper.id(0, 88), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace nQoTest
