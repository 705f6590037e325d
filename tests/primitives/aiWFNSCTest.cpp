// The wait for the next AI sample clock over the real timing controller and
// converter: event mode with a notifier thread (lead-in, missed clocks, stop,
// time-out) and polling mode over the converter's status bit.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "primitives/ai/tBaseAI_WFNSCPrimitive.h"
#include "primitives/aiTransferFixture.h"
#include "sim/simSync.h"
#include "support/heldCall.h"
#include "support/heldPass.h"
#include "support/statusRecords.h"
#include "support/unorderedCall.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tBaseAI_WFNSCPrimitive;

constexpr const char kFile[] = "source/qomiop/ai/tBaseAI_WFNSCPrimitive";

// Counts the sample starts it hears.
struct tSampleStartCounter : nQoUdP100::tBaseAITimingControllerPrimitive::iSampleStartObserver {
  uint32_t sampleStarted(nQoUdP100::tBaseAITimingControllerPrimitive*, tStatus2&) override {
    ++calls;
    return 0;
  }
  unsigned calls = 0;
};

class tWFNSCTest : public tAIRoadTest {
 protected:
  void TearDown() override {
    stopNotifier();
    wfnsc.reset();
    tAIRoadTest::TearDown();
  }
  void commitEventMode() {
    options.polling = 0;
    wfnsc->setOptions(options);
    wfnsc->commit(status);
    ASSERT_EQ(status.code, 0);
    for (const nQoSim::tSyncRecord& record : nQoSim::syncLog())
      if (record.operation == nQoSim::tSyncRecord::kOpen) event = record.object;
    ASSERT_NE(event, nullptr);
    wfnsc->arm(status);
  }
  // Committed and armed again, the sample-start handler notifies the live
  // observer alone.
  void expectASampleStartReachesOnly(const tSampleStartCounter& live) {
    timing->commit(status);
    timing->arm(status);
    ASSERT_NE(dispatcher->primaryHandlers[6], nullptr);
    EXPECT_EQ(dispatcher->primaryHandlers[6].load()->handleInterrupt(), 1u);
    EXPECT_EQ(live.calls, 1u);
    timing->disarm(status);
    timing->uncommit(status);
    EXPECT_EQ(status.code, 0);
  }
  // Runs f on another thread once the primitive blocks on its event.
  template <class tAction>
  std::thread whenBlocked(tAction action) {
    return std::thread([this, action] {
      while (nQoSim::syncBlocked(event) == 0) std::this_thread::yield();
      action();
    });
  }
  // Two clocks for every wait that blocks, until stopped.
  void startNotifier() {
    notifier = std::thread([this] {
      unsigned served = ~0u;  // completed waits when last served
      while (!stopping) {
        const unsigned waits = nQoSim::syncWaits(event);
        if (nQoSim::syncBlocked(event) != 0 && waits != served) {
          served = waits;
          twoClocks();
        }
        std::this_thread::yield();
      }
    });
  }
  void stopNotifier() {
    stopping = true;
    if (notifier.joinable()) notifier.join();
  }
  // False when no thread blocked on the event within a guard time.
  bool blockedOnTheEvent() const {
    const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (nQoSim::syncBlocked(event) == 0)
      if (std::chrono::steady_clock::now() > guard) return false;
    return true;
  }
  // True when the close of the event is the last operation on it.
  bool closedLast() const {
    nQoSim::tSyncRecord::tOperation last = nQoSim::tSyncRecord::kOpen;
    for (const nQoSim::tSyncRecord& record : nQoSim::syncLog())
      if (record.object == event) last = record.operation;
    return last == nQoSim::tSyncRecord::kClose;
  }
  // A stop on a thread of its own, held just before it sets the event while
  // teardown runs here; true when the teardown waited for it.
  template <class tTeardown>
  bool stopHeldAtTheSet(tTeardown teardown) {
    const std::thread::id tester = std::this_thread::get_id();
    const iSync* const target = event;
    tHeldPass held;
    struct tUnhook {
      ~tUnhook() { nQoSim::onSyncSet(nullptr); }
    } unhook;
    nQoSim::onSyncSet([&](const iSync* object, bool set) {
      if (object == target && !set && std::this_thread::get_id() != tester) held.hold();
    });
    tBaseAI_WFNSCPrimitive* primitive = wfnsc.get();
    held.run([primitive] { primitive->requestStop(); });
    held.tearDown(teardown);
    return held.teardownWaited();
  }
  // Commits the options as they stand and arms; in event mode event is
  // the event that commit opened.
  void commitAndArm() {
    wfnsc->setOptions(options);
    nQoSim::clearSyncLog();
    wfnsc->commit(status);
    for (const nQoSim::tSyncRecord& record : nQoSim::syncLog())
      if (record.operation == nQoSim::tSyncRecord::kOpen) event = record.object;
    wfnsc->arm(status);
    ASSERT_EQ(status.code, 0);
  }
  void twoClocks() {
    tStatus2 pass;
    wfnsc->sampleStarted(timing, pass);
    wfnsc->sampleStarted(timing, pass);
  }

  void SetUp() override {
    tAIRoadTest::SetUp();
    wfnsc = std::make_unique<tBaseAI_WFNSCPrimitive>(timing, converter);
    clearLogs();
  }

  std::unique_ptr<tBaseAI_WFNSCPrimitive> wfnsc;
  // What the test deploys to it, field by field.
  nQoUdP100::tAIWaitOptions options;
  const iSync* event = nullptr;
  std::thread notifier;
  std::atomic<bool> stopping{false};
};

TEST_F(tWFNSCTest, EventModeLeadInNeverReportsThenMissedClocksReportOnce) {
  commitEventMode();
  const auto opened = nQoSim::syncLog().front();
  EXPECT_EQ(opened.param.version, 1u);
  EXPECT_EQ(opened.param.kind, 2u);
  EXPECT_EQ(opened.param.option, 44u);
  startNotifier();
  for (int wait = 1; wait <= 100; ++wait) {
    wfnsc->waitForNextSampleClock(status);
    ASSERT_EQ(status.code, 0) << "wait " << wait;
  }
  stopNotifier();

  // Two clocks between waits; wait-always 0, which the next commit takes:
  // reported, no waiting.
  options.waitAlways = 0;
  wfnsc->setOptions(options);
  wfnsc->commit(status);
  twoClocks();
  wfnsc->waitForNextSampleClock(status);
  EXPECT_EQ(status.code, -209802);
  EXPECT_TRUE(loggedAt(-209802, kFile, 280));
  EXPECT_EQ(nQoSim::syncBlocked(event), 0u);

  options.allowMissed = 1;
  wfnsc->setOptions(options);
  twoClocks();
  tStatus2 missed;
  wfnsc->waitForNextSampleClock(missed);
  EXPECT_EQ(missed.code, -209802) << "a deploy reached the run before its commit";
  tStatus2 committed;
  wfnsc->commit(committed);
  twoClocks();
  tStatus2 warned;
  wfnsc->waitForNextSampleClock(warned);
  EXPECT_EQ(warned.code, 209802);

  // Nothing missed: with wait-always 1 the wait blocks for the next clock.
  options.waitAlways = 1;
  wfnsc->setOptions(options);
  wfnsc->commit(committed);
  EXPECT_EQ(committed.code, 0);
  std::thread clock = whenBlocked([this] { twoClocks(); });
  tStatus2 clean;
  wfnsc->waitForNextSampleClock(clean);
  clock.join();
  EXPECT_EQ(clean.code, 0);
}

// Event mode given under a polling run reaches the next commit only: the
// run's waits still poll the converter (a clock missed, not -50004 for an
// event that no commit opened), and that commit registers for the event.
TEST_F(tWFNSCTest, APollingRunKeepsPollingUntilTheNextCommit) {
  options.leadIn = 0;
  wfnsc->setOptions(options);
  wfnsc->commit(status);
  wfnsc->arm(status);
  options.polling = 0;
  wfnsc->setOptions(options);
  windows.setReadCallback(window, 0x104, [](unsigned) { return 0x20u; });
  wfnsc->waitForNextSampleClock(status);
  EXPECT_EQ(status.code, -209802);
  EXPECT_TRUE(loggedAt(-209802, kFile, 280));
  EXPECT_EQ(wfnsc->programmed().polling, 1u);
  tStatus2 committed;
  wfnsc->commit(committed);
  EXPECT_NE(timing->findSampleStartObserver(wfnsc.get()), nullptr);
  EXPECT_EQ(wfnsc->programmed().polling, 0u);
  EXPECT_EQ(wfnsc->programmed().leadIn, 0u);
  // The uncommit hands the primitive back with the defaults as its record.
  wfnsc->uncommit(committed);
  EXPECT_EQ(committed.code, 0);
  EXPECT_EQ(wfnsc->programmed().polling, 1u);
  EXPECT_EQ(wfnsc->programmed().leadIn, 100u);
}

TEST_F(tWFNSCTest, RequestStopEndsAWaitWithoutCodeAndNoClockTimesOut) {
  options.leadIn = 0;
  wfnsc->setOptions(options);
  commitEventMode();
  std::thread stopper = whenBlocked([this] { wfnsc->requestStop(); });
  wfnsc->waitForNextSampleClock(status);
  stopper.join();
  EXPECT_EQ(status.code, 0);

  wfnsc->disarm(status);
  wfnsc->arm(status);
  std::thread late = whenBlocked([] { nQoSim::advanceClock(10'001'000'000ull); });
  wfnsc->waitForNextSampleClock(status);
  late.join();
  EXPECT_EQ(status.code, -200474);
  EXPECT_TRUE(loggedAt(-200474, kFile, 250));
}

// A wait that finds a stop or the end of the waits after its reset of the
// event sets it again: the reset may have taken the set that was to wake a
// wait already blocked on it.
TEST_F(tWFNSCTest, AWaitThatLeavesOnAStopOrTheEndSetsTheEventAgain) {
  options.leadIn = 0;
  wfnsc->setOptions(options);
  commitEventMode();
  for (const bool ended : {false, true}) {
    SCOPED_TRACE(ended ? "end of the waits" : "stop");
    wfnsc->arm(status);
    if (ended)
      wfnsc->endWaits();
    else
      wfnsc->requestStop();
    nQoSim::clearSyncLog();
    wfnsc->waitForNextSampleClock(status);
    EXPECT_EQ(status.code, 0);
    std::vector<nQoSim::tSyncRecord::tOperation> operations;
    for (const nQoSim::tSyncRecord& record : nQoSim::syncLog())
      operations.push_back(record.operation);
    EXPECT_EQ(operations, (std::vector{nQoSim::tSyncRecord::kReset, nQoSim::tSyncRecord::kSet}));
  }
}

TEST_F(tWFNSCTest, PollingModeWaitsOnTheConverterBitAndTimesOutAfterFreePolls) {
  options.leadIn = 1;
  wfnsc->setOptions(options);
  wfnsc->commit(status);
  wfnsc->arm(status);
  model.setStatusBits(0x20);
  wfnsc->waitForNextSampleClock(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(wfnsc->waits(), 1u);
  // Past the lead-in the bit set on entry is a missed clock; time-out 0 returns.
  wfnsc->setTimeout(0, status);
  wfnsc->waitForNextSampleClock(status);
  EXPECT_EQ(status.code, -209802);

  tStatus2 timed;
  wfnsc->setTimeout(5, timed);
  wfnsc->arm(timed);
  unsigned reads = 0;
  windows.setReadCallback(window, 0x104, [&reads](unsigned) {
    ++reads;
    nQoSim::advanceClock(1'000'000);
    return 0u;
  });
  wfnsc->waitForNextSampleClock(timed);
  EXPECT_EQ(timed.code, -200474);
  EXPECT_GE(reads, 5u + 5u);
  EXPECT_LE(reads, 5u + 8u);
}

// Destroyed while committed in event mode, the primitive takes its record out
// of the timing controller's sample-start list, and the armed engine stays
// armed: once committed and armed again, the sample-start handler notifies
// the live observer alone.
TEST_F(tWFNSCTest, DestroyingAnEventModePrimitiveLeavesNoRecordBehind) {
  tSampleStartCounter live;
  commitEventMode();
  timing->addSampleStartObserver(&live, false, status);
  timing->commit(status);
  timing->arm(status);
  ASSERT_EQ(status.code, 0);
  wfnsc.reset();
  ASSERT_EQ(timing->state().getState(), 3u) << "a removed record silenced the run";
  expectASampleStartReachesOnly(live);
}

// Uncommit, a polling-mode commit and the destructor undo an event-mode
// commit even when polling was set after it: the event is closed, and a
// sample start after the destruction reaches the live observer alone.
TEST_F(tWFNSCTest, PollingSetAfterAnEventModeCommitStillUndoesIt) {
  for (const bool recommit : {false, true}) {
    SCOPED_TRACE(recommit ? "commit" : "uncommit");
    commitEventMode();
    options.polling = 1;
    wfnsc->setOptions(options);
    nQoSim::clearSyncLog();
    if (recommit)
      wfnsc->commit(status);
    else
      wfnsc->uncommit(status);
    ASSERT_EQ(status.code, 0);
    bool closed = false;
    for (const nQoSim::tSyncRecord& record : nQoSim::syncLog())
      closed =
          closed || (record.operation == nQoSim::tSyncRecord::kClose && record.object == event);
    EXPECT_TRUE(closed);
    EXPECT_EQ(timing->findSampleStartObserver(wfnsc.get()), nullptr);
    wfnsc->uncommit(status);
  }

  tSampleStartCounter live;
  commitEventMode();
  options.polling = 1;
  wfnsc->setOptions(options);
  timing->addSampleStartObserver(&live, false, status);
  timing->commit(status);
  timing->arm(status);
  ASSERT_EQ(status.code, 0);
  wfnsc.reset();
  expectASampleStartReachesOnly(live);
}

// A second event-mode commit adds no record and opens no second event: one
// uncommit takes the record out, and a sample start after the destruction
// reaches the live observer alone.
TEST_F(tWFNSCTest, ASecondEventModeCommitAddsNoRecordAndOpensNoEvent) {
  commitEventMode();
  nQoSim::clearSyncLog();
  wfnsc->commit(status);
  ASSERT_EQ(status.code, 0);
  for (const nQoSim::tSyncRecord& record : nQoSim::syncLog())
    EXPECT_NE(record.operation, nQoSim::tSyncRecord::kOpen);
  wfnsc->uncommit(status);
  tSampleStartCounter live;
  timing->addSampleStartObserver(&live, false, status);
  wfnsc.reset();
  expectASampleStartReachesOnly(live);
}

TEST_F(tWFNSCTest, StartStopAndTheSecondPassAreNotSupported) {
  tStatus2 a, b, c;
  wfnsc->start(a);
  wfnsc->stop(b);
  wfnsc->sampleStartedSecondary(timing, c);
  EXPECT_TRUE(loggedAt(-50256, kFile, 121));
  EXPECT_TRUE(loggedAt(-50256, kFile, 130));
  EXPECT_TRUE(loggedAt(-50256, kFile, 412));
}

}  // namespace
}  // namespace nQoTest

namespace nQoTest {
namespace {

// A stop from another thread that is about to set the event holds uncommit,
// and then the destructor, until it has left: the event is closed after the
// stop's set, never under it.
TEST_F(tWFNSCTest, UncommitAndTheDestructorCloseTheEventOnlyAfterAStopUnderWay) {
  const int live = nQoSim::liveSyncObjects();
  commitEventMode();
  EXPECT_TRUE(stopHeldAtTheSet([this] { wfnsc->uncommit(status); }));
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(wfnsc->mode(), 2u);
  EXPECT_TRUE(closedLast());
  EXPECT_EQ(nQoSim::liveSyncObjects(), live);

  commitEventMode();
  EXPECT_TRUE(stopHeldAtTheSet([this] { wfnsc.reset(); }));
  EXPECT_TRUE(closedLast());
  EXPECT_EQ(nQoSim::liveSyncObjects(), live);
}

// A wait blocked on the event when uncommit comes is woken and refused with
// -50004, and leaves before the event is closed; a wait after the uncommit
// is refused at once. The close waits for the wait's call, inside which the
// wait sets its refusal: so the refusal is there as uncommit returns, before
// the waiter's thread is joined (its return from the call may come later).
TEST_F(tWFNSCTest, AWaitUnderWayDuringUncommitIsRefusedAndLeavesBeforeTheClose) {
  options.leadIn = 0;
  wfnsc->setOptions(options);
  commitEventMode();
  tStatus2 waited;
  std::thread waiter([&] { wfnsc->waitForNextSampleClock(waited); });
  ASSERT_TRUE(blockedOnTheEvent());
  wfnsc->uncommit(status);
  EXPECT_EQ(waited.code, -50004) << "uncommit returned while the wait was still on the event";
  waiter.join();
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(waited.code, -50004);
  EXPECT_TRUE(loggedAt(-50004, kFile, 190));
  EXPECT_TRUE(closedLast());

  tStatus2 late;
  wfnsc->waitForNextSampleClock(late);
  EXPECT_EQ(late.code, -50004);
  EXPECT_TRUE(closedLast());
}

// The end of the waits outlasts an arm, which lifts only a stop: a wait
// after it returns at once with no code, and after openWaits and the next
// arm it waits again (and, with no time to wait, times out).
TEST_F(tWFNSCTest, TheEndOfTheWaitsOutlastsAnArmUntilOpened) {
  options.leadIn = 0;
  wfnsc->setOptions(options);
  wfnsc->setTimeout(0, status);
  commitEventMode();
  wfnsc->endWaits();
  wfnsc->requestStop();
  wfnsc->disarm(status);
  wfnsc->arm(status);
  wfnsc->waitForNextSampleClock(status);
  EXPECT_EQ(status.code, 0) << "the arm lifted the end of the waits";
  wfnsc->openWaits();
  wfnsc->arm(status);
  wfnsc->waitForNextSampleClock(status);
  EXPECT_EQ(status.code, -200474);
  EXPECT_TRUE(loggedAt(-200474, kFile, 250));
}

// An arm on the codes' thread while a wait of the run before is under way on
// another, about to block: the wait has counted itself and read the clocks
// it saw and the transfer's word, and nothing but those fields orders the
// arm after it (the test waits on a relaxed flag). The arm's fresh count
// holds, and the stop after it ends the wait with no code.
TEST_F(tWFNSCTest, AnArmWhileAWaitIsUnderWayOnAnotherThreadCountsTheRunAfresh) {
  options.leadIn = 0;
  options.waitAlways = 0;
  wfnsc->setOptions(options);
  commitEventMode();
  std::atomic<bool> blocking{false};
  nQoSim::onSyncWait([&](const iSync* object) {
    if (object == event) blocking.store(true, std::memory_order_relaxed);
  });
  tStatus2 waited;
  std::thread waiter([&] { wfnsc->waitForNextSampleClock(waited); });
  const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!blocking.load(std::memory_order_relaxed) && std::chrono::steady_clock::now() < guard)
    std::this_thread::yield();
  wfnsc->disarm(status);
  wfnsc->arm(status);
  EXPECT_EQ(wfnsc->waits(), 0u);
  EXPECT_EQ(wfnsc->dataLeft(), 0u);
  wfnsc->requestStop();
  waiter.join();
  nQoSim::onSyncWait(nullptr);
  EXPECT_TRUE(blocking);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(waited.code, 0);
}

// Each arm counts the clocks afresh: after a run whose clocks went unseen
// (lead-in 0, no waiting after a miss), the first wait of the next arm reports
// no missed clock and waits for the next one, which comes once it blocks.
TEST_F(tWFNSCTest, AnArmCountsNoClockThatTheRunBeforeSaw) {
  options.leadIn = 0;
  options.waitAlways = 0;
  wfnsc->setOptions(options);
  commitEventMode();
  twoClocks();
  wfnsc->waitForNextSampleClock(status);
  EXPECT_EQ(status.code, -209802);
  status.clear();
  twoClocks();
  wfnsc->disarm(status);
  wfnsc->arm(status);
  std::thread clock([this] {
    if (!boundedUntil([this] { return nQoSim::syncBlocked(event) != 0; })) return;
    tStatus2 pass;
    wfnsc->sampleStarted(timing, pass);
  });
  tStatus2 waited;
  wfnsc->waitForNextSampleClock(waited);
  clock.join();
  EXPECT_EQ(waited.code, 0) << "a clock of the run before counted as missed";
  EXPECT_EQ(wfnsc->waits(), 1u);
}

// Uncommit ends every wait blocked on the event, however many: each one that
// leaves on the close passes the set on, so none sleeps on to a time-out that
// never comes without a limit, and the uncommit, which waits for them,
// returns. Which wait wakes first is the scheduler's: a few rounds.
TEST_F(tWFNSCTest, UncommitEndsEveryWaitBlockedOnTheEventWithoutALimit) {
  options.leadIn = 0;
  wfnsc->setOptions(options);
  wfnsc->setTimeout(tBaseAI_WFNSCPrimitive::kNoLimit, status);
  constexpr unsigned kWaits = 3;
  for (int round = 0; round < 10; ++round) {
    SCOPED_TRACE(round);
    commitEventMode();
    tStatus2 waited[kWaits];
    std::atomic<unsigned> left{0};
    std::vector<std::thread> waiters;
    // One at a time, each blocked before the next begins.
    for (unsigned k = 0; k < kWaits; ++k) {
      waiters.emplace_back([&, k] {
        wfnsc->waitForNextSampleClock(waited[k]);
        ++left;
      });
      const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      while (nQoSim::syncBlocked(event) != k + 1 && std::chrono::steady_clock::now() < guard)
        std::this_thread::yield();
    }
    ASSERT_EQ(nQoSim::syncBlocked(event), kWaits);
    std::atomic<bool> uncommitted{false};
    std::thread uncommitter([&] {
      wfnsc->uncommit(status);
      uncommitted = true;
    });
    const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!uncommitted && std::chrono::steady_clock::now() < guard) std::this_thread::yield();
    const bool returned = uncommitted;
    // Only once the check has failed: the waits still asleep are let go, so
    // that the test ends.
    while (!uncommitted && left < kWaits) {
      int code = 0;
      const_cast<iSync*>(event)->releaseOrSet(&code);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    uncommitter.join();
    for (std::thread& waiter : waiters) waiter.join();
    ASSERT_TRUE(returned) << "uncommit still waits for a wait asleep on the closed event";
    EXPECT_EQ(status.code, 0);
    for (const tStatus2& code : waited) EXPECT_EQ(code.code, -50004);
    EXPECT_TRUE(closedLast());
  }
}

// A polling wait under way when a stop comes, then at once an arm from the
// stopping thread before the wait polls again: the arm waits for the wait,
// which leaves as the stop ends it (no code) instead of polling on into the
// new run. A wait of the new run (in its lead-in) polls until its time-out.
TEST_F(tWFNSCTest, AStopReachesAPollingWaitWhateverArmFollowsBeforeItPolls) {
  options.leadIn = 0;
  wfnsc->setOptions(options);
  wfnsc->setTimeout(tBaseAI_WFNSCPrimitive::kNoLimit, status);
  wfnsc->commit(status);
  wfnsc->arm(status);
  ASSERT_EQ(status.code, 0);
  tHeldCall held;
  std::atomic<unsigned> reads{0};
  windows.setReadCallback(window, 0x104, [&](unsigned) {
    if (++reads == 1) held.hold();  // the wait's first look at the bit
    return 0u;
  });
  tStatus2 waited;
  std::atomic<bool> left{false};
  std::thread waiter([&] {
    wfnsc->waitForNextSampleClock(waited);
    left = true;
  });
  ASSERT_TRUE(held.waitUntilInside());
  wfnsc->requestStop();
  wfnsc->arm(status);
  held.letGo();
  const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
  while (!left && std::chrono::steady_clock::now() < guard) std::this_thread::yield();
  const bool leftInTime = left;
  if (!leftInTime) wfnsc->requestStop();  // only once the check has failed
  waiter.join();
  EXPECT_TRUE(leftInTime) << "the wait polled on into the new run";
  EXPECT_TRUE(held.expired()) << "the arm did not wait for the wait";
  EXPECT_EQ(waited.code, 0);

  options.leadIn = 1;
  wfnsc->setOptions(options);
  wfnsc->setTimeout(5, status);
  wfnsc->arm(status);
  windows.setReadCallback(window, 0x104, [](unsigned) {
    nQoSim::advanceClock(1'000'000);
    return 0u;
  });
  wfnsc->waitForNextSampleClock(status);
  EXPECT_EQ(status.code, -200474);
  EXPECT_TRUE(loggedAt(-200474, kFile, 330));
}

// A wait that a stop ends saw no clock and counts none: the waits after the
// stop in the same run report no clock missed, and neither does the next
// wait of a new run when the stop of that run ends a wait of the run before,
// blocked across the disarm and the arm.
TEST_F(tWFNSCTest, AWaitThatAStopEndedCountsNoClock) {
  options.leadIn = 0;
  wfnsc->setOptions(options);
  commitEventMode();
  wfnsc->requestStop();
  for (int wait = 0; wait < 2; ++wait) {
    tStatus2 stopped;
    wfnsc->waitForNextSampleClock(stopped);
    EXPECT_EQ(stopped.code, 0) << "wait " << wait;
  }

  wfnsc->disarm(status);
  wfnsc->arm(status);
  tStatus2 before;
  std::thread waiter([&] { wfnsc->waitForNextSampleClock(before); });
  EXPECT_TRUE(blockedOnTheEvent());
  wfnsc->disarm(status);
  wfnsc->arm(status);
  wfnsc->requestStop();
  waiter.join();
  EXPECT_EQ(before.code, 0);
  tStatus2 after;
  wfnsc->waitForNextSampleClock(after);
  EXPECT_EQ(after.code, 0);
  EXPECT_EQ(status.code, 0);
}

// A time-out set on another thread (code 401 of another caller) while a
// polling wait times itself leaves that wait's timer alone: the wait times
// out after the time-out it began with. The time-out and the words a deploy
// writes after a wait on another thread read them race with nothing.
TEST_F(tWFNSCTest, ATimeOutSetWhileAPollingWaitTimesItselfLeavesThatWaitAlone) {
  options.leadIn = 1;
  wfnsc->setOptions(options);
  wfnsc->setTimeout(5, status);
  wfnsc->commit(status);
  wfnsc->arm(status);
  ASSERT_EQ(status.code, 0);
  tStatus2 set;
  unsigned reads = 0;
  {
    tUnorderedCall other([&] { wfnsc->setTimeout(10000, set); });
    // The sixth poll started the timer; a clock comes long after the time-out.
    windows.setReadCallback(window, 0x104, [&](unsigned) {
      if (++reads == tBaseAI_WFNSCPrimitive::kFreePolls + 2) {
        EXPECT_TRUE(other.run());
      }
      nQoSim::advanceClock(1'000'000);
      return reads > 50 ? 0x20u : 0u;
    });
    wfnsc->waitForNextSampleClock(status);
  }
  EXPECT_EQ(status.code, -200474);
  EXPECT_TRUE(loggedAt(-200474, kFile, 330));
  EXPECT_LE(reads, 5u + 8u);
  EXPECT_EQ(set.code, 0);

  windows.setReadCallback(window, 0x104, [](unsigned) { return 0x20u; });
  tStatus2 armed, waited;
  wfnsc->arm(armed);
  {
    tUnorderedCall wait([&] { wfnsc->waitForNextSampleClock(waited); });
    ASSERT_TRUE(wait.run());
    wfnsc->setTimeout(0, set);
    options.leadIn = 0;
    options.waitAlways = 0;
    options.allowMissed = 1;
    options.polling = 1;
    wfnsc->setOptions(options);
  }
  EXPECT_EQ(waited.code, 0);
}

// A polling wait without a limit, under way when the primitive is destroyed,
// is stopped and waited for: the destructor returns after it.
TEST_F(tWFNSCTest, TheDestructorStopsAndWaitsForAPollingWaitUnderWay) {
  options.leadIn = 0;
  wfnsc->setOptions(options);
  wfnsc->setTimeout(tBaseAI_WFNSCPrimitive::kNoLimit, status);
  wfnsc->commit(status);
  wfnsc->arm(status);
  ASSERT_EQ(status.code, 0);
  // A poll after the destructor returned reads a register of a gone primitive.
  std::atomic<unsigned> reads{0};
  std::atomic<bool> destroyed{false}, polledAfter{false};
  windows.setReadCallback(window, 0x104, [&](unsigned) {
    ++reads;
    if (destroyed) polledAfter = true;
    return 0u;
  });
  tStatus2 waited;
  std::thread waiter([&] { wfnsc->waitForNextSampleClock(waited); });
  const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (reads < 10 && std::chrono::steady_clock::now() < guard) std::this_thread::yield();
  ASSERT_GE(reads, 10u);
  wfnsc.reset();
  destroyed = true;
  waiter.join();
  EXPECT_FALSE(polledAfter) << "the destructor returned while the wait was still polling";
  EXPECT_EQ(waited.code, 0);
}

// A disarm, an uncommit and a cancel end the waits under way, polling or
// blocked on the event, and return only once they have left: the polling
// wait is held at its first look at the board, and the event wait is off
// the event as the step returns. A wait after the step, with no run, answers
// at once with no code (after an event-mode uncommit it is refused with
// -50004). A wait that a step left going runs into its time-out on the test
// clock.
TEST_F(tWFNSCTest, ADisarmAnUncommitOrACancelEndsTheWaitsUnderWayAndWaitsForThem) {
  struct tStep {
    const char* name;
    void (*run)(tBaseAI_WFNSCPrimitive&, tStatus2&);
  };
  const tStep steps[] = {
      {"disarm", [](tBaseAI_WFNSCPrimitive& wait, tStatus2& s) { wait.disarm(s); }},
      {"uncommit", [](tBaseAI_WFNSCPrimitive& wait, tStatus2& s) { wait.uncommit(s); }},
      {"cancel", [](tBaseAI_WFNSCPrimitive& wait, tStatus2&) { wait.requestStop(); }}};
  const std::thread::id test = std::this_thread::get_id();
  std::atomic<bool> stepped{false};
  tHeldPass* held = nullptr;
  windows.setReadCallback(window, 0x104, [&](unsigned) {
    if (held != nullptr && std::this_thread::get_id() != test) held->hold();
    if (stepped) nQoSim::advanceClock(1'000'000'000);
    return 0u;
  });
  options.leadIn = 0;
  for (const uint32_t polling : {1u, 0u}) {
    for (const tStep& step : steps) {
      SCOPED_TRACE(std::string(polling != 0 ? "polling, " : "event, ") + step.name);
      const int refused = polling == 0 && step.run == steps[1].run ? -50004 : 0;
      options.polling = polling;
      commitAndArm();
      wfnsc->setTimeout(1000, status);
      stepped = false;
      tStatus2 waited, stepStatus;
      if (polling != 0) {
        tHeldPass pass;
        held = &pass;
        pass.run([&] { wfnsc->waitForNextSampleClock(waited); });
        pass.tearDown([&] {
          step.run(*wfnsc, stepStatus);
          stepped = true;
        });
        held = nullptr;
        EXPECT_TRUE(pass.teardownWaited()) << "the step returned while the wait was under way";
      } else {
        std::thread waiter([&] { wfnsc->waitForNextSampleClock(waited); });
        ASSERT_TRUE(blockedOnTheEvent());
        step.run(*wfnsc, stepStatus);
        EXPECT_EQ(nQoSim::syncBlocked(event), 0u) << "the step returned with a wait on the event";
        while (nQoSim::syncBlocked(event) != 0) nQoSim::advanceClock(1'000'000'000);
        waiter.join();
      }
      EXPECT_EQ(stepStatus.code, 0);
      EXPECT_EQ(waited.code, refused);
      stepped = true;
      if (polling == 0) wfnsc->setTimeout(0, status);
      tStatus2 after;
      wfnsc->waitForNextSampleClock(after);
      EXPECT_EQ(after.code, refused) << "a wait after the step waited";
      wfnsc->uncommit(status);
      ASSERT_EQ(status.code, 0);
    }
  }
}

// A clock being counted, held where it sets the event, holds a disarm, and
// an arm of the armed primitive, until it has left: the run it counts into
// ends only after it.
TEST_F(tWFNSCTest, ADisarmOrAnArmWaitsForAClockBeingCounted) {
  const std::thread::id test = std::this_thread::get_id();
  for (const bool rearm : {false, true}) {
    SCOPED_TRACE(rearm ? "arm" : "disarm");
    commitEventMode();
    tHeldPass held;
    nQoSim::onSyncSet([&](const iSync* object, bool set) {
      if (object == event && !set && std::this_thread::get_id() != test) held.hold();
    });
    held.run([&] {
      tStatus2 pass;
      wfnsc->sampleStarted(timing, pass);
    });
    held.tearDown([&] {
      if (rearm)
        wfnsc->arm(status);
      else
        wfnsc->disarm(status);
    });
    nQoSim::onSyncSet(nullptr);
    EXPECT_TRUE(held.teardownWaited());
    wfnsc->uncommit(status);
    EXPECT_EQ(status.code, 0);
  }
}

}  // namespace
}  // namespace nQoTest
