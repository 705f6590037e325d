// The transfer lock's kind by tag flag and product kind.
#include <gtest/gtest.h>

#include "frame/transferLock.h"
#include "sim/simSync.h"
#include "support/moduleFixture.h"

namespace {

using nQoMDBG100::tStatus2;

class TransferLockTest : public nQoTest::tLeakCheckedTest {
 protected:
  void TearDown() override {
    nQoSim::failSyncOpen(0);
    tLeakCheckedTest::TearDown();
  }
};

TEST_F(TransferLockTest, KindFollowsTheTagFlagThenTheProductKind) {
  nQoUdR100::tProductKind kind{4};
  nQoUdR100::tProductDescriptor descriptor{&kind};
  nQoUdP100::tDeviceInfo info{};
  const struct {
    uint32_t tagFlag, kind;
    bool descriptor, record;
    uint32_t expected;
  } rows[] = {{1, 4, true, true, 4},  {0, 4, true, true, 0},  {0, 6, true, true, 0},
              {0, 9, true, true, 0},  {0, 5, true, true, 4},  {0, 0xFFFFFFFF, true, true, 4},
              {0, 4, true, false, 4}, {0, 4, false, false, 4}};
  for (const auto& row : rows) {
    info.tagFlag = row.tagFlag;
    kind.kind = row.kind;
    descriptor.kindRecord = row.record ? &kind : nullptr;
    info.productDescriptor = row.descriptor ? &descriptor : nullptr;
    nQoSim::clearSyncLog();
    tStatus2 status;
    iSync* lock = nQoUdP100::openTransferLock(info, status);
    const auto log = nQoSim::syncLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].param.version, 1u);
    EXPECT_EQ(log[0].param.kind, row.expected) << row.tagFlag << " " << row.kind;
    EXPECT_EQ(log[0].param.option, 0u);
    nQoUdP100::closeTransferLock(lock, status);
    EXPECT_EQ(lock, nullptr);
    EXPECT_EQ(status.code, 0);
  }
}

TEST_F(TransferLockTest, AnErrorInTheStatusOpensAndClosesNothing) {
  nQoUdP100::tDeviceInfo info{};
  tStatus2 failed(-3), status, unopened;
  nQoSim::clearSyncLog();
  EXPECT_EQ(nQoUdP100::openTransferLock(info, failed), nullptr);
  EXPECT_TRUE(nQoSim::syncLog().empty());
  iSync* lock = nQoUdP100::openTransferLock(info, status);
  const int live = nQoSim::liveSyncObjects();
  nQoUdP100::closeTransferLock(lock, failed);
  EXPECT_EQ(nQoSim::liveSyncObjects(), live);
  nQoUdP100::closeTransferLock(lock, status);
  EXPECT_EQ(nQoSim::liveSyncObjects(), live - 1);
  nQoSim::failSyncOpen(1);
  EXPECT_EQ(nQoUdP100::openTransferLock(info, unopened), nullptr);
  EXPECT_EQ(unopened.code, -50352);
}

}  // namespace
