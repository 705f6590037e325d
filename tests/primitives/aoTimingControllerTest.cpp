// The AO timing controller on the real map and dispatcher: start with and
// without a start trigger, completion in both passes (the notifier once per
// arm), the interval reload, the counters and both update waits.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "primitives/ao/tTavikAOTimingControllerPrimitive.h"
#include "primitives/ao/tTavikAO_FIFOPrimitive.h"
#include "primitives/aoFixture.h"
#include "sim/simStatusLog.h"
#include "sim/simSync.h"
#include "support/boardChecks.h"
#include "support/heldCall.h"
#include "support/heldDisarm.h"
#include "support/heldPass.h"
#include "support/statusRecords.h"
#include "support/unorderedCall.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tTavikAO_FIFOPrimitive;
using nQoUdP100::tTavikAOTimingControllerPrimitive;

class tAOTimingTest : public tAOTest {
 protected:
  void SetUp() override {
    tAOTest::SetUp();
    fifo = new tTavikAO_FIFOPrimitive(&description, resources, status);
    timing = new tTavikAOTimingControllerPrimitive(&description, resources, fifo, status);
    fifo->setTimingController(timing);
    fifo->setDataSource(&source);
    fifoDeployed.channelCount = 2;
    deployFIFO();
    timing->setCompletionNotifier(&notifier);
    ASSERT_EQ(status.code, 0);
    clearLogs();
  }
  void TearDown() override {
    windows.setRead(window, 0x106, 16, 0);
    delete timing;
    delete fifo;
    EXPECT_EQ(bus.registrations(), 0);
    tAOTest::TearDown();
  }
  void commitAndArm() {
    timing->commit(status);
    timing->arm(status);
    ASSERT_EQ(status.code, 0);
    clearLogs();
  }
  uint16_t command2() const { return map->AO_Command_2.getRegister(); }
  // The settings deployed last, as the test wrote them, deployed whole.
  void deploy() { timing->deploy(deployed); }
  void deployFIFO() { fifo->deploy(fifoDeployed); }
  // A blocking update wait while another thread runs the action every
  // millisecond of host time; the wait's code.
  template <typename tAction>
  int waitWhile(tAction action) {
    tStatus2 wait;
    std::atomic<bool> returned{false};
    std::thread other([&] {
      while (!returned) {
        action();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    });
    timing->waitForNextUpdate(wait);
    returned = true;
    other.join();
    return wait.code;
  }

  tTavikAO_FIFOPrimitive* fifo = nullptr;
  tTavikAOTimingControllerPrimitive* timing = nullptr;
  nQoUdP100::tAOTimingFields deployed;
  nQoUdP100::tAOFIFOFields fifoDeployed;
};

TEST_F(tAOTimingTest, AStartTriggerWaitsForItsInterruptAndASoftwareStartStrobesUnderTheLock) {
  deployed.startTriggerSelect = 3;
  deploy();
  commitAndArm();
  EXPECT_EQ(groupBEnable() & 0x2, 0x2) << "arm enabled the start source";
  timing->start(status);
  EXPECT_TRUE(windows.log().empty());
  EXPECT_EQ(timing->state().getState(), 3u);

  windows.setRead(window, 0x106, 16, 0x8100);
  EXPECT_EQ(bus.raise(1), 2u);
  EXPECT_EQ(groupBEnable() & 0x2, 0u);
  EXPECT_TRUE(hasWrite(0x106, 0x200));
  EXPECT_EQ(timing->state().getState(), 4u);
  EXPECT_EQ(timing->handleInterruptCode(0), 0u) << "already running";

  // Committed with no trigger: the start strobe, as a bus atomic run under
  // the AO command lock.
  windows.setRead(window, 0x106, 16, 0);
  timing->disarm(status);
  deployed.startTriggerSelect = 0;
  deploy();
  timing->commit(status);
  clearLogs();
  timing->start(status);
  EXPECT_TRUE(windows.writes().empty()) << "no start strobe without an arm";
  EXPECT_EQ(timing->state().getState(), 2u);
  timing->arm(status);
  clearLogs();
  const uint16_t soft = command2();
  timing->start(status);
  EXPECT_EQ(windows.log(),
            (tLog{kAtomicBegin, wrote(0x10A, soft | 0x0001), kAtomicEnd, kBusFlush}));
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{5, -5}));
  EXPECT_EQ(timing->state().getState(), 4u);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tAOTimingTest, CompletionDisarmsInTheSecondaryPassAndNotifiesOncePerArm) {
  fifoDeployed.transferMechanism = 2;
  deployFIFO();
  fifo->commit(status);
  fifo->arm(status);
  commitAndArm();
  timing->start(status);
  timing->requestEndA(&status);
  ASSERT_EQ(groupBEnable() & 0x41, 0x41);
  windows.setRead(window, 0x106, 16, 0x80C0);  // completion and end request A
  clearLogs();
  const uint16_t soft = command2();
  EXPECT_EQ(bus.raise(1), 1u);
  EXPECT_EQ(groupBEnable() & 0x41, 0u);
  EXPECT_TRUE(hasWrite(0x10A, soft | 0x0020));
  EXPECT_TRUE(hasWrite(0x106, 0x100));
  EXPECT_TRUE(hasWrite(0x106, 0x080));

  clearLogs();
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  const tLog writes = windows.writes();
  ASSERT_GE(writes.size(), 6u);
  EXPECT_EQ(writes[0], wrote(0x190, 32));
  EXPECT_EQ(writes[1].offset, 0x112u);
  EXPECT_EQ(writes[1].value & 0x2000, 0x2000u);
  EXPECT_EQ(writes[2], wrote(0x190, 512));
  EXPECT_EQ(writes[3].offset, 0x14Eu);
  EXPECT_EQ(writes[3].value & 0x80, 0x80u);
  EXPECT_EQ(writes[4].offset, 0x112u);
  EXPECT_EQ(writes[4].value & 0x200, 0x200u);
  EXPECT_EQ(writes[5].offset, 0x14Eu);
  EXPECT_EQ(writes[5].value & 0x80, 0u);
  EXPECT_EQ(notifier.done, 1) << "two codes, one notification";
  EXPECT_TRUE(timing->isDone());
  EXPECT_EQ(timing->updatesDone(), 2000u);
  EXPECT_EQ(timing->state().getState(), 2u);
  EXPECT_EQ(source.finished, (std::vector<int>{})) << "direct writes report nothing";

  // A new arm brings a new notification, and only one.
  windows.setRead(window, 0x106, 16, 0);
  timing->arm(status);
  timing->disarm(status);
  timing->disarm(status);
  EXPECT_EQ(notifier.done, 2);

  // The task arms and starts the next generation on the report: the second
  // code's pass belongs to the arm that ended and leaves the new one alone.
  timing->arm(status);
  timing->start(status);
  timing->requestEndA(&status);
  tStatus2 next;
  notifier.onDone = [&] {
    notifier.onDone = nullptr;
    timing->arm(next);
    timing->start(next);
  };
  windows.setRead(window, 0x106, 16, 0x80C0);
  EXPECT_EQ(bus.raise(1), 1u);
  windows.setRead(window, 0x106, 16, 0);
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  EXPECT_EQ(notifier.done, 3);
  EXPECT_EQ(timing->state().getState(), 4u) << "the next generation runs";
  EXPECT_EQ(groupBEnable() & 0x1, 0x1) << "with its completion source on";
  EXPECT_FALSE(timing->isDone());
  EXPECT_EQ(next.code, 0);
  timing->uncommit(status);
  EXPECT_EQ(notifier.done, 4);
  fifo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// The completion completes the FIFO once, before its done report: the task
// that the report lets arm the FIFO for its next generation (here inside the
// report) finds that arm left alone by the pass, with the pass's updates
// done already counted.
TEST_F(tAOTimingTest, CompletionCompletesTheFIFOOnce) {
  fifo->commit(status);
  fifo->arm(status);
  commitAndArm();
  timing->start(status);
  std::vector<std::string> reports;
  source.onFinish = [&] { reports.push_back("finish"); };
  tStatus2 next;
  uint32_t updatesAtReport = 0;
  notifier.onDone = [&] {
    reports.push_back("done");
    updatesAtReport = timing->updatesDone();
    fifo->arm(next);
  };
  windows.setRead(window, 0x106, 16, 0x8080);
  EXPECT_EQ(bus.raise(1), 1u);
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  EXPECT_EQ(reports, (std::vector<std::string>{"finish", "done"}));
  EXPECT_EQ(updatesAtReport, 2000u);
  EXPECT_EQ(source.finished, (std::vector<int>{0}));
  EXPECT_EQ(fifo->state().getState(), 3u) << "the next generation's arm";
  EXPECT_EQ(notifier.done, 1);
  EXPECT_EQ(next.code, 0);
  windows.setRead(window, 0x106, 16, 0);
  timing->uncommit(status);
  fifo->uncommit(status);
  EXPECT_EQ(source.finished, (std::vector<int>{0, 0}));
}

TEST_F(tAOTimingTest, StopCompletesTheFIFOInEveryModeAndWarnsOnlyInMode0) {
  fifo->commit(status);
  fifo->arm(status);
  commitAndArm();
  timing->start(status);
  timing->stop(status);
  EXPECT_EQ(status.code, 200010);
  EXPECT_EQ(source.finished.size(), 1u);
  EXPECT_EQ(timing->state().getState(), 2u);

  tStatus2 mode1;
  deployed.mode = 1;
  deploy();
  timing->commit(mode1);
  fifo->arm(mode1);
  timing->arm(mode1);
  timing->start(mode1);
  timing->stop(mode1);
  EXPECT_EQ(mode1.code, 0);
  EXPECT_EQ(source.finished.size(), 2u);
  timing->uncommit(mode1);
  fifo->uncommit(mode1);
}

// The fields deployed under a run count from the next commit: a stop
// completes the FIFO when the generation it ends was committed fed by the
// FIFO, and only then.
TEST_F(tAOTimingTest, StopCompletesTheFIFOOfTheGenerationItEnds) {
  fifo->commit(status);
  fifo->arm(status);
  commitAndArm();
  timing->start(status);
  deployed.withoutFIFO = 1;
  deploy();
  timing->stop(status);
  EXPECT_EQ(source.finished.size(), 1u);
  EXPECT_EQ(fifo->state().getState(), 2u) << "completed";

  tStatus2 unfed;
  timing->commit(unfed);
  fifo->arm(unfed);
  timing->arm(unfed);
  timing->start(unfed);
  deployed.withoutFIFO = 0;
  deploy();
  timing->stop(unfed);
  EXPECT_EQ(source.finished.size(), 1u) << "a generation without the FIFO completes none";
  EXPECT_EQ(fifo->state().getState(), 3u) << "still armed";
  timing->uncommit(unfed);
  fifo->uncommit(unfed);
  EXPECT_EQ(unfed.code, 0);
}

// A commit of a started engine, which reloads the counters and rewrites the
// registers its run uses, ends the run first as a stop ends it: the disarm
// strobe before any write of the commit, the arm's sources off, the FIFO that
// fed the run completed, then the arm's one notification, and the commit's
// own answer. The handlers stay; the uncommit that follows disarms nothing
// again.
TEST_F(tAOTimingTest, ACommitOfAStartedEngineEndsItsRunFirst) {
  fifo->commit(status);
  fifo->arm(status);
  commitAndArm();
  timing->start(status);
  timing->requestEndA(&status);
  ASSERT_EQ(groupBEnable() & 0x0047, 0x0041u) << "completion and end request A";
  clearLogs();
  timing->commit(status);
  EXPECT_EQ(status.code, 0);
  const tLog writes = windows.writes();
  ASSERT_GE(writes.size(), 3u);
  EXPECT_EQ(writes[0], wrote(0x190, 32));
  EXPECT_EQ(writes[1].offset, 0x112u);
  EXPECT_EQ(writes[1].value & 0x2000, 0x2000u) << "the disarm strobe comes first";
  EXPECT_EQ(groupBEnable() & 0x0047, 0u);
  EXPECT_EQ(source.finished, (std::vector<int>{0})) << "the FIFO that fed the run";
  EXPECT_EQ(fifo->state().getState(), 2u);
  EXPECT_EQ(notifier.done, 1);
  EXPECT_EQ(timing->state().getState(), 2u);
  for (const uint32_t source : {15u, 18u, 8u})
    EXPECT_NE(dispatcher->primaryHandlers[source], nullptr) << source;
  clearLogs();
  timing->uncommit(status);
  for (const tAccess& access : windows.writes())
    EXPECT_FALSE(access.offset == 0x112 && (access.value & 0x2000) != 0) << "no disarm again";
  EXPECT_EQ(notifier.done, 1);
  EXPECT_EQ(source.finished.size(), 1u);
  EXPECT_EQ(timing->state().getState(), 1u);
  fifo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// The update output is the commit's to drive, by its record: a deploy of it
// under a running engine reaches the board only through the next commit,
// which ends the run first (the disarm strobe) and then sets the pin's
// direction and the output select 3; a commit whose record does not ask
// for it touches neither.
TEST_F(tAOTimingTest, TheCommitDrivesTheUpdateOutputThatItsRecordAsksFor) {
  deployed.outputSelect = 5;
  deploy();
  timing->commit(status);
  for (const tAccess& access : windows.writes()) {
    EXPECT_NE(access.offset, 0x172u);
    EXPECT_FALSE(access.offset == 0x1AC && (access.value & 0x3) != 0) << access.value;
  }
  timing->arm(status);
  timing->start(status);
  deployed.updateOutput = 1;
  deploy();
  clearLogs();
  timing->commit(status);
  const tLog writes = windows.writes();
  const auto at = [&](uint32_t offset, uint32_t mask) {
    return std::find_if(writes.begin(), writes.end(), [&](const tAccess& access) {
      return access.offset == offset && (access.value & mask) == mask;
    });
  };
  const auto disarm = at(0x112, 0x2000), pin = at(0x172, 0x20), select = at(0x1AC, 0x3);
  ASSERT_NE(pin, writes.end());
  ASSERT_NE(select, writes.end());
  EXPECT_LT(disarm, pin) << "the run ended first";
  EXPECT_LT(pin, select);
  timing->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// An engine destroyed while armed (a board's teardown under an armed task)
// is disarmed on the board before its handlers leave the slots: the disarm
// strobe and every source off. Its notifier, which may be gone, hears
// nothing; a disarmed engine's destruction strobes nothing.
TEST_F(tAOTimingTest, TheDestructionOfAnArmedEngineSwitchesTheArmOffWithoutAReport) {
  deployed.startTriggerSelect = 3;
  deploy();
  commitAndArm();
  timing->requestEndA(&status);
  ASSERT_EQ(windows.written(window, 0x196, 16), 0x0043u) << "completion, start and end A";
  clearLogs();
  fifo->setTimingController(nullptr);
  delete timing;
  timing = nullptr;
  EXPECT_EQ(windows.written(window, 0x196, 16), 0u);
  const tLog writes = windows.writes();
  EXPECT_TRUE(std::any_of(writes.begin(), writes.end(), [](const tAccess& access) {
    return access.offset == 0x112 && (access.value & 0x2000) != 0;
  })) << "the disarm strobe";
  for (const uint32_t source : {15u, 18u, 8u})
    EXPECT_EQ(dispatcher->primaryHandlers[source], nullptr) << source;
  EXPECT_EQ(notifier.done, 0);

  timing = new tTavikAOTimingControllerPrimitive(&description, resources, fifo, status);
  timing->setCompletionNotifier(&notifier);
  commitAndArm();
  timing->disarm(status);
  clearLogs();
  delete timing;
  timing = nullptr;
  EXPECT_FALSE(hasWrite(0x190, 32)) << "no disarm again";
  EXPECT_EQ(notifier.done, 1);
  EXPECT_EQ(status.code, 0);
}

// A blocking update wait switches the update source on only while the arm's
// record holds: one after the disarm, and one whose enable runs inside the
// disarm as it switches the update source off, leave it off, so the
// uncommit that takes the handler out leaves no source on without it.
TEST_F(tAOTimingTest, AnUpdateWaitAfterTheDisarmLeavesTheUpdateSourceOff) {
  deployed.mode = 2;
  deployed.pollUpdates = 0;
  deployed.countedFirstUpdates = 0;
  deploy();
  commitAndArm();
  timing->disarm(status);
  timing->setTimeout(0, status);
  tStatus2 wait;
  timing->waitForNextUpdate(wait);
  EXPECT_EQ(wait.code, -200474);
  EXPECT_EQ(windows.written(window, 0x196, 16) & 0x0004, 0u) << "the update source";
  timing->uncommit(status);
  EXPECT_EQ(sourcesWithoutHandler(windows, window, *dispatcher), "");

  commitAndArm();
  timing->enableUpdateInterrupt(status);
  ASSERT_EQ(windows.written(window, 0x196, 16) & 0x0004, 0x0004u);
  tStatus2 inside;
  bool waited = false;
  windows.onWritten([&](unsigned, uint32_t offset, uint32_t value) {
    if (offset != 0x196 || (value & 0x0004) != 0 || std::exchange(waited, true)) return;
    timing->waitForNextUpdate(inside);
  });
  timing->disarm(status);
  windows.onWritten(nullptr);
  EXPECT_TRUE(waited);
  EXPECT_EQ(inside.code, -200474);
  EXPECT_EQ(windows.written(window, 0x196, 16) & 0x0004, 0u) << "a wait inside the disarm";
  timing->uncommit(status);
  EXPECT_EQ(sourcesWithoutHandler(windows, window, *dispatcher), "");
  EXPECT_EQ(status.code, 0);
}

// An end request on the codes' thread, past the supervisor's look at the
// run, beside the completion's second pass on the interrupt's thread, held
// inside the atomic run of its disarm sequence (as it opens the AO bracket,
// 0x190 <- 32) while the end request's enable waits for the bus: the enable
// looks at the arm's record inside its atomic run and leaves its source off,
// so the uncommit leaves no source without its handler. End A (source 18)
// and end B (the completion's 8).
TEST_F(tAOTimingTest, AnEndRequestBesideTheCompletionsDisarmLeavesItsSourceOff) {
  deployed.withoutFIFO = 1;
  deploy();
  for (const bool endA : {true, false}) {
    SCOPED_TRACE(endA ? "end A" : "end B");
    commitAndArm();
    timing->start(status);
    windows.setRead(window, 0x106, 16, 0x8080);
    ASSERT_EQ(bus.raise(1), 1u) << "the completion's first pass";
    ASSERT_EQ(groupBEnable() & 0x41, 0u);
    const int notified = notifier.done;
    bool sawRun = false;
    tStatus2 ended;
    EXPECT_TRUE(passBesideHeldDisarm(
        windows, bus, 0x190, 0x0200, [&] { bus.pumpSecondary(); },
        [&] {
          sawRun = timing->state().isRunning();
          if (!sawRun) return;
          if (endA)
            timing->requestEndA(&ended);
          else
            timing->requestEndB(&ended);
        }));
    windows.setRead(window, 0x106, 16, 0);
    EXPECT_TRUE(sawRun) << "the look came before the disarm's end";
    EXPECT_EQ(ended.code, 0);
    EXPECT_EQ(groupBEnable() & 0x41, 0u);
    EXPECT_EQ(notifier.done, notified + 1);
    timing->uncommit(status);
    EXPECT_EQ(sourcesWithoutHandler(windows, window, *dispatcher), "");
    EXPECT_EQ(status.code, 0);
  }
}

// An arm switches on only the sources whose handlers a commit attached:
// without a commit, the completion and start-trigger sources stay off, and
// so do the sources of both end requests, whose strobes are still written;
// after one, both go on.
TEST_F(tAOTimingTest, AnArmSwitchesOnOnlyTheSourcesWhoseHandlersACommitAttached) {
  deployed.mode = 0;
  deployed.startTriggerSelect = 3;
  deploy();
  timing->arm(status);
  EXPECT_EQ(sourcesWithoutHandler(windows, window, *dispatcher), "");
  EXPECT_EQ(windows.written(window, 0x196, 16) & 0x0003, 0u);
  for (const uint32_t strobe : {0x4000u, 0x8000u}) {
    clearLogs();
    const uint16_t soft = command2();
    if (strobe == 0x4000)
      timing->requestEndA(&status);
    else
      timing->requestEndB(&status);
    EXPECT_TRUE(hasWrite(0x10A, soft | strobe)) << strobe;
    EXPECT_EQ(windows.written(window, 0x196, 16) & 0x0041, 0u) << strobe;
    EXPECT_EQ(sourcesWithoutHandler(windows, window, *dispatcher), "") << strobe;
  }
  timing->disarm(status);
  commitAndArm();
  EXPECT_EQ(windows.written(window, 0x196, 16) & 0x0003, 0x0003u);
  timing->disarm(status);
  timing->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A deploy between the arm and the start or the stop changes nothing of the
// run: the start strobes or waits for its trigger as the commit programmed
// it (a run committed for a software start, given a start trigger since,
// still starts), the stop warns by the mode the run was committed in, and
// the updates done, the completion's buffer-done strobe and its count go by
// the counts the board was loaded with. The next commit takes the deployed
// fields.
TEST_F(tAOTimingTest, ADeployUnderTheArmChangesNothingOfItsRun) {
  fifo->commit(status);
  fifo->arm(status);
  commitAndArm();
  deployed.startTriggerSelect = 3;
  deployed.mode = 1;
  deployed.pollUpdates = 0;
  deploy();
  EXPECT_FALSE(timing->blockingWaits()) << "committed to poll, with no update handler";
  const uint16_t soft = command2();
  timing->start(status);
  EXPECT_EQ(windows.log(),
            (tLog{kAtomicBegin, wrote(0x10A, soft | 0x0001), kAtomicEnd, kBusFlush}));
  EXPECT_EQ(timing->state().getState(), 4u);
  EXPECT_EQ(groupBEnable() & 0x0003, 0x0001u) << "the completion source, no trigger's";
  deployed.firstBufferUpdateCount = 7;
  deployed.bufferUpdateCount = 0;
  deployed.bufferCount = 9;
  deploy();
  windows.setRead(window, 0x124, 32, 4);
  windows.setRead(window, 0x128, 32, 99);
  tStatus2 counters;
  EXPECT_EQ(timing->getUpdatesDone(counters, 0), 300u) << "400 - 1 - 99, of the loaded counts";
  timing->stop(status);
  EXPECT_EQ(status.code, 200010) << "armed in mode 0";
  EXPECT_EQ(source.finished.size(), 1u);
  EXPECT_EQ(notifier.done, 1);

  // Committed for the start trigger in mode 1, with the deployed counts
  // loaded; then a software start and mode 0 deployed.
  tStatus2 triggered;
  timing->commit(triggered);
  fifo->arm(triggered);
  timing->arm(triggered);
  ASSERT_EQ(groupBEnable() & 0x0003, 0x0002u) << "the start source only";
  deployed.startTriggerSelect = 0;
  deployed.mode = 0;
  deployed.firstBufferUpdateCount = 400;
  deployed.bufferUpdateCount = 400;
  deployed.bufferCount = 5;
  deploy();
  clearLogs();
  timing->start(triggered);
  EXPECT_TRUE(windows.log().empty()) << "no strobe: the trigger starts the run";
  EXPECT_EQ(timing->state().getState(), 3u);
  windows.setRead(window, 0x106, 16, 0x8100);
  EXPECT_EQ(bus.raise(1), 2u);
  EXPECT_EQ(timing->state().getState(), 4u);
  windows.setRead(window, 0x124, 32, 8);
  windows.setRead(window, 0x128, 32, 2);
  EXPECT_EQ(timing->getUpdatesDone(counters, 0), 4u) << "7 - 1 - 2";
  timing->stop(triggered);
  EXPECT_EQ(triggered.code, 0) << "armed in mode 1: no warning";
  EXPECT_EQ(source.finished.size(), 2u);

  // The completion of a run committed with 400 updates a buffer, 5 buffers,
  // after a deploy of none and 2: the buffer-done strobe and 2000 updates.
  tStatus2 completed;
  timing->commit(completed);
  timing->arm(completed);
  timing->start(completed);
  ASSERT_EQ(command2() & 0x0001, 0u);
  deployed.bufferUpdateCount = 0;
  deployed.bufferCount = 2;
  deploy();
  windows.setRead(window, 0x106, 16, 0x8080);
  clearLogs();
  const uint16_t before = command2();
  EXPECT_EQ(bus.raise(1), 1u);
  EXPECT_TRUE(hasWrite(0x10A, before | 0x0020)) << "the buffer-done strobe";
  windows.setRead(window, 0x106, 16, 0);
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  EXPECT_EQ(timing->updatesDone(), 2000u);
  EXPECT_EQ(notifier.done, 3);
  EXPECT_EQ(completed.code, 0);
  EXPECT_EQ(counters.code, 0);
  timing->uncommit(status);
  EXPECT_TRUE(timing->blockingWaits()) << "no commit held: the record the last one left";
  fifo->uncommit(status);
}

// A deploy reaches a run only through the commit: an arm after a disarm
// (codes 4101, 4100 and 2) goes by what the commit programmed the board
// with. A run committed for a software start in mode 1, given a start
// trigger and mode 0 since, starts by its strobe with no start source on,
// reloads the committed counts, counts its updates by them and stops
// without the early-end warning; one committed for the start trigger, given
// a software start since, waits for the trigger's interrupt.
TEST_F(tAOTimingTest, AnArmAfterADeployGoesByWhatTheCommitProgrammed) {
  fifo->commit(status);
  deployed.mode = 1;
  deployed.firstBufferUpdateCount = 40;
  deployed.bufferUpdateCount = 30;
  deployed.bufferCount = 3;
  deploy();
  commitAndArm();
  deployed.startTriggerSelect = 3;
  deployed.mode = 0;
  deployed.firstBufferUpdateCount = 7;
  deployed.bufferUpdateCount = 0;
  deployed.bufferCount = 9;
  deploy();
  timing->disarm(status);
  fifo->arm(status);
  clearLogs();
  timing->arm(status);
  EXPECT_EQ(windows.written(window, 0x160, 32), 39u) << "the committed counts reloaded";
  EXPECT_EQ(windows.written(window, 0x158, 32), 2u);
  EXPECT_EQ(groupBEnable() & 0x0003, 0u) << "no start source, no completion source of mode 0";
  clearLogs();
  const uint16_t soft = command2();
  timing->start(status);
  EXPECT_EQ(windows.log(),
            (tLog{kAtomicBegin, wrote(0x10A, soft | 0x0001), kAtomicEnd, kBusFlush}));
  EXPECT_EQ(timing->state().getState(), 4u);
  windows.setRead(window, 0x124, 32, 1);
  windows.setRead(window, 0x128, 32, 9);
  tStatus2 counters;
  EXPECT_EQ(timing->getUpdatesDone(counters, 0), 60u) << "30 + 40 - 1 - 9, two buffers left";
  timing->stop(status);
  EXPECT_EQ(status.code, 0) << "committed in mode 1: no early-end warning";
  EXPECT_EQ(source.finished.size(), 1u);

  tStatus2 triggered;
  timing->commit(triggered);
  deployed.startTriggerSelect = 0;
  deploy();
  timing->disarm(triggered);
  fifo->arm(triggered);
  timing->arm(triggered);
  EXPECT_EQ(groupBEnable() & 0x0003, 0x0003u) << "the start and completion sources";
  clearLogs();
  timing->start(triggered);
  EXPECT_TRUE(windows.log().empty()) << "no strobe: the committed trigger starts the run";
  windows.setRead(window, 0x106, 16, 0x8100);
  EXPECT_EQ(bus.raise(1), 2u);
  windows.setRead(window, 0x106, 16, 0);
  EXPECT_EQ(timing->state().getState(), 4u);
  timing->stop(triggered);
  EXPECT_EQ(triggered.code, 200010) << "committed in mode 0";
  timing->uncommit(status);
  fifo->uncommit(status);
  EXPECT_EQ(counters.code, 0);
  EXPECT_EQ(status.code, 0);
}

// The interval reload is the run's own change: it writes the initial count
// the commit programmed, whatever a deploy set since, and leaves the
// settings as deployed, so that the next commit programs the deployed
// interval, not the run's.
TEST_F(tAOTimingTest, TheIntervalReloadIsTheRunsOwnAndTheNextCommitProgramsTheDeployedOne) {
  deployed.updateInterval = 5000;
  deployed.initialIntervalCount = 3;
  deployed.withoutFIFO = 1;
  deploy();
  commitAndArm();
  timing->start(status);
  deployed.initialIntervalCount = 7;
  deploy();
  windows.setRead(window, 0x10C, 16, 0);
  clearLogs();
  const uint16_t soft = command2();
  timing->setUpdateInterval(1000, status);
  EXPECT_EQ(windows.writes(),
            (tLog{wrote(0x154, 999, 32), wrote(0x10A, soft | 0x0080), wrote(0x150, 2, 32)}));
  EXPECT_EQ(timing->updateInterval(), 1000u);
  timing->stop(status);
  timing->commit(status);
  EXPECT_EQ(windows.written(window, 0x150, 32), 4999u) << "the deployed interval";
  EXPECT_EQ(timing->updateInterval(), 5000u);
  timing->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A start trigger whose pass runs inside a disarm (held as the disarm opens
// the AO bracket, after it took the arm's record and before it switched the
// start source off) marks no run: the engine is left committed with no run
// behind it, so the next arm, disarmed before any start, ends no run: the
// counters are read unlatched and the FIFO armed beside it stays armed and
// unreported.
TEST_F(tAOTimingTest, AStartTriggerInsideADisarmMarksNoRun) {
  deployed.startTriggerSelect = 3;
  deploy();
  fifo->commit(status);
  commitAndArm();
  ASSERT_EQ(groupBEnable() & 0x0002, 0x0002u);
  windows.setRead(window, 0x106, 16, 0x8100);
  map->Read_0106.refresh(&status);
  tTavikAOTimingControllerPrimitive::tAnswer answer{};
  EXPECT_TRUE(passBesideHeldDisarm(
      windows, bus, 0x190, 0x0200, [&] { timing->disarm(status); },
      [&] { answer = timing->handleInterruptCode(0); }));
  windows.setRead(window, 0x106, 16, 0);
  EXPECT_EQ(static_cast<uint32_t>(answer), 1u) << "the pass ran past its source checks";
  EXPECT_EQ(groupBEnable() & 0x0002, 0u);
  EXPECT_EQ(timing->state().getState(), 2u);
  EXPECT_EQ(notifier.done, 1);

  fifo->arm(status);
  deployed.startTriggerSelect = 0;
  deploy();
  timing->commit(status);
  timing->arm(status);
  clearLogs();
  timing->getUpdatesDone(status, 1);
  for (const tAccess& access : windows.writes())
    EXPECT_FALSE(access.offset == 0x10A && (access.value & 0x1400) != 0) << "latched";
  timing->disarm(status);
  EXPECT_EQ(fifo->state().getState(), 3u) << "no run ended";
  EXPECT_EQ(source.finished.size(), 0u);
  EXPECT_EQ(notifier.done, 2);
  timing->uncommit(status);
  fifo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A second commit of an armed engine disarms it first, with the arm's one
// done report, and when it then fails at its first lock it leaves the
// handlers of the first as they were: the registration kept, the arm's
// sources off; a disarm after it reports no second done.
TEST_F(tAOTimingTest, AFailedSecondCommitKeepsTheHandlersOfTheFirstAndItsArmDisarmed) {
  commitAndArm();
  ASSERT_EQ(groupBEnable() & 0x0001, 0x0001u) << "the completion source";
  nQoSim::failNextAcquire(-50001);
  tStatus2 committed;
  timing->commit(committed);
  EXPECT_EQ(committed.code, -50001);
  EXPECT_EQ(groupBEnable() & 0x0047, 0u);
  EXPECT_EQ(notifier.done, 1);
  EXPECT_EQ(bus.registrations(), 1);
  for (const uint32_t source : {15u, 18u, 8u})
    EXPECT_NE(dispatcher->primaryHandlers[source], nullptr);
  timing->disarm(status);
  EXPECT_EQ(notifier.done, 1);
  timing->uncommit(status);
  EXPECT_EQ(bus.registrations(), 0);
  EXPECT_EQ(status.code, 0);
}

// The completion source's disable fails on the bus (armed from the disarm
// command's last write); the start source is still switched off.
TEST_F(tAOTimingTest, AFailedDisableInDisarmStillSwitchesTheOtherSourcesOff) {
  deployed.startTriggerSelect = 3;
  deploy();
  commitAndArm();
  ASSERT_EQ(groupBEnable() & 0x3, 0x3u) << "completion and start";
  windows.setWriteCallback(window, 0x14E,
                           [&](unsigned, uint32_t) { bus.failNext(tCall::kAtomic, -50001); });
  tStatus2 disarmed;
  timing->disarm(disarmed);
  windows.setWriteCallback(window, 0x14E, {});
  EXPECT_EQ(disarmed.code, -50001);
  EXPECT_EQ(groupBEnable() & 0x3, 0x1u) << "only the failed completion disable left its bit";
  EXPECT_EQ(notifier.done, 1);
  EXPECT_EQ(timing->state().getState(), 2u);
  timing->uncommit(status);
}

// The stop command fails on the bus; the FIFO's run is still ended and the
// controller disarmed, with the stop's error reported.
TEST_F(tAOTimingTest, AFailedStopCommandStillCompletesTheFIFOAndDisarms) {
  fifo->commit(status);
  fifo->arm(status);
  commitAndArm();
  timing->start(status);
  ASSERT_EQ(groupBEnable() & 0x1, 0x1u);
  bus.failNext(tCall::kAtomic, -50001);
  tStatus2 stopped;
  timing->stop(stopped);
  EXPECT_EQ(stopped.code, -50001);
  EXPECT_EQ(source.finished.size(), 1u);
  EXPECT_EQ(groupBEnable() & 0x1, 0u);
  EXPECT_EQ(notifier.done, 1);
  EXPECT_EQ(timing->state().getState(), 2u);
  timing->uncommit(status);
  fifo->uncommit(status);
}

TEST_F(tAOTimingTest, TheIntervalReloadChecksTheLoadRegisterAndTheCountersGiveUpdatesDone) {
  timing->commit(status);
  clearLogs();
  windows.setRead(window, 0x10C, 16, 0);
  const uint16_t soft = command2();
  timing->setUpdateInterval(1000, status);
  EXPECT_EQ(windows.writes(),
            (tLog{wrote(0x154, 999, 32), wrote(0x10A, soft | 0x0080), wrote(0x150, 1, 32)}));
  EXPECT_EQ(windows.log().back(), kBusFlush);
  EXPECT_EQ(status.code, 0);
  clearLogs();
  timing->setUpdateInterval(1000, status);
  EXPECT_EQ(status.code, -201261);
  EXPECT_TRUE(windows.writes().empty());

  tStatus2 counters;
  EXPECT_EQ(timing->getUpdatesDone(counters, 0), 0u) << "cached after commit";
  EXPECT_TRUE(windows.writes().empty());
  timing->arm(counters);
  timing->start(counters);
  windows.setRead(window, 0x124, 32, 4);
  windows.setRead(window, 0x128, 32, 99);
  EXPECT_EQ(timing->getUpdatesDone(counters, 0), 300u);
  windows.setRead(window, 0x124, 32, 3);
  windows.setRead(window, 0x128, 32, 199);
  EXPECT_EQ(timing->getUpdatesDone(counters, 0), 600u);
  EXPECT_EQ(command2() & 0x1400, 0) << "latches cleared";
  EXPECT_EQ(timing->readUpdateCounter(counters), 199u);
  EXPECT_EQ(counters.code, 0);
  timing->uncommit(counters);
}

TEST_F(tAOTimingTest, PollingWaitsJudgeLatenessPastTheCountedWaits) {
  commitAndArm();
  windows.setRead(window, 0x106, 16, 0x0020);
  for (int n = 0; n < 100; ++n) {
    timing->pollForNextUpdate(status);
    ASSERT_EQ(status.code, 0) << n;
  }
  // Wait 101 finds the flag already set: missed.
  timing->pollForNextUpdate(status);
  EXPECT_EQ(status.code, -209802);

  // Late updates allowed, and no counted waits, by a deploy under the run:
  // its waits still judge by its commit's rules, and so do those of the next
  // arm; the next commit's allow them.
  tStatus2 underRun, rearmed, allowed;
  deployed.allowLateUpdates = 1;
  deployed.countedFirstUpdates = 0;
  deploy();
  timing->pollForNextUpdate(underRun);
  EXPECT_EQ(underRun.code, -209802);
  timing->disarm(rearmed);
  timing->arm(rearmed);
  for (int n = 0; n <= 100; ++n) timing->pollForNextUpdate(rearmed);
  EXPECT_EQ(rearmed.code, -209802) << "the 101st wait of the next arm";
  timing->commit(allowed);
  timing->arm(allowed);
  timing->pollForNextUpdate(allowed);
  EXPECT_EQ(allowed.code, 209802);

  // No flag within the time-out: the test clock moves on every status read.
  windows.setRead(window, 0x106, 16, 0);
  tStatus2 timedOut;
  deployed.allowLateUpdates = 0;
  deploy();
  windows.setReadCallback(window, 0x106, [](unsigned) {
    nQoSim::advanceClock(1'000'000'000);
    return 0u;
  });
  timing->pollForNextUpdate(timedOut);
  EXPECT_EQ(timedOut.code, -200474);

  // Untimed: only the flag or a stop request ends it.
  tStatus2 stopped;
  timing->setTimeout(0xFFFFFFFF, stopped);
  int reads = 0;
  windows.setReadCallback(window, 0x106, [&](unsigned) {
    nQoSim::advanceClock(1'000'000'000'000);
    if (++reads == 50) timing->requestStop();
    return 0u;
  });
  timing->pollForNextUpdate(stopped);
  EXPECT_EQ(stopped.code, -224608);
  EXPECT_EQ(reads, 50);
  timing->uncommit(stopped);
}

// An untimed polling wait under way when a stop comes, then at once an arm
// from the stopping thread before the wait reads the flag again: the arm
// waits for the wait, which leaves as the stop ends it (-224608) instead of
// polling on into the new run. A wait of the new run polls until its
// time-out.
TEST_F(tAOTimingTest, AStopReachesAPollingWaitWhateverArmFollowsBeforeItPolls) {
  commitAndArm();
  timing->setTimeout(0xFFFFFFFF, status);
  tHeldCall held;
  std::atomic<unsigned> reads{0};
  windows.setReadCallback(window, 0x106, [&](unsigned) {
    if (++reads == 1) held.hold();  // the wait's first look at the flag
    return 0u;
  });
  tStatus2 polled;
  std::atomic<bool> left{false};
  std::thread waiter([&] {
    timing->pollForNextUpdate(polled);
    left = true;
  });
  ASSERT_TRUE(held.waitUntilInside());
  timing->requestStop();
  timing->arm(status);
  held.letGo();
  const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
  while (!left && std::chrono::steady_clock::now() < guard) std::this_thread::yield();
  const bool leftInTime = left;
  if (!leftInTime) timing->requestStop();  // only once the check has failed
  waiter.join();
  EXPECT_TRUE(leftInTime) << "the wait polled on into the new run";
  EXPECT_TRUE(held.expired()) << "the arm did not wait for the wait";
  EXPECT_EQ(polled.code, -224608);

  tStatus2 timedOut;
  timing->setTimeout(5, timedOut);
  windows.setReadCallback(window, 0x106, [](unsigned) {
    nQoSim::advanceClock(1'000'000'000);
    return 0u;
  });
  timing->pollForNextUpdate(timedOut);
  EXPECT_EQ(timedOut.code, -200474);
  timing->uncommit(status);
}

// A time-out set on another thread (code 401 of another caller) while a
// polling wait times itself leaves that wait's timer alone: the wait times
// out after the time-out it began with. Then two waits of the run before,
// under way on another thread across the disarm (one counted, one past the
// counted waits that finds the flag set on entry, judged by the rules of the
// run they belong to), before the codes' thread sets the time-out, deploys
// the words the waits read, commits and arms: nothing but those fields
// orders the steps after the waits (the test waits on relaxed flags), and
// the arm's fresh count and the commit's rules hold.
TEST_F(tAOTimingTest, ATimeOutSetWhileAPollingWaitTimesItselfLeavesThatWaitAlone) {
  deployed.countedFirstUpdates = 2;
  deployed.allowLateUpdates = 1;
  deploy();
  commitAndArm();
  timing->setTimeout(5, status);
  tStatus2 set;
  unsigned reads = 0;
  {
    tUnorderedCall other([&] { timing->setTimeout(10000, set); });
    // The first look at the flag comes after the wait started its timer; an
    // update comes long after the time-out.
    windows.setReadCallback(window, 0x106, [&](unsigned) {
      if (++reads == 1) {
        EXPECT_TRUE(other.run());
      }
      nQoSim::advanceClock(1'000'000);
      return reads > 50 ? 0x20u : 0u;
    });
    timing->pollForNextUpdate(status);
  }
  EXPECT_EQ(status.code, -200474);
  EXPECT_TRUE(loggedAt(-200474, "tBaseAOTimingControllerPrimitive", 132));
  EXPECT_LE(reads, 5u + 8u);
  EXPECT_EQ(set.code, 0);

  tStatus2 steps, counted, late;
  timing->disarm(steps);
  windows.setReadCallback(window, 0x106, [](unsigned) { return 0x20u; });
  {
    tUnorderedCall waits([&] {
      timing->pollForNextUpdate(counted);
      timing->pollForNextUpdate(late);
    });
    ASSERT_TRUE(waits.run());
    timing->setTimeout(0, set);
    deployed.countedFirstUpdates = 1;
    deployed.allowLateUpdates = 0;
    deploy();
    timing->commit(steps);
    timing->arm(steps);
  }
  EXPECT_EQ(counted.code, 0);
  EXPECT_EQ(late.code, 209802);
  // The flag is still set: a wait past the counted one would find it late.
  tStatus2 fresh;
  timing->pollForNextUpdate(fresh);
  EXPECT_EQ(fresh.code, 0);
  EXPECT_EQ(steps.code, 0);
  EXPECT_EQ(set.code, 0);
  timing->uncommit(steps);
}

TEST_F(tAOTimingTest, BlockingWaitsReadTheCounterAfterTheUpdateInterrupt) {
  deployed.mode = 2;
  deployed.pollUpdates = 0;
  deployed.countedFirstUpdates = 0;
  deployed.firstBufferUpdateCount = 100;  // the counter wraps from 0 to 99
  deploy();
  commitAndArm();
  ASSERT_NE(dispatcher->primaryHandlers[20], nullptr);
  // No update within the time-out; the first wait enables the update source.
  timing->setTimeout(10, status);
  EXPECT_EQ(waitWhile([] { nQoSim::advanceClock(1'000'000); }), -200474);
  EXPECT_EQ(groupBEnable() & 0x4, 0x4);

  // Counts 50 (after 0: late), 49 on time, 47 late, 0 late, 99 (the wrap) on time.
  timing->setTimeout(0xFFFFFFFE, status);
  std::vector<int> codes;
  for (uint32_t count : {50u, 49u, 47u, 0u, 99u}) {
    windows.setRead(window, 0x128, 32, count);
    windows.setRead(window, 0x106, 16, 0x8020);
    codes.push_back(waitWhile([&] { bus.raise(1); }));
  }
  EXPECT_EQ(codes, (std::vector<int>{-209802, 0, -209802, -209802, 0}));

  // A stop request ends a blocked wait at once.
  windows.setRead(window, 0x106, 16, 0);
  bool requested = false;
  EXPECT_EQ(waitWhile([&] {
              if (!requested) timing->requestStop();
              requested = true;
            }),
            -224608);
  timing->uncommit(status);
}

TEST_F(tAOTimingTest, BlockingWaitsJudgeFromTheWaitAfterTheCountedOnes) {
  deployed.mode = 2;
  deployed.pollUpdates = 0;
  deployed.countedFirstUpdates = 2;
  deploy();
  commitAndArm();
  timing->setTimeout(0xFFFFFFFE, status);
  // Counts 50 and 47 are only counted; 40 (after 47) is the first judged and late.
  std::vector<int> codes;
  for (uint32_t count : {50u, 47u, 40u, 39u}) {
    windows.setRead(window, 0x128, 32, count);
    windows.setRead(window, 0x106, 16, 0x8020);
    codes.push_back(waitWhile([&] { bus.raise(1); }));
  }
  EXPECT_EQ(codes, (std::vector<int>{0, 0, -209802, 0}));
  EXPECT_EQ(groupBEnable() & 0x4, 0x4);
  timing->uncommit(status);
}

TEST_F(tAOTimingTest, EndRequestsWithoutAStatusStillEnableTheirEnd) {
  deployed.mode = 1;
  deploy();
  commitAndArm();
  timing->start(status);
  clearLogs();
  const uint16_t soft = command2();
  timing->requestEndB(nullptr);
  EXPECT_EQ(windows.writes(),
            (tLog{wrote(0x106, 256), wrote(0x196, 0x0001), wrote(0x10A, soft | 0x8000)}));
  clearLogs();
  timing->requestEndA(nullptr);
  EXPECT_EQ(windows.writes(),
            (tLog{wrote(0x106, 128), wrote(0x196, 0x0041), wrote(0x10A, soft | 0x4000)}));
  EXPECT_EQ(groupBEnable() & 0x41, 0x41);
  EXPECT_TRUE(nQoSim::statusLog().empty());
  timing->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

}  // namespace
}  // namespace nQoTest

namespace nQoTest {
namespace {

TEST_F(tAOTimingTest, AStopRequestedBeforeAnUntimedUpdateWaitEndsItWithoutAnInterrupt) {
  deployed.mode = 2;
  deployed.pollUpdates = 0;
  deployed.countedFirstUpdates = 0;
  deploy();
  commitAndArm();
  timing->setTimeout(0xFFFFFFFE, status);
  timing->requestStop();
  clearLogs();
  bool blocked = false;
  nQoSim::onSyncWait([&](const iSync*) {
    if (!std::exchange(blocked, true)) timing->requestStop();  // frees a wait that lost the stop
  });
  tStatus2 wait;
  timing->waitForNextUpdate(wait);
  nQoSim::onSyncWait(nullptr);
  EXPECT_FALSE(blocked) << "the wait came to block on the update event";
  EXPECT_EQ(wait.code, -224608);
  for (const auto& access : windows.reads()) EXPECT_NE(access.offset, 0x128u);
  timing->uncommit(status);
}

// The release's end of the waits outlasts the engine's own arm, which lifts
// only a stop: a blocking and a polling wait after it end at once with
// -224608, until allowWaits lets them wait again.
TEST_F(tAOTimingTest, TheEndOfTheWaitsOutlastsTheEnginesArm) {
  deployed.mode = 2;
  deployed.pollUpdates = 0;
  deployed.countedFirstUpdates = 0;
  deploy();
  commitAndArm();
  timing->setTimeout(0xFFFFFFFE, status);
  timing->endWaits();
  timing->disarm(status);
  timing->arm(status);
  ASSERT_EQ(status.code, 0);
  // A wait that lost the end is let go: a blocking one as it comes to block,
  // a polling one as it looks at the flag past the two looks of one that
  // leaves (the look for a missed update and the first of its loop).
  bool blocked = false;
  nQoSim::onSyncWait([&](const iSync*) {
    if (!std::exchange(blocked, true)) timing->requestStop();
  });
  unsigned looks = 0;
  windows.setReadCallback(window, 0x106, [&](unsigned) { return ++looks > 2 ? 0x20u : 0u; });
  tStatus2 wait, poll;
  timing->waitForNextUpdate(wait);
  timing->pollForNextUpdate(poll);
  nQoSim::onSyncWait(nullptr);
  windows.setReadCallback(window, 0x106, nullptr);
  EXPECT_FALSE(blocked) << "the arm lifted the end of the waits: a wait blocked";
  EXPECT_LE(looks, 2u) << "the arm lifted the end of the waits: a wait polled on";
  EXPECT_EQ(wait.code, -224608);
  EXPECT_EQ(poll.code, -224608);

  timing->allowWaits();
  timing->setTimeout(0, status);
  tStatus2 again;
  timing->waitForNextUpdate(again);
  EXPECT_EQ(again.code, -200474) << "the waits still end after allowWaits";
  timing->uncommit(status);
}

// Each step that ends the calls under way ends an update wait under way,
// untimed, blocking or polling, whether a run is live or not, and returns
// only once the wait has left: a blocking one blocks no more, a polling one
// has acknowledged the update flag for the last time. The waits after the
// step wait again, until their time-out.
TEST_F(tAOTimingTest, AStopDisarmOrUncommitEndsTheUpdateWaitsUnderWayAndWaitsForThem) {
  enum tReached { kCommitted, kArmed, kRunning };
  struct tRow {
    const char* step;
    bool polls;
    tReached reached;
    void (tTavikAOTimingControllerPrimitive::*run)(tStatus2&);
  };
  const tRow rows[] = {
      {"stop", true, kRunning, &tTavikAOTimingControllerPrimitive::stop},
      {"stop", false, kRunning, &tTavikAOTimingControllerPrimitive::stop},
      {"disarm", true, kArmed, &tTavikAOTimingControllerPrimitive::disarm},
      {"disarm", false, kArmed, &tTavikAOTimingControllerPrimitive::disarm},
      {"uncommit", true, kCommitted, &tTavikAOTimingControllerPrimitive::uncommit},
      {"uncommit", false, kCommitted, &tTavikAOTimingControllerPrimitive::uncommit}};
  deployed.mode = 2;
  deployed.countedFirstUpdates = 0;
  deployed.withoutFIFO = 1;
  std::atomic<const iSync*> event{nullptr};
  nQoSim::onSyncWait([&](const iSync* object) { event = object; });
  for (const tRow& row : rows) {
    SCOPED_TRACE(std::string(row.step) + (row.polls ? ", polling" : ", blocking"));
    deployed.pollUpdates = row.polls ? 1 : 0;
    deploy();
    timing->commit(status);
    if (row.reached != kCommitted) timing->arm(status);
    if (row.reached == kRunning) timing->start(status);
    timing->setTimeout(0xFFFFFFFF, status);
    std::atomic<unsigned> looks{0}, acks{0};
    windows.setReadCallback(window, 0x106, [&](unsigned) {
      ++looks;
      return 0u;
    });
    windows.setWriteCallback(window, 0x106, [&](unsigned, uint32_t value) {
      if (value == 1024) ++acks;
    });
    event = nullptr;
    tStatus2 waited;
    std::thread waiter([&] {
      if (row.polls)
        timing->pollForNextUpdate(waited);
      else
        timing->waitForNextUpdate(waited);
    });
    ASSERT_TRUE(boundedUntil([&] {
      return row.polls ? looks > 0 : event != nullptr && nQoSim::syncBlocked(event) == 1;
    }));
    tStatus2 stepped;
    (timing->*row.run)(stepped);
    const bool left = row.polls ? acks == 2 : nQoSim::syncBlocked(event) == 0;
    if (!left) timing->requestStop();  // frees a wait that the step left under way
    waiter.join();
    EXPECT_TRUE(left) << "the step returned with the wait under way";
    EXPECT_EQ(waited.code, -224608);
    EXPECT_EQ(stepped.code, 0);
    // Each look at the update flag, and each blocking wait, finds the test
    // clock past the time-out.
    windows.setReadCallback(window, 0x106, [](unsigned) {
      nQoSim::advanceClock(2'000'000);
      return 0u;
    });
    timing->setTimeout(0, status);
    tStatus2 after;
    if (row.polls)
      timing->pollForNextUpdate(after);
    else
      timing->waitForNextUpdate(after);
    EXPECT_EQ(after.code, -200474) << "a wait after the step";
    timing->uncommit(status);
    windows.setReadCallback(window, 0x106, nullptr);
    windows.setWriteCallback(window, 0x106, nullptr);
  }
  nQoSim::onSyncWait(nullptr);
  EXPECT_EQ(status.code, 0);
}

// An update pass of a run that a disarm ended, as the disarm switches its
// source off, sets no update event: an update wakes only waits of its own
// run. One of the live run sets it once.
TEST_F(tAOTimingTest, AnUpdatePassOfARunThatEndedSetsNoUpdateEvent) {
  deployed.mode = 2;
  deployed.pollUpdates = 0;
  deploy();
  commitAndArm();
  timing->enableUpdateInterrupt(status);
  ASSERT_EQ(groupBEnable() & 0x0004, 0x0004u);
  windows.setRead(window, 0x106, 16, 0x8020);
  const auto setsDuringAPass = [&] {
    nQoSim::clearSyncLog();
    bus.raise(1);
    const std::vector<nQoSim::tSyncRecord> records = nQoSim::syncLog();
    return std::count_if(records.begin(), records.end(), [](const nQoSim::tSyncRecord& record) {
      return record.operation == nQoSim::tSyncRecord::kSet;
    });
  };
  EXPECT_EQ(setsDuringAPass(), 1) << "an update of the live run";
  // The disarm's first atomic run ends the run; the source is still on.
  long late = -1;
  bus.onAtomicRun([&] {
    if (late < 0 && (groupBEnable() & 0x0004) != 0) late = setsDuringAPass();
  });
  timing->disarm(status);
  bus.onAtomicRun(nullptr);
  windows.setRead(window, 0x106, 16, 0);
  EXPECT_EQ(late, 0) << "an update pass after its run ended set the update event";
  timing->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A wait that finds the waits ended after its reset of the update event
// sets it again: the reset may have taken the set that was to wake a wait
// already blocked on it, which the release then waits for.
TEST_F(tAOTimingTest, AWaitThatLeavesOnTheEndOfTheWaitsSetsTheEventAgain) {
  deployed.mode = 2;
  deployed.pollUpdates = 0;
  deployed.countedFirstUpdates = 0;
  deploy();
  commitAndArm();
  timing->endWaits();
  nQoSim::clearSyncLog();
  tStatus2 wait;
  timing->waitForNextUpdate(wait);
  EXPECT_EQ(wait.code, -224608);
  std::vector<nQoSim::tSyncRecord::tOperation> operations;
  for (const nQoSim::tSyncRecord& record : nQoSim::syncLog())
    operations.push_back(record.operation);
  EXPECT_EQ(operations, (std::vector{nQoSim::tSyncRecord::kReset, nQoSim::tSyncRecord::kSet}));
  timing->uncommit(status);
}

// A stop from another thread that is about to set the update event holds
// the destructor until it has left: the event is closed after the stop's
// set, never under it.
TEST_F(tAOTimingTest, TheDestructorClosesTheUpdateEventOnlyAfterAStopUnderWay) {
  deployed.pollUpdates = 0;
  deploy();
  const std::thread::id tester = std::this_thread::get_id();
  const iSync* event = nullptr;
  tHeldPass held;
  nQoSim::onSyncSet([&](const iSync* object, bool set) {
    if (!set && std::this_thread::get_id() != tester) {
      event = object;
      held.hold();
    }
  });
  tTavikAOTimingControllerPrimitive* const stopped = timing;
  held.run([stopped] { stopped->requestStop(); });
  held.tearDown([&] {
    delete timing;
    timing = nullptr;
  });
  nQoSim::onSyncSet(nullptr);
  EXPECT_TRUE(held.teardownWaited());
  ASSERT_NE(event, nullptr);
  nQoSim::tSyncRecord::tOperation last = nQoSim::tSyncRecord::kOpen;
  for (const nQoSim::tSyncRecord& record : nQoSim::syncLog())
    if (record.object == event) last = record.operation;
  EXPECT_EQ(last, nQoSim::tSyncRecord::kClose);
  fifo->setTimingController(nullptr);
}

TEST_F(tAOTimingTest, EndRequestsHoldAndTheUpdateOutputWriteTheirRegisters) {
  deployed.mode = 1;  // arm leaves the completion source off
  deploy();
  commitAndArm();
  timing->start(status);
  clearLogs();
  const uint16_t soft = command2();
  timing->requestEndB(&status);
  EXPECT_EQ(windows.writes(),
            (tLog{wrote(0x106, 256), wrote(0x196, 0x0001), wrote(0x10A, soft | 0x8000)}));
  EXPECT_EQ(groupBEnable() & 0x1, 0x1);
  clearLogs();
  timing->setMode3Hold(1, status);
  EXPECT_EQ(windows.writes().back().offset, 0x18Cu);
  EXPECT_EQ(windows.writes().back().value & 0x2, 0x2u);
  clearLogs();
  timing->driveUpdateOutput(status);
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{14, -14, 4, -4}));
  EXPECT_EQ(windows.written(window, 0x172, 16) & 0x20, 0x20u);
  EXPECT_EQ(windows.written(window, 0x1AC, 16) & 0x3, 0x3u);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(timing->___CPPKRLDynamicCast(&nQoUdP100::iOutputTimingControllerPrimitive::___classID),
            static_cast<nQoUdP100::iOutputTimingControllerPrimitive*>(timing));
  EXPECT_EQ(timing->___CPPKRLDynamicCast(&nQoUdP100::tBaseAO_FIFOPrimitive::___classID), nullptr);
  timing->uncommit(status);
}

}  // namespace
}  // namespace nQoTest
