// The simulated sync log stays bounded over long runs and keeps the most
// recent operations in order.
#include <gtest/gtest.h>

#include "sim/simSync.h"
#include "sync/iSync.h"

namespace {

TEST(SimSync, TheLogKeepsTheMostRecentOperationsWithinItsBound) {
  nQoSim::clearSyncLog();
  iSync::tParam param;
  param.kind = 4;
  int status = 0;
  iSync* lock = syncOpen(param, &status);
  ASSERT_NE(lock, nullptr);
  constexpr unsigned kRounds = 200'000;  // 400,001 operations
  for (unsigned i = 0; i < kRounds; ++i) {
    lock->waitOrAcquire(iSync::kWaitForever, &status);
    lock->releaseOrSet(&status);
  }
  const auto log = nQoSim::syncLog();
  EXPECT_GE(log.size(), 65'536u);
  EXPECT_LE(log.size(), 131'072u);
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[log.size() - 2].operation, nQoSim::tSyncRecord::kAcquire);
  EXPECT_EQ(log.back().operation, nQoSim::tSyncRecord::kRelease);
  EXPECT_EQ(log.back().object, lock);
  EXPECT_EQ(nQoSim::syncSets(lock), kRounds) << "the counts are not trimmed with the log";
  syncClose(lock);
  EXPECT_EQ(status, 0);
  nQoSim::clearSyncLog();
}

}  // namespace
