// The observer list against a pass on another thread: a growth while a pass
// walks the list, and observers added, removed and freed while passes run.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "frame/tPassCount.h"
#include "mdbg/tStatus2.h"
#include "primitives/common/tObserverList.h"
#include "sim/simAllocator.h"
#include "support/heldCall.h"
#include "support/stressRounds.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tObserverList;
using nQoUdP100::tObserverRecord;
using nQoUdR100::tPassCount;

struct tObserver {
  explicit tObserver(uint32_t name) : name(name) {}
  uint32_t name;
  uint32_t calls = 0;
};
using tList = tObserverList<tObserverRecord<tObserver>>;

// A pass on another thread is held inside its first call while the test's
// thread adds two observers, growing the array from three records to six: the
// growth waits for the pass (the hold then runs out) before it frees the old
// array, which the pass walks to its end.
TEST(ObserverListTest, AGrowthFreesTheOldArrayOnlyAfterAPassWalkingItHasLeft) {
  tList list(3);
  tStatus2 status;
  tObserver first(1), second(2), third(3), fourth(4), fifth(5);
  for (tObserver* observer : {&first, &second, &third}) list.add({observer}, status, {"test", 1});
  tHeldCall held;
  std::vector<uint32_t> seen;
  std::thread pass([&] {
    list.notifyAll([&](tObserver* observer) {
      seen.push_back(observer->name);
      if (observer == &first) held.hold();
      return 0u;
    });
  });
  ASSERT_TRUE(held.waitUntilInside());
  const int64_t live = nQoSim::liveAllocations();
  const uint64_t total = nQoSim::totalAllocations();
  list.add({&fourth}, status, {"test", 1});
  held.letGo();
  pass.join();
  EXPECT_TRUE(held.expired()) << "the old array was freed while the pass walked it";
  EXPECT_EQ(seen, (std::vector<uint32_t>{1, 2, 3}));
  EXPECT_EQ(nQoSim::totalAllocations(), total + 1);
  EXPECT_EQ(nQoSim::liveAllocations(), live);
  list.add({&fifth}, status, {"test", 1});
  EXPECT_EQ(nQoSim::totalAllocations(), total + 1);
  EXPECT_EQ(status.code, 0);
  EXPECT_FALSE(list.allocationFailed());

  // The records moved whole: tags set before the growth are still pending.
  seen.clear();
  list.notifyAll([&](tObserver* observer) { return observer->name % 2; });
  list.add({&second}, status, {"test", 1});  // 6 -> 12
  list.notifyPending([&](tObserver* observer) { seen.push_back(100 + observer->name); });
  EXPECT_EQ(seen, (std::vector<uint32_t>{101, 103, 105}));
  EXPECT_EQ(list.find(&fourth) + 1, list.find(&fifth));
}

// An observer's call adds two observers from inside the pass, growing the
// array: the pass's own thread does not wait for itself, and the old array
// stays until the next remove, which frees it.
TEST(ObserverListTest, AGrowthFromInsideAPassKeepsTheOldArrayUntilTheNextRemove) {
  tList list(3);
  tStatus2 status;
  tObserver first(1), second(2), third(3), fourth(4), fifth(5);
  for (tObserver* observer : {&first, &second, &third}) list.add({observer}, status, {"test", 1});
  std::vector<uint32_t> seen;
  int64_t live = 0;
  list.notifyAll([&](tObserver* observer) {
    seen.push_back(observer->name);
    if (observer == &first) {
      live = nQoSim::liveAllocations();
      list.add({&fourth}, status, {"test", 1});
      list.add({&fifth}, status, {"test", 1});
    }
    return 1u;
  });
  EXPECT_EQ(seen, (std::vector<uint32_t>{1, 2, 3}));
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(nQoSim::liveAllocations(), live + 2);  // the new array and the kept one's list
  list.remove(&second, status);
  EXPECT_EQ(nQoSim::liveAllocations(), live + 1);
  seen.clear();
  list.notifyAll([&](tObserver* observer) {
    seen.push_back(observer->name);
    return 0u;
  });
  EXPECT_EQ(seen, (std::vector<uint32_t>{1, 3, 4, 5}));
}

// The first observer's call adds one, growing the array, then takes out and
// frees an observer that the pass has yet to call; the second's call does the
// same with another. The pass walks on in the array it began in, where the
// removals must reach too: it calls neither, and the rest in order.
TEST(ObserverListTest, AnObserverRemovedInsideAPassAfterAGrowthIsNotCalledByThatPass) {
  tList list(5);
  tStatus2 status;
  tObserver first(1), second(2), last(5), added(6);
  auto* early = new tObserver(3);
  auto* late = new tObserver(4);
  for (tObserver* observer : {&first, &second, early, late, &last})
    list.add({observer}, status, {"test", 1});
  std::vector<uint32_t> seen;
  list.notifyAll([&](tObserver* observer) {
    seen.push_back(observer->name);
    if (observer == &first) {
      list.add({&added}, status, {"test", 1});
      list.remove(early, status);
      delete early;
    }
    if (observer == &second) {
      list.remove(late, status);
      delete late;
    }
    return 0u;
  });
  EXPECT_EQ(seen, (std::vector<uint32_t>{1, 2, 5}));
  EXPECT_EQ(status.code, 0);
  seen.clear();
  list.notifyAll([&](tObserver* observer) {
    seen.push_back(observer->name);
    return 0u;
  });
  EXPECT_EQ(seen, (std::vector<uint32_t>{1, 2, 5, 6}));
}

// The first observer's call grows the array twice (two records to four, four
// to eight), then takes out and frees the second observer: the pass walks on
// in the oldest array kept, which the removal reaches too.
TEST(ObserverListTest, ARemovalInsideAPassReachesEveryArrayKeptForIt) {
  tList list(2);
  tStatus2 status;
  tObserver first(1), third(3), fourth(4), fifth(5);
  auto* second = new tObserver(2);
  for (tObserver* observer : {&first, second}) list.add({observer}, status, {"test", 1});
  std::vector<uint32_t> seen;
  list.notifyAll([&](tObserver* observer) {
    seen.push_back(observer->name);
    if (observer == &first) {
      for (tObserver* added : {&third, &fourth, &fifth}) list.add({added}, status, {"test", 1});
      list.remove(second, status);
      delete second;
    }
    return 0u;
  });
  EXPECT_EQ(seen, (std::vector<uint32_t>{1}));
  EXPECT_EQ(status.code, 0);
}

// A pass loops on its own thread while the test's thread adds an observer,
// removes it and frees it, in the one record it reuses each round (a record
// published before its observer, or a removal that does not wait, hands the
// pass a freed observer). First each round waits, up to a guard of elapsed
// time, for the passes to call its observer, until they have met enough, so
// the meetings come however the threads are scheduled; then the rounds run
// freely, bounded by rounds and elapsed time.
TEST(ObserverListTest, AnObserverReusingARecordOrRemovedMayBeFreedWhilePassesRun) {
  tList list(3);
  tStatus2 status;
  tObserver kept(1);
  list.add({&kept}, status, {"test", 1});
  std::atomic<bool> stop{false};
  std::atomic<uint32_t> calls{0};
  std::atomic<uint32_t> wrongNames{0};
  // The last observer other than the kept one that both passes called.
  std::atomic<tObserver*> met{nullptr};
  std::thread passes([&] {
    while (!stop) {
      list.notifyAll([&](tObserver* observer) {
        ++observer->calls;
        return observer->name;
      });
      list.notifyPending([&](tObserver* observer) {
        if (observer->name < 1 || observer->name > 3) ++wrongNames;
        if (observer == &kept) return;
        ++calls;
        met = observer;
      });
    }
  });
  const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
  const auto inTime = [&] { return std::chrono::steady_clock::now() < guard; };
  // Names 2 and 3 by turns.
  const auto runRound = [&](int index, bool meet) {
    auto* observer = new tObserver(2 + static_cast<uint32_t>(index % 2));
    list.add({observer}, status, {"test", 1});
    while (meet && met != observer && inTime()) std::this_thread::yield();
    list.remove(observer, status);
    delete observer;
    // The removal waited for the passes that could still call it.
    met = nullptr;
  };
  int meetings = 0;
  while (calls < nQoTest::kEnoughStressCalls && inTime()) runRound(meetings++, true);
  const int rounds = meetings + nQoTest::runStressRounds(
                                    calls, [&](int later) { runRound(meetings + later, false); });
  stop = true;
  passes.join();
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(wrongNames, 0u);
  EXPECT_GE(calls, nQoTest::kEnoughStressCalls)
      << "the passes met too few observers in " << rounds << " rounds";
  // The one reused record: the list never grew past its first three.
  EXPECT_FALSE(list.allocationFailed());
  uint32_t inUse = 0;
  list.forEachInUse([&](const auto& record) {
    EXPECT_EQ(record.observer, &kept);
    ++inUse;
  });
  EXPECT_EQ(inUse, 1u);
}

// A pass loops on its own thread over the list in hand while the test's thread
// hands it a fresh list of one record each round and grows that with a
// second: a growth that published its count before its array would have the
// pass read past the end of the old array. Every 64 rounds the lists handed
// before the last are freed, once the passes of the test's own count that
// may still walk them have left.
TEST(ObserverListTest, APassOverAListGrowingOnAnotherThreadReadsOnlyPlacedRecords) {
  tObserver first(1), second(2);
  tPassCount inHand;
  std::atomic<tList*> current{nullptr};
  std::atomic<bool> stop{false};
  std::atomic<uint32_t> calls{0};
  std::atomic<uint32_t> misplaced{0};
  std::thread passes([&] {
    while (!stop) {
      const tPassCount::tInside inside(inHand);
      tList* const list = current.load();
      if (list == nullptr) continue;
      uint32_t next = 1;
      list->notifyAll([&](tObserver* observer) {
        if (observer->name != next++) ++misplaced;
        ++calls;
        return 0u;
      });
    }
  });
  tStatus2 status;
  std::vector<std::unique_ptr<tList>> handed;
  const int rounds = nQoTest::runStressRounds(calls, [&](int) {
    tList* const fresh = handed.emplace_back(std::make_unique<tList>(1)).get();
    fresh->add({&first}, status, {"test", 1});
    current.store(fresh);
    fresh->add({&second}, status, {"test", 1});
    if (handed.size() < 64) return;
    std::unique_ptr<tList> last = std::move(handed.back());
    inHand.waitForPasses();
    handed.clear();
    handed.push_back(std::move(last));
  });
  stop = true;
  passes.join();
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(misplaced, 0u);
  EXPECT_GE(calls, nQoTest::kEnoughStressCalls)
      << "the pass met too few observers in " << rounds << " rounds";
}

}  // namespace
}  // namespace nQoTest
