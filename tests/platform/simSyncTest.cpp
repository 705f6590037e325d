// The simulated sync log stays bounded over long runs and keeps the most
// recent operations in order.
#include <gtest/gtest.h>

#include <vector>

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

// The set hook runs on the setting thread before and after each set or
// release, outside the object's own lock: after a release the hook may take
// the lock again, and its own operations reach it too.
TEST(SimSync, TheSetHookRunsAroundEachSetOutsideTheObjectsLock) {
  iSync::tParam param;
  param.kind = 4;
  int status = 0;
  iSync* lock = syncOpen(param, &status);
  param.kind = 2;
  iSync* event = syncOpen(param, &status);
  ASSERT_NE(lock, nullptr);
  ASSERT_NE(event, nullptr);
  std::vector<std::pair<const iSync*, bool>> calls;
  bool retaken = false;
  nQoSim::onSyncSet([&](const iSync* object, bool set) {
    calls.emplace_back(object, set);
    if (object == lock && set && !retaken) {
      retaken = true;
      lock->waitOrAcquire(iSync::kWaitForever, &status);
      lock->releaseOrSet(&status);
    }
  });
  event->releaseOrSet(&status);
  lock->waitOrAcquire(iSync::kWaitForever, &status);
  lock->releaseOrSet(&status);
  nQoSim::onSyncSet(nullptr);
  event->releaseOrSet(&status);
  EXPECT_EQ(calls, (std::vector<std::pair<const iSync*, bool>>{{event, false},
                                                               {event, true},
                                                               {lock, false},
                                                               {lock, true},
                                                               {lock, false},
                                                               {lock, true}}));
  EXPECT_EQ(nQoSim::syncSets(lock), 2u);
  syncClose(event);
  syncClose(lock);
  EXPECT_EQ(status, 0);
}

// An armed refusal holds for one acquire of a lock: failNextAcquire sets its
// code (a warning too, but over no error), refuseNextAcquire sets none, and
// the acquire after it takes the lock.
TEST(SimSync, AnArmedRefusalRefusesOneAcquireWithItsCodeOrNone) {
  iSync::tParam param;
  param.kind = 1;
  int status = 0;
  iSync* lock = syncOpen(param, &status);
  ASSERT_NE(lock, nullptr);
  nQoSim::clearSyncLog();
  const struct {
    int armed;
    int before;
    int after;
  } kCases[] = {{50001, 0, 50001}, {50001, -7, -7}, {-50001, 3, -50001}, {0, 0, 0}, {0, 3, 3}};
  for (const auto& row : kCases) {
    SCOPED_TRACE(row.armed);
    if (row.armed != 0)
      nQoSim::failNextAcquire(row.armed);
    else
      nQoSim::refuseNextAcquire();
    int code = row.before;
    EXPECT_EQ(lock->waitOrAcquire(iSync::kWaitForever, &code), 0u);
    EXPECT_EQ(code, row.after);
  }
  EXPECT_TRUE(nQoSim::syncLog().empty());
  nQoSim::refuseNextAcquire();
  nQoSim::failNextAcquire(0);
  EXPECT_EQ(lock->waitOrAcquire(iSync::kWaitForever, &status), 1u) << "0 disarms";
  lock->releaseOrSet(&status);
  syncClose(lock);
  EXPECT_EQ(status, 0);
}

}  // namespace
