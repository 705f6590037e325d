#include <gtest/gtest.h>

#include "frame/transferLock.h"
#include "sim/simSync.h"
#include "support/moduleFixture.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tDeviceInfo;
using nQoUdR100::tProductDescriptor;
using nQoUdR100::tProductKind;

class TransferLockTest : public nQoTest::tLeakCheckedTest {
 protected:
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    nQoSim::clearSyncLog();
  }
  void TearDown() override {
    nQoSim::failSyncOpen(0);
    tLeakCheckedTest::TearDown();
  }

  // Opens and closes a lock for the record; the kind it was opened with.
  static uint32_t kindOpenedFor(const tDeviceInfo& info) {
    nQoSim::clearSyncLog();
    tStatus2 status;
    iSync* lock = nQoUdP100::openTransferLock(info, status);
    EXPECT_NE(lock, nullptr);
    const auto log = nQoSim::syncLog();
    EXPECT_EQ(log.size(), 1u);
    EXPECT_EQ(log.at(0).param.version, 1u);
    EXPECT_EQ(log.at(0).param.option, 0u);
    nQoUdP100::closeTransferLock(lock, status);
    EXPECT_EQ(lock, nullptr);
    EXPECT_EQ(status.code, 0);
    return log.at(0).param.kind;
  }
};

TEST_F(TransferLockTest, KindFollowsTheTagFlagThenTheProductKind) {
  tProductKind kind{4};
  tProductDescriptor descriptor{&kind};
  tDeviceInfo info{};
  info.productDescriptor = &descriptor;
  info.tagFlag = 1;
  EXPECT_EQ(kindOpenedFor(info), 4u);

  info.tagFlag = 0;
  for (uint32_t code : {4u, 6u, 9u}) {
    kind.kind = code;
    EXPECT_EQ(kindOpenedFor(info), 0u) << code;
  }
  for (uint32_t code : {0u, 5u, 7u, 0xFFFFFFFFu}) {
    kind.kind = code;
    EXPECT_EQ(kindOpenedFor(info), 4u) << code;
  }
  descriptor.kindRecord = nullptr;
  EXPECT_EQ(kindOpenedFor(info), 4u);
  info.productDescriptor = nullptr;
  EXPECT_EQ(kindOpenedFor(info), 4u);
}

TEST_F(TransferLockTest, AnErrorInTheStatusOpensAndClosesNothing) {
  tDeviceInfo info{};
  tStatus2 failed(-3);
  EXPECT_EQ(nQoUdP100::openTransferLock(info, failed), nullptr);
  EXPECT_TRUE(nQoSim::syncLog().empty());

  tStatus2 status;
  iSync* lock = nQoUdP100::openTransferLock(info, status);
  const int live = nQoSim::liveSyncObjects();
  nQoUdP100::closeTransferLock(lock, failed);
  EXPECT_NE(lock, nullptr);
  EXPECT_EQ(nQoSim::liveSyncObjects(), live);
  nQoUdP100::closeTransferLock(lock, status);
  EXPECT_EQ(nQoSim::liveSyncObjects(), live - 1);
}

TEST_F(TransferLockTest, AFailedOpenIsReported) {
  tDeviceInfo info{};
  tStatus2 status;
  nQoSim::failSyncOpen(1);
  EXPECT_EQ(nQoUdP100::openTransferLock(info, status), nullptr);
  EXPECT_EQ(status.code, -50352);
}

}  // namespace
