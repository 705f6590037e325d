// The Tavik AI timing controller on the real map, helper and dispatcher:
// register programming by mode, the arm command and hammer stop, stop's
// warning and simulated record end, the listener, the handlers' passes and
// the timed loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <functional>
#include <future>
#include <thread>
#include <vector>

#include "primitives/ai/tTavikAITimingControllerPrimitive.h"
#include "sim/simAllocator.h"
#include "sim/simSocketListeners.h"
#include "sim/simSync.h"
#include "sim/tSimSchedulerAction.h"
#include "support/boardChecks.h"
#include "support/heldCall.h"
#include "support/heldDisarm.h"
#include "support/heldPass.h"
#include "support/statusRecords.h"
#include "tavik/tTavikHelper.h"
#include "tavik/tTavikInterruptDispatcher.h"
#include "tavik/tavikFixture.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoSim::tSimSchedulerAction;
using nQoUdP100::tAIFirstEntry;
using nQoUdP100::tAITimingControllerPrimitiveConfig;
using nQoUdP100::tBaseAITimingControllerPrimitive;
using nQoUdP100::tTavikAITimingControllerPrimitive;
using tLog = std::vector<tAccess>;
using tBase = tBaseAITimingControllerPrimitive;

// Logs every notification as name (primary) or 100 + name (secondary), 10
// more for a last conversion and 20 more for a sample end, and answers what
// the test set. A second sample-start, sample-end or last-convert
// notification runs inSecond after it logged.
class tObserver : public tBase::iSampleStartObserver,
                  public tBase::iSampleEndObserver,
                  public tBase::iRecordEndObserver,
                  public tBase::iLastConvertObserver {
 public:
  tObserver(uint32_t name, std::vector<uint32_t>* calls) : name(name), calls(calls) {}
  uint32_t sampleStarted(tBase*, tStatus2&) override { return log(0); }
  void sampleStartedSecondary(tBase*, tStatus2&) override {
    calls->push_back(100 + name);
    if (inSecond) inSecond();
  }
  uint32_t sampleEnded(tBase*, tStatus2&) override { return log(20); }
  void sampleEndedSecondary(tBase*, tStatus2&) override {
    calls->push_back(120 + name);
    if (inSecond) inSecond();
  }
  uint32_t recordEnded(tBase*, tStatus2&) override { return log(0); }
  void recordEndedSecondary(tBase*, tStatus2&) override { calls->push_back(100 + name); }
  uint32_t lastConverted(tBase*, tStatus2&) override { return log(10); }
  void lastConvertedSecondary(tBase*, tStatus2&) override {
    calls->push_back(110 + name);
    if (inSecond) inSecond();
  }
  uint32_t log(uint32_t offset) {
    calls->push_back(offset + name);
    return answer;
  }
  uint32_t name;
  std::vector<uint32_t>* calls;
  uint32_t answer = 1;
  std::function<void()> inSecond;
};

// Holds the next record-end notification once it has logged it.
class tHeldObserver : public tObserver {
 public:
  using tObserver::tObserver;
  uint32_t recordEnded(tBase*, tStatus2&) override {
    const uint32_t answer = log(0);
    if (holdNext.exchange(false)) held.hold();
    return answer;
  }
  std::atomic<bool> holdNext{false};
  tHeldCall held{tHeldCall::kGuard};
};

class tTimingTest : public tTavikMapTest {
 protected:
  void SetUp() override {
    tTavikMapTest::SetUp();
    helper = new nQoUdRLP100::tTavikHelper(map);
    dispatcher = new nQoUdRLP100::tTavikInterruptDispatcher(map, 1, &status);
    timing = new tTavikAITimingControllerPrimitive(&entry, map, helper, dispatcher, status);
    ASSERT_EQ(status.code, 0);
    config.hasRouting = 1;
    clearLogs();
  }
  void TearDown() override {
    nQoSim::onSyncWait(nullptr);
    nQoSim::onSyncReset(nullptr);
    delete timing;
    delete dispatcher;
    delete helper;
    tTavikMapTest::TearDown();
  }
  void clearLogs() {
    windows.clearLog();
    bus.clearCalls();
    calls.clear();
    nQoSim::clearStatusLog();
  }
  // Mode 3, finite, firstCount 100.
  void finite(uint32_t secondCount = 0) {
    config.timing.timingMode = 3;
    config.timing.acquisitionType = 2;
    config.timing.firstCount = 100;
    config.timing.secondCount = secondCount;
  }
  void commit() {
    timing->setConfiguration(config, status);
    timing->commit(status);
    ASSERT_EQ(status.code, 0);
  }
  bool hasWrite(uint32_t offset, uint32_t value, unsigned width = 16) {
    const tLog all = windows.writes();
    return std::find(all.begin(), all.end(), nQoTest::wrote(offset, value, width)) != all.end();
  }
  // The source's status bit in the group A status, raised once on the
  // board: its primary pass runs and asks for the secondary one.
  void raise(uint32_t pending) {
    windows.setRead(window, 0x104, 16, 0x8000 | pending);
    EXPECT_EQ(bus.raise(1), 1u);
    windows.setRead(window, 0x104, 16, 0);
  }
  bool wroteAt(uint32_t offset) {
    const tLog all = windows.writes();
    return std::any_of(all.begin(), all.end(),
                       [&](const tAccess& a) { return a.offset == offset; });
  }

  tAIFirstEntry entry{nullptr, 2};
  tAITimingControllerPrimitiveConfig config;
  nQoUdRLP100::tTavikHelper* helper = nullptr;
  nQoUdRLP100::tTavikInterruptDispatcher* dispatcher = nullptr;
  tTavikAITimingControllerPrimitive* timing = nullptr;
  tSimSchedulerAction action;
  std::vector<uint32_t> calls;
  tObserver first{1, &calls}, second{2, &calls};
};

TEST_F(tTavikMapTest, ConstructionClosesTheConvertGateInABracket) {
  nQoUdRLP100::tTavikHelper helper(map);
  nQoUdRLP100::tTavikInterruptDispatcher dispatcher(map, 1, &status);
  windows.clearLog();
  tAIFirstEntry entry;
  tTavikAITimingControllerPrimitive timing(&entry, map, &helper, &dispatcher, status);
  EXPECT_EQ(windows.log(), (tLog{wrote(0x190, 0x10), wrote(0x11A, 0xC000), wrote(0x190, 0x100)}));
  EXPECT_EQ(timing.state().getState(), 1u);
  EXPECT_TRUE(timing.isReady());
}

TEST_F(tTimingTest, AFiniteMode3CommitLoadsTheFirstCountInsideOneBracket) {
  map->Write_0128.flush(&status, 0);
  clearLogs();
  finite();
  commit();
  const tLog log = windows.log();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log.front(), nQoTest::wrote(0x190, 0x10));
  EXPECT_EQ(tLog(log.end() - 2, log.end()), (tLog{nQoTest::wrote(0x190, 0x100), kBusFlush}));
  EXPECT_TRUE(hasWrite(0x124, 99, 32));
  EXPECT_TRUE(hasWrite(0x110, 0x0020));
  EXPECT_EQ(map->AI_Mode_2.getRegister() & 0x6, 0);
  EXPECT_FALSE(wroteAt(0x180));
  EXPECT_FALSE(wroteAt(0x128));
  EXPECT_EQ(map->Write_0128.getRegister(), 0u);
  EXPECT_EQ(timing->state().getState(), 2u);
  EXPECT_EQ(timing->runKind(), tTavikAITimingControllerPrimitive::kFinite);
  EXPECT_EQ(map->AI_Mode_1.getRegister() & 0x0003, 0x0001) << "trigger once, not continuous";

  finite(5);
  clearLogs();
  commit();
  EXPECT_TRUE(hasWrite(0x128, 4, 32));
  EXPECT_EQ(map->AI_Mode_2.getRegister() & 0x2006, 0x2006);
  EXPECT_EQ(timing->runKind(), tTavikAITimingControllerPrimitive::kFiniteSecondTrigger);
}

TEST_F(tTimingTest, SpecialSelectsClearTheirFieldsAndAStrobeLoadValueIsLoaded) {
  finite();
  config.routing.words[0] = 5;
  config.routing.words[7] = 5;
  commit();
  EXPECT_EQ(map->AI_Mode_1.getRegister() & 0xF800, 5 << 11);
  EXPECT_EQ(map->Write_017C.getRegister() & 0x0F80, 5 << 7);
  config.routing.words[0] = 0x7FFF0000;
  config.routing.words[7] = 32;
  config.timing.strobeLoadValue = 3;
  clearLogs();
  commit();
  EXPECT_EQ(map->AI_Mode_1.getRegister() & 0xF800, 0);
  EXPECT_EQ(map->Write_017C.getRegister() & 0x0F80, 0);
  EXPECT_TRUE(hasWrite(0x180, 2));
  EXPECT_TRUE(hasWrite(0x110, 0x0080));

  config.timing.timingMode = 0;
  config.timing.strobeLoadValue = 1;
  clearLogs();
  commit();
  EXPECT_FALSE(wroteAt(0x180));
  EXPECT_FALSE(wroteAt(0x124));
  EXPECT_EQ(map->Write_017C.getRegister(), 0x3060) << "the neutral selects";
}

TEST_F(tTimingTest, ArmRunsTheArmCommandAtomicallyAndDisarmHammerStopsAndClosesTheGate) {
  config.timing.timingMode = 3;
  timing->setSchedulerAction(&action, status);
  commit();
  clearLogs();
  timing->arm(status);
  const uint32_t mode2 = map->AI_Mode_2.getRegister();
  EXPECT_EQ(mode2 & 0xC000, 0) << "an internal sample clock opens the gate";
  EXPECT_EQ(windows.log(), (tLog{kAtomicBegin, nQoTest::wrote(0x190, 0x10),
                                 nQoTest::wrote(0x11A, mode2), nQoTest::wrote(0x190, 0x100),
                                 nQoTest::wrote(0x110, 0x1540), kAtomicEnd, kBusFlush}));
  EXPECT_EQ(timing->state().getState(), 3u);
  EXPECT_FALSE(timing->isIdle());

  clearLogs();
  timing->disarm(status);
  EXPECT_EQ(windows.log(),
            (tLog{kAtomicBegin, nQoTest::wrote(0x190, 0x10), nQoTest::wrote(0x110, 0x2000),
                  nQoTest::wrote(0x190, 0x100), kAtomicEnd, kBusFlush, nQoTest::wrote(0x190, 0x10),
                  nQoTest::wrote(0x11A, mode2 | 0xC000), nQoTest::wrote(0x190, 0x100), kBusFlush}));
  EXPECT_EQ(action.calls(),
            (std::vector<tSimSchedulerAction::tCall>{{tSimSchedulerAction::tCall::kArmed, 0},
                                                     {tSimSchedulerAction::tCall::kDisarmed, 0}}));
  EXPECT_EQ(timing->state().getState(), 2u);
  EXPECT_EQ(status.code, 0);

  config.timing.counterAEnable = 0;
  commit();
  clearLogs();
  timing->arm(status);
  EXPECT_TRUE(hasWrite(0x110, 0x0440));
  timing->disarm(status);
}

TEST_F(tTimingTest, ALastConvertObserverOfAFiniteRunEnablesTheRecordEndSource) {
  finite();
  timing->addLastConvertObserver(&first, status);
  commit();
  ASSERT_NE(dispatcher->primaryHandlers[3], nullptr);
  EXPECT_EQ(dispatcher->primaryHandlers[6], nullptr);
  clearLogs();
  timing->arm(status);
  EXPECT_TRUE(hasWrite(0x192, 0x0001));
  timing->disarm(status);
  EXPECT_TRUE(hasWrite(0x192, 0x0000));
  timing->uncommit(status);
  EXPECT_EQ(dispatcher->primaryHandlers[3], nullptr);
  EXPECT_EQ(bus.registrations(), 0);
  EXPECT_EQ(timing->state().getState(), 1u);
  EXPECT_EQ(status.code, 0);
}

// A configuration given while armed leaves what arm switched on to disarm:
// the record-end source of a finite run (the handler goes only at uncommit)
// and the trigger select of mode 2.
TEST_F(tTimingTest, DisarmSwitchesOffWhatArmSwitchedOnWhateverTheConfigurationSaysNow) {
  finite();
  timing->addLastConvertObserver(&first, status);
  commit();
  timing->arm(status);
  ASSERT_EQ(map->Interrupt_A_Enable.getRegister() & 0x1, 0x1);
  config.timing.acquisitionType = 1;  // continuous: no record end wanted
  timing->setConfiguration(config, status);
  timing->disarm(status);
  EXPECT_EQ(map->Interrupt_A_Enable.getRegister() & 0x1, 0) << "the record-end source is off";
  timing->uncommit(status);
  EXPECT_EQ(dispatcher->primaryHandlers[3], nullptr);
  timing->removeLastConvertObserver(&first, status);

  config.timing.timingMode = 2;
  commit();
  timing->arm(status);
  ASSERT_EQ(map->AI_Trigger_Select.getRegister() & 0x801F, 0x801Fu);
  config.timing.timingMode = 3;
  timing->setConfiguration(config, status);
  clearLogs();
  timing->disarm(status);
  EXPECT_EQ(map->AI_Trigger_Select.getRegister() & 0x806F, 0u);
  EXPECT_TRUE(wroteAt(0x17E)) << "the select is written back";
  timing->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// The hammer stop fails on the bus at the start of disarm; the record-end
// source is still switched off, the gate closed and the scheduler told.
TEST_F(tTimingTest, AFailedHammerStopStillSwitchesTheSourceOffAndClosesTheGate) {
  finite();
  timing->addLastConvertObserver(&first, status);
  timing->setSchedulerAction(&action, status);
  commit();
  timing->arm(status);
  ASSERT_EQ(status.code, 0);
  clearLogs();
  action.clear();
  bus.failNext(tCall::kAtomic, -50001);
  tStatus2 disarmed;
  timing->disarm(disarmed);
  EXPECT_EQ(disarmed.code, -50001);
  EXPECT_FALSE(hasWrite(0x110, 0x2000)) << "no hammer stop";
  EXPECT_TRUE(hasWrite(0x192, 0x0000));
  EXPECT_TRUE(wroteAt(0x11A));
  EXPECT_EQ(map->AI_Mode_2.getRegister() & 0xC000, 0xC000u) << "gate closed";
  EXPECT_EQ(action.calls(),
            (std::vector<tSimSchedulerAction::tCall>{{tSimSchedulerAction::tCall::kDisarmed, 0}}));
  EXPECT_EQ(timing->state().getState(), 2u);
}

// The record-end handler's removal fails to switch the board interrupt off;
// uncommit still writes the neutral selects in their bracket and flushes.
TEST_F(tTimingTest, AFailedHandlerRemovalStillWritesTheNeutralRegisters) {
  finite();
  timing->addLastConvertObserver(&first, status);
  commit();
  clearLogs();
  bus.failNext(tCall::kAtomic, -50001);
  tStatus2 uncommitted;
  timing->uncommit(uncommitted);
  EXPECT_EQ(uncommitted.code, -50001);
  EXPECT_EQ(dispatcher->primaryHandlers[3], nullptr);
  const tLog log = windows.log();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log.front(), nQoTest::wrote(0x190, 0x10));
  EXPECT_EQ(tLog(log.end() - 2, log.end()), (tLog{nQoTest::wrote(0x190, 0x100), kBusFlush}));
  EXPECT_EQ(timing->state().getState(), 1u);
}

TEST_F(tTimingTest, StoppingAFiniteRunEarlyWarnsAndNotifiesTheRecordEndOnce) {
  finite();
  timing->addRecordEndObserver(&first, status);
  timing->addLastConvertObserver(&second, status);
  commit();
  timing->arm(status);
  timing->start(status);
  EXPECT_TRUE(hasWrite(0x108, 1)) << "mode 3 starts with 1";
  clearLogs();
  timing->stop(status);
  EXPECT_EQ(status.code, 200010);
  EXPECT_TRUE(loggedAt(200010, "source/qomiop/tavik/ai/tTavikAITimingControllerPrimitive", 202));
  EXPECT_TRUE(hasWrite(0x110, 0x2000)) << "hammer stop";
  EXPECT_EQ(calls, (std::vector<uint32_t>{1, 12, 101, 112}));
  EXPECT_EQ(timing->state().getState(), 3u);

  // Once the record-end interrupt was served: no warning, no hammer stop.
  tStatus2 served;
  timing->start(served);
  windows.setRead(window, 0x104, 16, 0x8040);
  clearLogs();
  EXPECT_EQ(bus.raise(1), 1u);
  EXPECT_EQ(calls, (std::vector<uint32_t>{1, 12}));
  timing->stop(served);
  EXPECT_EQ(served.code, 0);
  EXPECT_FALSE(hasWrite(0x110, 0x2000));
  EXPECT_EQ(calls, (std::vector<uint32_t>{1, 12, 101, 112}));
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  EXPECT_EQ(calls.size(), 4u) << "the secondary pass ran once";
  windows.setRead(window, 0x104, 16, 0);
  timing->disarm(served);
  timing->uncommit(served);
}

// Two stops of one run whose record end was served: the stop that ends first
// leaves the record-end sets to the other, which finds them and returns.
TEST_F(tTimingTest, TwoStopsOfARunAfterItsRecordEndBothReturn) {
  finite();
  timing->addRecordEndObserver(&first, status);
  commit();
  timing->arm(status);
  timing->start(status);
  windows.setRead(window, 0x104, 16, 0x8040);
  ASSERT_EQ(bus.raise(1), 1u);
  // The other stop is held as it begins to wait on the record-end event.
  std::atomic<std::thread::id> stopper;
  tHeldCall held(tHeldCall::kGuard);
  std::atomic<const iSync*> event{nullptr};
  nQoSim::onSyncWait([&](const iSync* object) {
    if (std::this_thread::get_id() != stopper.load() || event != nullptr) return;
    event = object;
    held.hold();
  });
  tStatus2 other;
  auto otherStop = std::async(std::launch::async, [&] {
    stopper = std::this_thread::get_id();
    timing->stop(other);
  });
  ASSERT_TRUE(held.waitUntilInside());
  timing->stop(status);
  held.letGo();
  const bool returned = otherStop.wait_for(tHeldCall::kGuard) == std::future_status::ready;
  EXPECT_TRUE(returned) << "the other stop waits for a set that the first one cleared";
  if (!returned) const_cast<iSync*>(event.load())->releaseOrSet(nullptr);
  otherStop.wait();
  nQoSim::onSyncWait(nullptr);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(other.code, 0);
  bus.pumpSecondary();
  EXPECT_EQ(calls, (std::vector<uint32_t>{1, 101})) << "one record end, notified once";
  windows.setRead(window, 0x104, 16, 0);
  timing->disarm(status);
  timing->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// The deferred secondary pass of a record end that the stop already served
// comes after the next start: it belongs to the run before, and leaves the
// next run's secondary pass, and its stop's wait for it, to that run.
TEST_F(tTimingTest, ALateSecondaryPassOfTheRunBeforeLeavesTheNextRunItsOwn) {
  finite();
  timing->addRecordEndObserver(&first, status);
  commit();
  timing->arm(status);
  timing->start(status);
  windows.setRead(window, 0x104, 16, 0x8040);
  ASSERT_EQ(bus.raise(1), 1u);
  timing->stop(status);
  ASSERT_EQ(calls, (std::vector<uint32_t>{1, 101}));
  timing->start(status);
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  EXPECT_EQ(calls.size(), 2u) << "the run before has no one to notify";
  ASSERT_EQ(bus.raise(1), 1u);
  timing->stop(status);
  EXPECT_EQ(calls, (std::vector<uint32_t>{1, 101, 1, 101})) << "the stop waits for its own pass";
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  EXPECT_EQ(calls.size(), 4u) << "once per run";
  windows.setRead(window, 0x104, 16, 0);
  timing->disarm(status);
  timing->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A start of the next set within the arm, with no stop between, while the
// record end of the set before still owes its second pass: that pass runs
// before the set begins, so its record-end and last-convert notices reach
// their observers, and no later second pass of the arm (the dispatcher's
// deferred one, a sample end of the next set) delivers them again. The
// next set's record end is its own.
TEST_F(tTimingTest, AStartWithinAnArmDeliversTheRecordEndOfTheSetBeforeFirst) {
  finite();
  timing->addRecordEndObserver(&first, status);
  timing->addSampleEndObserver(&first, status);
  timing->addLastConvertObserver(&second, status);
  commit();
  timing->arm(status);
  timing->start(status);
  raise(0x40);
  ASSERT_EQ(calls, (std::vector<uint32_t>{1, 12}));
  timing->start(status);
  EXPECT_EQ(calls, (std::vector<uint32_t>{1, 12, 101, 112})) << "the set before's notices";
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  raise(0x10);
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  EXPECT_EQ(calls, (std::vector<uint32_t>{1, 12, 101, 112, 21, 121}));
  calls.clear();
  raise(0x40);
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  EXPECT_EQ(calls, (std::vector<uint32_t>{1, 12, 101, 112})) << "the next set's record end";

  // A start while the dispatcher's second pass of the set before is under
  // way waits for it before it strobes the next set.
  timing->start(status);
  raise(0x40);
  clearLogs();
  const auto inside = seenInside(
      second.inSecond, [&] { bus.pumpSecondary(); }, [&] { timing->start(status); },
      [&] { return windows.writes().size(); });
  EXPECT_TRUE(inside.waited) << "the start went on beside the set before's second pass";
  EXPECT_EQ(inside.seen, 0u) << "strobed while the set before's second pass ran";
  EXPECT_EQ(calls, (std::vector<uint32_t>{101, 112}));
  EXPECT_TRUE(hasWrite(0x108, 1)) << "the start";
  tStatus2 stopped;
  timing->stop(stopped);
  EXPECT_EQ(stopped.code, 200010) << "the next set ended before its record end";
  EXPECT_EQ(calls, (std::vector<uint32_t>{101, 112, 1, 12, 101, 112}));
  timing->disarm(status);
  timing->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A read's start of the next set while a stop of the run waits: the stop
// keeps the record end it ran, returns, and clears the record end as it
// leaves, so a second stop with no start between stops early again.
TEST_F(tTimingTest, AStartDuringAStopLeavesItTheRecordEndOfTheRunItStops) {
  finite();
  timing->addRecordEndObserver(&first, status);
  commit();
  timing->arm(status);
  timing->start(status);
  // The stop is held as it begins to wait on the record-end event.
  std::atomic<std::thread::id> stopper;
  tHeldCall held(tHeldCall::kGuard);
  // The events the stop waits on, set by the test if the stop hangs.
  std::atomic<const iSync*> events[2] = {};
  nQoSim::onSyncWait([&](const iSync* object) {
    if (std::this_thread::get_id() != stopper.load() || events[1] != nullptr) return;
    if (events[0] != nullptr) {
      events[1] = object;
      return;
    }
    events[0] = object;
    held.hold();
  });
  tStatus2 stopped, read;
  auto stop = std::async(std::launch::async, [&] {
    stopper = std::this_thread::get_id();
    timing->stop(stopped);
  });
  ASSERT_TRUE(held.waitUntilInside());
  timing->start(read);
  held.letGo();
  const bool returned = stop.wait_for(tHeldCall::kGuard) == std::future_status::ready;
  EXPECT_TRUE(returned) << "the start cleared the record end that the stop ran";
  while (stop.wait_for(tHeldCall::kHold) != std::future_status::ready)
    for (const auto& event : events)
      if (event != nullptr) const_cast<iSync*>(event.load())->releaseOrSet(nullptr);
  nQoSim::onSyncWait(nullptr);
  EXPECT_EQ(stopped.code, 200010);
  EXPECT_EQ(read.code, 0);
  EXPECT_EQ(calls, (std::vector<uint32_t>{1, 101}));

  clearLogs();
  tStatus2 again;
  timing->stop(again);
  EXPECT_EQ(again.code, 200010);
  EXPECT_TRUE(hasWrite(0x110, 0x2000)) << "hammer stop";
  EXPECT_EQ(calls, (std::vector<uint32_t>{1, 101}));
  timing->disarm(status);
  timing->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A start with no stop beside it begins the run's record end afresh, once
// the set before's record end has reached its observers whole: the deferred
// secondary pass of the set before then owes nothing, and the stop of the
// restarted run waits for the primary pass of that run's own record end,
// which another thread is still running.
TEST_F(tTimingTest, AStopOfARestartedRunWaitsForThatRunsOwnRecordEnd) {
  tHeldObserver holder{2, &calls};
  finite();
  timing->addRecordEndObserver(&first, status);
  timing->addRecordEndObserver(&holder, status);
  commit();
  timing->arm(status);
  timing->start(status);
  windows.setRead(window, 0x104, 16, 0x8040);
  ASSERT_EQ(bus.raise(1), 1u);
  timing->start(status);
  EXPECT_EQ(calls, (std::vector<uint32_t>{1, 2, 101, 102})) << "the set before's secondary pass";
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  EXPECT_EQ(calls, (std::vector<uint32_t>{1, 2, 101, 102})) << "no second one";

  holder.holdNext = true;
  auto pass = std::async(std::launch::async, [&] { bus.raise(1); });
  ASSERT_TRUE(holder.held.waitUntilInside());
  std::atomic<std::thread::id> stopper;
  std::atomic<const iSync*> event{nullptr};
  nQoSim::onSyncWait([&](const iSync* object) {
    if (std::this_thread::get_id() == stopper.load() && event == nullptr) event = object;
  });
  tStatus2 stopped;
  auto stop = std::async(std::launch::async, [&] {
    stopper = std::this_thread::get_id();
    timing->stop(stopped);
  });
  const auto ready = [&] {
    return stop.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
  };
  // Until the stop blocks on the first event it waits on, the record end's.
  const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
  bool waited = false;
  while (!waited && !ready() && std::chrono::steady_clock::now() < guard) {
    waited = event != nullptr && nQoSim::syncBlocked(event) != 0;
    std::this_thread::yield();
  }
  EXPECT_TRUE(waited) << "the stop did not wait for the record end that is being notified";
  holder.held.letGo();
  pass.wait();
  // A stop that went past that wait is let go too.
  while (stop.wait_for(tHeldCall::kHold) != std::future_status::ready) bus.pumpSecondary();
  nQoSim::onSyncWait(nullptr);
  EXPECT_EQ(stopped.code, 0);
  EXPECT_EQ(calls, (std::vector<uint32_t>{1, 2, 101, 102, 1, 2, 101, 102}));
  windows.setRead(window, 0x104, 16, 0);
  bus.pumpSecondary();
  timing->disarm(status);
  timing->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A read's start during a stop leaves that set's record end to begin afresh
// once the stop is done: a second stop with no start between waits for the
// set's record end that another thread is notifying.
TEST_F(tTimingTest, ASecondStopAfterAStartInsideAStopWaitsForTheRecordEndUnderWay) {
  tHeldObserver holder{2, &calls};
  finite();
  timing->addRecordEndObserver(&holder, status);
  commit();
  timing->arm(status);
  timing->start(status);
  // The first stop is held as it begins to wait on the record-end event.
  std::atomic<std::thread::id> stopper;
  std::atomic<const iSync*> event{nullptr};
  std::atomic<bool> holdWait{true};
  tHeldCall held(tHeldCall::kGuard);
  nQoSim::onSyncWait([&](const iSync* object) {
    if (std::this_thread::get_id() != stopper.load()) return;
    if (event == nullptr) event = object;
    if (holdWait.exchange(false)) held.hold();
  });
  const auto stopOnItsOwn = [&](tStatus2& stopped) {
    return std::async(std::launch::async, [&] {
      stopper = std::this_thread::get_id();
      timing->stop(stopped);
    });
  };
  tStatus2 stopped, read;
  auto stop = stopOnItsOwn(stopped);
  ASSERT_TRUE(held.waitUntilInside());
  timing->start(read);
  held.letGo();
  stop.wait();
  EXPECT_EQ(stopped.code, 200010);
  EXPECT_EQ(read.code, 0);
  ASSERT_EQ(calls, (std::vector<uint32_t>{2, 102}));

  // The set's record end, held in its primary pass, and a second stop.
  holder.holdNext = true;
  windows.setRead(window, 0x104, 16, 0x8040);
  auto pass = std::async(std::launch::async, [&] { bus.raise(1); });
  ASSERT_TRUE(holder.held.waitUntilInside());
  event = nullptr;
  tStatus2 again;
  stop = stopOnItsOwn(again);
  const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
  bool waited = false;
  while (!waited && stop.wait_for(std::chrono::seconds(0)) != std::future_status::ready &&
         std::chrono::steady_clock::now() < guard) {
    waited = event != nullptr && nQoSim::syncBlocked(event) != 0;
    std::this_thread::yield();
  }
  EXPECT_TRUE(waited) << "the second stop returned on the record end of the first";
  holder.held.letGo();
  pass.wait();
  while (stop.wait_for(tHeldCall::kHold) != std::future_status::ready) bus.pumpSecondary();
  nQoSim::onSyncWait(nullptr);
  EXPECT_EQ(again.code, 0);
  EXPECT_EQ(calls, (std::vector<uint32_t>{2, 102, 2, 102}));
  windows.setRead(window, 0x104, 16, 0);
  bus.pumpSecondary();
  EXPECT_EQ(calls.size(), 4u) << "once per set";
  timing->disarm(status);
  timing->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A stop clears the record end, events and passes, before it lets go of the
// gate: a read's start and a record end that come as it clears are a set of
// the run it ends, and the set that follows is notified once, by the next
// stop.
TEST_F(tTimingTest, AStartAndARecordEndWhileAStopClearsBelongToTheRunItEnds) {
  finite();
  timing->addRecordEndObserver(&first, status);
  commit();
  timing->arm(status);
  timing->start(status);
  // The stop is held as it clears the record end.
  std::atomic<std::thread::id> stopper;
  tHeldCall clearing(tHeldCall::kGuard);
  nQoSim::onSyncReset([&](const iSync*) {
    if (std::this_thread::get_id() == stopper.load()) clearing.hold();
  });
  tStatus2 stopped, read;
  auto stop = std::async(std::launch::async, [&] {
    stopper = std::this_thread::get_id();
    timing->stop(stopped);
  });
  ASSERT_TRUE(clearing.waitUntilInside()) << "the stop did not clear the record end";
  timing->start(read);
  windows.setRead(window, 0x104, 16, 0x8040);
  bus.raise(1);
  bus.pumpSecondary();
  windows.setRead(window, 0x104, 16, 0);
  clearing.letGo();
  stop.wait();
  nQoSim::onSyncReset(nullptr);
  EXPECT_EQ(stopped.code, 200010);
  EXPECT_EQ(read.code, 0);
  EXPECT_EQ(calls, (std::vector<uint32_t>{1, 101}));
  tStatus2 again;
  timing->stop(again);
  EXPECT_EQ(again.code, 200010);
  EXPECT_EQ(calls, (std::vector<uint32_t>{1, 101, 1, 101}));
  timing->disarm(status);
  timing->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tTimingTest, AQuietOrContinuousStopGivesNoWarningAndModesBelow3OnlyHammerStopARun) {
  finite();
  config.timing.quietStop = 1;
  timing->addRecordEndObserver(&first, status);
  commit();
  timing->arm(status);
  timing->stop(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_TRUE(hasWrite(0x110, 0x2000));
  timing->disarm(status);

  config.timing.quietStop = 0;
  config.timing.acquisitionType = 1;
  commit();
  timing->arm(status);
  timing->stop(status);
  EXPECT_EQ(status.code, 0);
  timing->disarm(status);

  for (int32_t mode : {0, 1, 2}) {
    config.timing.timingMode = mode;
    commit();
    clearLogs();
    timing->stop(status);
    EXPECT_TRUE(windows.log().empty()) << mode;
    // A run that a start began is hammer stopped, with no record end.
    timing->arm(status);
    timing->start(status);
    clearLogs();
    timing->stop(status);
    EXPECT_EQ(status.code, 0);
    EXPECT_TRUE(hasWrite(0x110, 0x2000)) << mode;
    EXPECT_FALSE(timing->isRunHeld());
    EXPECT_TRUE(calls.empty()) << mode;
    timing->disarm(status);
  }
  timing->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tTimingTest, TheListenerAnswersOnlyWellShapedRequestsWithTheKey) {
  bus.setLocation(0, 1);
  bus.setLocation(1, 0x2A);
  bus.setLocation(2, 0);
  finite();
  config.timing.listenerKey = 0x1122334455667788;
  const int64_t live = nQoSim::liveAllocations();
  commit();
  EXPECT_EQ(nQoSim::liveAllocations(), live) << "the name buffer is freed";
  iLibSocketListener* listener = nQoSim::findSocketListener(
      "0x1::0x2A::0x0::tBaseAITimingControllerPrimitive::tLibSocketListener");
  ASSERT_NE(listener, nullptr);

  uint8_t request[8];
  const uint64_t key = 0x1122334455667788;
  std::memcpy(request, &key, 8);
  uint32_t reply[3] = {}, size = 0;
  tStatus2 good;
  listener->handleRequest(request, 8, reply, 12, &size, 1, 0, good);
  EXPECT_EQ(good.code, 0);
  EXPECT_EQ(size, 12u);
  EXPECT_EQ(reply[0], 3u);
  EXPECT_EQ(reply[1], 2u);
  EXPECT_EQ(reply[2], 100u);

  struct tCase {
    uint32_t requestSize, capacity, code, second;
    uint64_t key;
    uint32_t sizeAfter;
  };
  for (const tCase& c :
       {tCase{7, 12, 1, 0, key, 0xEE}, tCase{8, 12, 1, 0, key + 1, 12}, tCase{8, 12, 2, 0, key, 12},
        tCase{8, 11, 1, 0, key, 0xEE}, tCase{8, 12, 1, 1, key, 0xEE}}) {
    SCOPED_TRACE(c.requestSize * 100 + c.capacity + c.code * 1000);
    std::memcpy(request, &c.key, 8);
    uint32_t sizeOut = 0xEE;
    tStatus2 bad;
    listener->handleRequest(request, c.requestSize, reply, c.capacity, &sizeOut, c.code, c.second,
                            bad);
    EXPECT_EQ(bad.code, -223749);
    EXPECT_EQ(sizeOut, c.sizeAfter);
  }
  // A commit after the key was taken away takes the listener out.
  config.timing.listenerKey = 0;
  commit();
  EXPECT_EQ(nQoSim::registeredSocketListeners(), 0);
  timing->uncommit(status);
  EXPECT_EQ(nQoSim::registeredSocketListeners(), 0);
}

TEST_F(tTimingTest, HandlersNotifyOnlyWhileArmedAndTheRecordEndOncePerRun) {
  finite();
  timing->addRecordEndObserver(&first, status);
  timing->addSampleStartObserver(&second, true, status);
  commit();
  timing->arm(status);
  nQoMRTB100::iInterruptHandler* recordEnd = dispatcher->primaryHandlers[3];
  nQoMRTB100::iInterruptHandler* sampleStart = dispatcher->primaryHandlers[6];
  ASSERT_NE(recordEnd, nullptr);
  ASSERT_NE(sampleStart, nullptr);
  EXPECT_EQ(recordEnd->handleInterrupt(), 2u);
  EXPECT_EQ(recordEnd->handleInterrupt(), 1u);
  EXPECT_EQ(sampleStart->handleInterrupt(), 2u);
  EXPECT_EQ(calls, (std::vector<uint32_t>{1, 2}));
  calls.clear();

  // An observer added under the arm keeps it: the run goes on notifying
  // until its disarm.
  timing->addSampleEndObserver(nullptr, status);
  EXPECT_EQ(timing->state().getState(), 3u);
  EXPECT_EQ(sampleStart->handleInterrupt(), 2u);
  EXPECT_EQ(calls, (std::vector<uint32_t>{2}));
  calls.clear();
  timing->disarm(status);
  EXPECT_EQ(sampleStart->handleInterrupt(), 1u);
  EXPECT_TRUE(calls.empty());
}

// The sample-start and sample-end sources of a mode-2 run, their status bits
// and what the observer logs for their first pass.
struct tRunSource {
  const char* name;
  uint32_t pending;
  uint32_t heard;
};
constexpr tRunSource kRunSources[] = {{"sample start", 0x20, 1}, {"sample end", 0x10, 21}};

// A second pass that took its request before the disarm, and reaches the
// engine only after the next arm and start, belongs to the arm before: it
// notifies no one of the next run. That run's own passes notify.
TEST_F(tTimingTest, ASecondPassTakenBeforeTheDisarmNotifiesNoOneOfTheNextArm) {
  config.timing.timingMode = 2;
  timing->addSampleStartObserver(&first, true, status);
  timing->addSampleEndObserver(&first, status);
  commit();
  const std::thread::id test = std::this_thread::get_id();
  for (const tRunSource& source : kRunSources) {
    SCOPED_TRACE(source.name);
    timing->arm(status);
    timing->start(status);
    raise(source.pending);
    ASSERT_EQ(calls, std::vector<uint32_t>{source.heard});
    calls.clear();
    {
      tHeldPass held;
      // Held once it has taken its request.
      bus.onAtomicRun([&] {
        if (std::this_thread::get_id() != test) held.hold();
      });
      held.run([&] { bus.pumpSecondary(); });
      held.tearDown([&] {
        timing->disarm(status);
        timing->arm(status);
        timing->start(status);
      });
      bus.onAtomicRun(nullptr);
    }
    EXPECT_TRUE(calls.empty()) << "a second pass of the arm before notified the next arm";
    raise(source.pending);
    EXPECT_EQ(bus.pumpSecondary(), 1u);
    EXPECT_EQ(calls, (std::vector<uint32_t>{source.heard, 100 + source.heard}));
    calls.clear();
    timing->disarm(status);
  }
  timing->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A disarm waits for a second pass of its run under way: the observer's
// second notification, held on the dispatcher's thread, leaves before the
// disarm returns.
TEST_F(tTimingTest, ADisarmWaitsForASecondPassOfItsRunUnderWay) {
  config.timing.timingMode = 2;
  timing->addSampleStartObserver(&first, true, status);
  timing->addSampleEndObserver(&first, status);
  commit();
  for (const tRunSource& source : kRunSources) {
    SCOPED_TRACE(source.name);
    timing->arm(status);
    timing->start(status);
    raise(source.pending);
    tHeldPass held;
    first.inSecond = [&] { held.hold(); };
    held.run([&] { bus.pumpSecondary(); });
    held.tearDown([&] { timing->disarm(status); });
    first.inSecond = nullptr;
    EXPECT_TRUE(held.teardownWaited());
    EXPECT_EQ(calls, (std::vector<uint32_t>{source.heard, 100 + source.heard}));
    calls.clear();
  }
  timing->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A first pass whose second pass finds its arm over, or whose arm has no
// second pass for it, leaves nothing to the next arm: a last conversion of
// the arm before (a record end of an arm with no start, a sample end in mode
// 2) reaches no one through a second pass of the next arm's sample end in
// mode 3, also when its own late second pass took its request before the
// disarm.
struct tLeftPass {
  const char* name;
  int32_t mode;
  uint32_t pending;
  bool started;
  std::vector<uint32_t> heard;
};
const tLeftPass kLeftPasses[] = {{"record end of an arm with no start", 3, 0x40, false, {12}},
                                 {"sample end in mode 2", 2, 0x10, true, {21, 12}}};

TEST_F(tTimingTest, ASecondPassOfTheNextArmDeliversNoLastConversionOfTheArmBefore) {
  timing->addSampleEndObserver(&first, status);
  timing->addLastConvertObserver(&second, status);
  const std::thread::id test = std::this_thread::get_id();
  for (const tLeftPass& row : kLeftPasses) {
    SCOPED_TRACE(row.name);
    finite();
    config.timing.timingMode = row.mode;
    commit();
    timing->arm(status);
    if (row.started) timing->start(status);
    raise(row.pending);
    ASSERT_EQ(calls, row.heard);
    tHeldCall held(tHeldCall::kGuard);
    // Held once it has taken its request.
    bus.onAtomicRun([&] {
      if (std::this_thread::get_id() != test) held.hold();
    });
    std::thread late([&] { bus.pumpSecondary(); });
    EXPECT_TRUE(held.waitUntilInside());
    timing->disarm(status);
    finite();
    commit();
    timing->arm(status);
    timing->start(status);
    held.letGo();
    late.join();
    bus.onAtomicRun(nullptr);
    EXPECT_EQ(calls, row.heard) << "a late second pass notified the next arm";
    raise(0x10);
    EXPECT_EQ(bus.pumpSecondary(), 1u);
    std::vector<uint32_t> heard = row.heard;
    heard.insert(heard.end(), {21, 121});
    EXPECT_EQ(calls, heard) << "the next arm's second pass delivered the arm before's";
    timing->disarm(status);
    timing->uncommit(status);
    calls.clear();
  }
  EXPECT_EQ(status.code, 0);
}

// A second pass takes each pending word before it notifies: a sample end
// that comes while the second pass of the one before is inside its observer
// leaves its word to its own second pass, and a last conversion that a
// sample-end second pass is delivering is not delivered again by the stop's
// record-end second pass beside it.
TEST_F(tTimingTest, EachPendingWordReachesItsObserverOnce) {
  finite();
  timing->addSampleEndObserver(&first, status);
  timing->addLastConvertObserver(&second, status);
  commit();
  timing->arm(status);
  timing->start(status);
  nQoMRTB100::iSecondaryInterruptHandler* sampleEnd =
      dispatcher->secondaryHandlers[tTavikAITimingControllerPrimitive::kSampleEndSource];
  const std::thread::id test = std::this_thread::get_id();
  const auto heldInside = [&](tObserver& observer, const std::function<void()>& beside) {
    tHeldCall held(tHeldCall::kGuard);
    observer.inSecond = [&] {
      if (std::this_thread::get_id() != test) held.hold();
    };
    std::thread pass([&] { sampleEnd->handleSecondaryInterrupt(); });
    EXPECT_TRUE(held.waitUntilInside());
    beside();
    held.letGo();
    pass.join();
    observer.inSecond = nullptr;
  };
  raise(0x10);
  heldInside(first, [&] { raise(0x10); });
  bus.pumpSecondary();
  EXPECT_EQ(calls, (std::vector<uint32_t>{21, 121, 21, 121})) << "a sample end was lost";
  calls.clear();

  raise(0x40);
  raise(0x10);
  heldInside(second, [&] { timing->stop(status); });
  EXPECT_EQ(calls, (std::vector<uint32_t>{12, 21, 121, 112})) << "a last conversion twice";
  timing->disarm(status);
  timing->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// An uncommit right after the arm, or after a commit of the armed engine,
// disarms it by the record of its arm before the handlers go: the hammer
// stop, the sources off, the one disarmed report of that arm.
TEST_F(tTimingTest, AnUncommitOfAnArmedEngineDisarmsItBeforeTheHandlersGo) {
  finite();
  timing->addRecordEndObserver(&first, status);
  timing->addSampleStartObserver(&second, true, status);
  timing->setSchedulerAction(&action, status);
  for (const bool commitAgain : {false, true}) {
    SCOPED_TRACE(commitAgain ? "4100, 1, 4" : "4100, 4");
    commit();
    timing->arm(status);
    ASSERT_EQ(map->Interrupt_A_Enable.getRegister() & 0x0009, 0x0009u);
    clearLogs();
    action.clear();
    if (commitAgain) commit();
    timing->uncommit(status);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(map->Interrupt_A_Enable.getRegister() & 0x0009, 0u)
        << "a source outlived the engine's handlers";
    const tLog writes = windows.writes();
    ASSERT_GE(writes.size(), 2u);
    EXPECT_EQ(tLog(writes.begin(), writes.begin() + 2),
              (tLog{nQoTest::wrote(0x190, 0x10), nQoTest::wrote(0x110, 0x2000)}))
        << "the hammer stop comes first";
    EXPECT_EQ(
        action.calls(),
        (std::vector<tSimSchedulerAction::tCall>{{tSimSchedulerAction::tCall::kDisarmed, 0}}));
    EXPECT_FALSE(timing->isArmHeld());
    EXPECT_EQ(timing->installedHandlers(), 0u);
    EXPECT_EQ(timing->state().getState(), 1u);
    action.clear();
    timing->uncommit(status);
    EXPECT_TRUE(action.calls().empty()) << "the arm was undone twice";
  }
}

// Code 1 after 4100: the commit, which reloads the counters and rewrites the
// selects, disarms the engine first, with its report: the hammer stop comes
// first, the arm's sources go off and its mode-2 trigger select is taken back
// before the commit writes; the handlers stay, and the next arm is reported.
TEST_F(tTimingTest, ACommitOfAnArmedEngineDisarmsItFirst) {
  using tCall = tSimSchedulerAction::tCall;
  config.timing.timingMode = 2;
  timing->addSampleStartObserver(&first, true, status);
  timing->setSchedulerAction(&action, status);
  commit();
  timing->arm(status);
  ASSERT_EQ(map->Interrupt_A_Enable.getRegister() & 0x0008, 0x0008u);
  ASSERT_EQ(map->AI_Trigger_Select.getRegister() & 0x801F, 0x801Fu);
  clearLogs();
  action.clear();
  commit();
  EXPECT_EQ(action.calls(), (std::vector<tCall>{{tCall::kDisarmed, 0}}));
  const tLog writes = windows.writes();
  ASSERT_GE(writes.size(), 2u);
  EXPECT_EQ(tLog(writes.begin(), writes.begin() + 2),
            (tLog{nQoTest::wrote(0x190, 0x10), nQoTest::wrote(0x110, 0x2000)}))
      << "the hammer stop comes first";
  EXPECT_EQ(map->Interrupt_A_Enable.getRegister() & 0x0008, 0u);
  EXPECT_FALSE(timing->isArmHeld());
  EXPECT_EQ(timing->state().getState(), 2u);
  EXPECT_NE(dispatcher->primaryHandlers[tTavikAITimingControllerPrimitive::kSampleStartSource],
            nullptr);
  action.clear();
  timing->arm(status);
  timing->disarm(status);
  EXPECT_EQ(action.calls(), (std::vector<tCall>{{tCall::kArmed, 0}, {tCall::kDisarmed, 0}}));
  timing->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A sample-clock wait's enable of the sample-start source comes after the
// arm: while the arm's record holds it switches the source on, after the
// disarm it leaves it off, so the uncommit that takes the handler out leaves
// no source on without it. One that runs beside the disarm, waiting for the
// bus while the disarm switches the source off and done before the disarm's
// next step, finds the record cleared already and leaves it off as well.
TEST_F(tTimingTest, AWaitsSampleStartEnableAfterTheDisarmLeavesTheSourceOff) {
  timing->addSampleStartObserver(&first, false, status);
  commit();
  timing->arm(status);
  timing->enableSampleStartInterrupt(status);
  EXPECT_EQ(windows.written(window, 0x192, 16) & 0x0008, 0x0008u) << "armed: on";
  timing->disarm(status);
  timing->enableSampleStartInterrupt(status);
  EXPECT_EQ(windows.written(window, 0x192, 16) & 0x0008, 0u) << "disarmed: off";

  timing->arm(status);
  timing->enableSampleStartInterrupt(status);
  ASSERT_EQ(windows.written(window, 0x192, 16) & 0x0008, 0x0008u);
  tStatus2 disarmed, enabled;
  EXPECT_TRUE(passBesideHeldDisarm(
      windows, bus, 0x192, 0x0008, [&] { timing->disarm(disarmed); },
      [&] { timing->enableSampleStartInterrupt(enabled); }));
  EXPECT_EQ(disarmed.code, 0);
  EXPECT_EQ(enabled.code, 0);
  EXPECT_EQ(windows.written(window, 0x192, 16) & 0x0008, 0u) << "on after the disarm";
  EXPECT_FALSE(timing->isArmHeld());
  timing->uncommit(status);
  EXPECT_EQ(sourcesWithoutHandler(windows, window, *dispatcher), "");
  EXPECT_EQ(status.code, 0);
}

// Code 4100 before any commit still arms and tells the scheduler action, but
// leaves the record-end and sample-start sources off (no handler would
// acknowledge them), as a wait's enable of the sample-start source does. A
// disarm without an arm touches nothing; one disarm answers the arm, and a
// second touches nothing and tells the action nothing.
TEST_F(tTimingTest, AnArmWithoutACommitLeavesItsSourcesOffAndOneDisarmAnswersIt) {
  using tActionCall = tSimSchedulerAction::tCall;
  finite();
  timing->addRecordEndObserver(&first, status);
  timing->addSampleStartObserver(&second, true, status);
  timing->setConfiguration(config, status);
  timing->setSchedulerAction(&action, status);
  clearLogs();
  timing->disarm(status);
  EXPECT_TRUE(windows.log().empty());
  EXPECT_TRUE(action.calls().empty()) << "a disarm without an arm was reported";

  timing->arm(status);
  timing->enableSampleStartInterrupt(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_TRUE(hasWrite(0x110, 0x1540)) << "the arm command";
  EXPECT_FALSE(wroteAt(0x192));
  EXPECT_EQ(sourcesWithoutHandler(windows, window, *dispatcher), "");
  EXPECT_TRUE(timing->isArmHeld());
  timing->disarm(status);
  clearLogs();
  timing->disarm(status);
  EXPECT_TRUE(windows.log().empty()) << "a second disarm touched the board";
  EXPECT_EQ(action.calls(),
            (std::vector<tActionCall>{{tActionCall::kArmed, 0}, {tActionCall::kDisarmed, 0}}));
  EXPECT_EQ(status.code, 0);
}

// Code 4101, or the disarm of code 4, after a start: the run is stopped
// first, while armed, so its record end reaches the observer once; the
// stop's warning is not the disarm's answer. A release after an arm without
// a commit hands the engine back uncommitted.
TEST_F(tTimingTest, ADisarmStopsTheRunItHoldsFirstAndTheReleaseHandsBackUncommitted) {
  finite();
  timing->addRecordEndObserver(&first, status);
  commit();
  for (const bool uncommit : {false, true}) {
    SCOPED_TRACE(uncommit ? "4100, 2, 4" : "4100, 2, 4101");
    timing->arm(status);
    timing->start(status);
    ASSERT_TRUE(timing->isRunHeld());
    clearLogs();
    if (uncommit)
      timing->uncommit(status);
    else
      timing->disarm(status);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(calls, (std::vector<uint32_t>{1, 101})) << "the run's record end";
    EXPECT_FALSE(timing->isRunHeld());
    EXPECT_FALSE(timing->isArmHeld());
  }
  ASSERT_EQ(timing->installedHandlers(), 0u);
  timing->arm(status);
  timing->bringDown();
  EXPECT_EQ(timing->state().getState(), 1u);
  EXPECT_FALSE(timing->isArmHeld());
  EXPECT_EQ(status.code, 0);
}

// A committed and armed controller that is destroyed switches its arm off and
// leaves no handler in the dispatcher and the board interrupt detached.
TEST_F(tTimingTest, DestructionEmptiesTheSlotsOfItsHandlersAndDetaches) {
  finite();
  timing->addRecordEndObserver(&first, status);
  commit();
  timing->arm(status);
  ASSERT_NE(dispatcher->primaryHandlers[3], nullptr);
  ASSERT_EQ(map->Interrupt_A_Enable.getRegister() & 0x0001, 0x0001u);
  delete timing;
  timing = nullptr;
  EXPECT_EQ(map->Interrupt_A_Enable.getRegister() & 0x0001, 0u) << "the arm's source outlived it";
  EXPECT_EQ(map->AI_Mode_2.getRegister() & 0xC000, 0xC000u) << "gate closed";
  ASSERT_EQ(dispatcher->primaryHandlers[3], nullptr);
  ASSERT_EQ(dispatcher->secondaryHandlers[3], nullptr);
  EXPECT_EQ(bus.registrations(), 0);
  windows.setRead(window, 0x104, 16, 0x8040);
  EXPECT_EQ(dispatcher->resolvePrimaryInterrupt(), 0u);
  EXPECT_TRUE(calls.empty());
}

TEST_F(tTimingTest, ATimedLoopRunsTheActionOncePastItsThreshold) {
  finite();
  config.timing.timedLoopEvent = 1;
  config.timing.sampleStartActionArgument = 7;
  timing->setSchedulerAction(&action, status);
  commit();
  timing->arm(status);
  nQoMRTB100::iInterruptHandler* sampleStart = dispatcher->primaryHandlers[6];
  ASSERT_NE(sampleStart, nullptr);
  action.clear();
  sampleStart->handleInterrupt();
  sampleStart->handleInterrupt();
  EXPECT_TRUE(action.calls().empty());
  sampleStart->handleInterrupt();
  EXPECT_EQ(action.calls(),
            (std::vector<tSimSchedulerAction::tCall>{{tSimSchedulerAction::tCall::kRun, 2, 7}}));
  timing->disarm(status);
  timing->uncommit(status);
  EXPECT_EQ(dispatcher->primaryHandlers[6], nullptr);
}

// A configuration given after the commit (another mode, kind, quiet stop,
// action argument and key) reaches the next commit only: the arm, the start,
// the timed loop, the listener's answer and the stop's warning and record
// end go by the finite mode-3 run the commit programmed.
TEST_F(tTimingTest, ARunGoesByItsCommitWhateverIsConfiguredSince) {
  finite();
  config.timing.timedLoopEvent = 1;
  config.timing.sampleStartActionArgument = 7;
  config.timing.listenerKey = 0x1122334455667788;
  timing->addRecordEndObserver(&first, status);
  timing->addLastConvertObserver(&second, status);
  timing->setSchedulerAction(&action, status);
  commit();
  tAITimingControllerPrimitiveConfig other = config;
  other.timing.timingMode = 2;
  other.timing.acquisitionType = 1;
  other.timing.quietStop = 1;
  other.timing.sampleStartActionArgument = 9;
  other.timing.listenerKey = 5;
  timing->setConfiguration(other, status);
  timing->arm(status);
  timing->start(status);
  EXPECT_TRUE(hasWrite(0x108, 1)) << "mode 3 starts with 1";
  iLibSocketListener* listener = nQoSim::findSocketListener(
      "0x0::0x0::0x0::tBaseAITimingControllerPrimitive::tLibSocketListener");
  ASSERT_NE(listener, nullptr);
  const uint64_t key = config.timing.listenerKey;
  uint32_t reply[3] = {}, size = 0;
  listener->handleRequest(&key, 8, reply, 12, &size, 1, 0, status);
  EXPECT_EQ(std::vector<uint32_t>(reply, reply + 3), (std::vector<uint32_t>{3, 2, 100}));
  action.clear();
  for (int clock = 0; clock < 3; ++clock) dispatcher->primaryHandlers[6].load()->handleInterrupt();
  EXPECT_EQ(action.calls(),
            (std::vector<tSimSchedulerAction::tCall>{{tSimSchedulerAction::tCall::kRun, 2, 7}}));
  clearLogs();
  timing->stop(status);
  EXPECT_EQ(status.code, 200010);
  EXPECT_EQ(calls, (std::vector<uint32_t>{1, 12, 101, 112}));
  tStatus2 undo;
  timing->disarm(undo);
  timing->uncommit(undo);
  EXPECT_EQ(undo.code, 0);
}

// Uncommit takes out the timed loop that commit put in, also after a
// configuration that names another event or none.
TEST_F(tTimingTest, UncommitTakesOutTheTimedLoopThatCommitPutIn) {
  finite();
  config.timing.timedLoopEvent = 1;
  commit();
  ASSERT_NE(dispatcher->primaryHandlers[6], nullptr);
  config.timing.timedLoopEvent = 0;
  timing->setConfiguration(config, status);
  timing->uncommit(status);
  EXPECT_EQ(dispatcher->primaryHandlers[6], nullptr);
  // The next task wants no sample start: commit installs no handler and arm
  // enables no source.
  commit();
  EXPECT_EQ(dispatcher->primaryHandlers[6], nullptr) << "no loop left in the list";
  clearLogs();
  timing->arm(status);
  EXPECT_EQ(map->Interrupt_A_Enable.getRegister() & 0x8, 0);
  timing->disarm(status);
  timing->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A commit of a committed engine keeps what the first took: one for another
// loop event takes the first loop out, so the uncommit leaves none in; one
// that fails takes out only the handler and loop it put in, and the engine
// stays committed with the first commit's handler.
TEST_F(tTimingTest, ASecondCommitKeepsWhatTheFirstTookAndItsFailureGivesBackOnlyItsOwn) {
  finite();
  config.timing.timedLoopEvent = 1;
  commit();
  config.timing.timedLoopEvent = 2;
  commit();
  timing->uncommit(status);
  config.timing.timedLoopEvent = 0;
  commit();
  EXPECT_EQ(dispatcher->primaryHandlers[6], nullptr) << "the first loop stayed in its list";
  EXPECT_EQ(timing->installedHandlers(), 0u);

  timing->addRecordEndObserver(&first, status);
  commit();
  nQoMRTB100::iInterruptHandler* const recordEnd = dispatcher->primaryHandlers[3];
  ASSERT_NE(recordEnd, nullptr);
  config.timing.timedLoopEvent = 1;
  config.timing.listenerKey = 0x1122334455667788;
  timing->setConfiguration(config, status);
  nQoSim::failNextSocketRegistration(-50001);
  tStatus2 failed;
  timing->commit(failed);
  EXPECT_EQ(failed.code, -50001);
  EXPECT_EQ(dispatcher->primaryHandlers[3], recordEnd);
  EXPECT_EQ(dispatcher->primaryHandlers[6], nullptr);
  EXPECT_EQ(timing->installedHandlers(), 4u);
  EXPECT_EQ(timing->timedLoopEvent(), 0u);
  EXPECT_EQ(timing->state().getState(), 2u);
  timing->uncommit(status);
  EXPECT_EQ(dispatcher->primaryHandlers[3], nullptr);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tTimingTest, AnObserverListThatCannotGrowReportsOutOfMemory) {
  timing->addRecordEndObserver(&first, status);
  nQoSim::failAllocation(1);
  timing->addRecordEndObserver(&second, status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_EQ(timing->state().getState(), 1u);
}

TEST_F(tTimingTest, Slot15RefusesAndDoesNothingElse) {
  tStatus2 refused;
  timing->reserved15(refused);
  EXPECT_EQ(refused.code, -50256);
  EXPECT_TRUE(loggedAt(-50256, "tBaseAITimingControllerPrimitive", 650));
  EXPECT_EQ(nQoSim::statusLog().size(), 1u);
  EXPECT_TRUE(windows.log().empty());
  EXPECT_EQ(timing->state().getState(), 1u);
}

// Observes every list, so one pair of observers serves the four finds.
struct tAnyObserver : tBase::iSampleStartObserver,
                      tBase::iSampleEndObserver,
                      tBase::iRecordEndObserver,
                      tBase::iLastConvertObserver {};

TEST_F(tTimingTest, FindsAnswerTheFirstInUseRecordOfTheObserver) {
  tAnyObserver a, b, never;
  timing->addSampleStartObserver(&a, true, status);
  timing->addSampleStartObserver(&b, true, status);
  timing->removeSampleStartObserver(&a, status);
  EXPECT_EQ(timing->findSampleStartObserver(&a), nullptr);
  timing->addSampleStartObserver(&a, false, status);
  const auto* found = timing->findSampleStartObserver(&a);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found + 1, timing->findSampleStartObserver(&b)) << "the freed first record is reused";
  EXPECT_EQ(found->enableAtArm, 0u);
  EXPECT_EQ(timing->findSampleStartObserver(&b)->enableAtArm, 1u);
  EXPECT_EQ(timing->findSampleStartObserver(&never), nullptr);

  // The other lists: the same sequence; the re-added observer's record lies
  // before the other's.
  struct tList {
    const char* name;
    void (*add)(tBase&, tAnyObserver*, tStatus2&);
    void (*remove)(tBase&, tAnyObserver*, tStatus2&);
    uintptr_t (*find)(tBase&, tAnyObserver*);
  };
  const tList lists[] = {
      {"sample end", [](tBase& t, tAnyObserver* o, tStatus2& s) { t.addSampleEndObserver(o, s); },
       [](tBase& t, tAnyObserver* o, tStatus2& s) { t.removeSampleEndObserver(o, s); },
       [](tBase& t, tAnyObserver* o) {
         return reinterpret_cast<uintptr_t>(t.findSampleEndObserver(o));
       }},
      {"record end", [](tBase& t, tAnyObserver* o, tStatus2& s) { t.addRecordEndObserver(o, s); },
       [](tBase& t, tAnyObserver* o, tStatus2& s) { t.removeRecordEndObserver(o, s); },
       [](tBase& t, tAnyObserver* o) {
         return reinterpret_cast<uintptr_t>(t.findRecordEndObserver(o));
       }},
      {"last convert",
       [](tBase& t, tAnyObserver* o, tStatus2& s) { t.addLastConvertObserver(o, s); },
       [](tBase& t, tAnyObserver* o, tStatus2& s) { t.removeLastConvertObserver(o, s); },
       [](tBase& t, tAnyObserver* o) {
         return reinterpret_cast<uintptr_t>(t.findLastConvertObserver(o));
       }},
  };
  for (const tList& list : lists) {
    SCOPED_TRACE(list.name);
    list.add(*timing, &a, status);
    list.add(*timing, &b, status);
    list.remove(*timing, &a, status);
    EXPECT_EQ(list.find(*timing, &a), 0u);
    list.add(*timing, &a, status);
    EXPECT_NE(list.find(*timing, &a), 0u);
    EXPECT_LT(list.find(*timing, &a), list.find(*timing, &b));
    EXPECT_EQ(list.find(*timing, &never), 0u);
  }
  EXPECT_EQ(status.code, 0);
}

}  // namespace
}  // namespace nQoTest
