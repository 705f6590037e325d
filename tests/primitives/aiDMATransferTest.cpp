// The AI DMA transfer on the real map with converter, timing controller and
// FIFO: the DMA select write under lock group 19, one end per arm whatever
// ends it, the drain wait after the last conversion and the worker that a
// failed run stopped, and the worker joined before the transfer goes.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "kal/nQoKAL.h"
#include "primitives/ai/tAI_DMATransferPrimitive.h"
#include "primitives/aiTransferFixture.h"
#include "sim/simSync.h"
#include "sim/simThread.h"
#include "support/heldCall.h"
#include "support/heldPass.h"
#include "support/statusRecords.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tAI_DMATransferPrimitive;
using tLog = std::vector<tAccess>;

// Takes the ends from whichever thread reports them; a test waits for the
// worker's report before it touches the board again.
class tSink : public nQoLMSDR100::iDMAEndpoint {
 public:
  void transferEnded(const tStatus2& reason, tStatus2&) override {
    const std::lock_guard<std::mutex> hold(_mutex);
    _reasons.push_back(reason.code);
    _changed.notify_all();
  }
  std::vector<int> reasons() {
    const std::lock_guard<std::mutex> hold(_mutex);
    return _reasons;
  }
  bool waitFor(size_t count) {
    std::unique_lock<std::mutex> hold(_mutex);
    return _changed.wait_for(hold, std::chrono::seconds(5),
                             [&] { return _reasons.size() >= count; });
  }

 private:
  std::mutex _mutex;
  std::condition_variable _changed;
  std::vector<int> _reasons;
};

class tAIDMATransferTest : public tAIRoadTest {
 protected:
  void SetUp() override {
    tAIRoadTest::SetUp();
    transfer = new tAI_DMATransferPrimitive(converter, timing, fifo, deviceInfo, map, status);
    ASSERT_EQ(status.code, 0);
    ASSERT_TRUE(transfer->isReady());
    transfer->setDoneSink(&sink);
    transfer->setDMAChannelNumber(4);
    transfer->link(status);
    ASSERT_EQ(status.code, 0);
    clearLogs();
  }
  void TearDown() override {
    if (transfer != nullptr) {
      tStatus2 local;
      transfer->unlink(local);
      EXPECT_EQ(local.code, 0);
      delete transfer;
    }
    tAIRoadTest::TearDown();
  }
  bool wroteTo(uint32_t offset) const {
    for (const tAccess& access : windows.writes())
      if (access.offset == offset) return true;
    return false;
  }

  tSink sink;
  tAI_DMATransferPrimitive* transfer = nullptr;
};

TEST_F(tAIDMATransferTest, ArmSelectsTheChannelUnderGroup19EvenUnchangedAndDisarmClearsIt) {
  map->Write_0009.setRegister(0xA3, &status);
  transfer->arm(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(windows.log(), (tLog{wrote(0x09, 0xA3, 8), kBusFlush}));
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{19, -19}));
  EXPECT_FALSE(transfer->isDone());

  clearLogs();
  transfer->disarm(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x09, 0xA0, 8)}));
  // The disarm's signal lets the idle worker end the run cleanly, once.
  EXPECT_EQ(sink.reasons(), (std::vector<int>{0}));

  transfer->setDMAChannelNumber(15);
  clearLogs();
  transfer->arm(status);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x09, 0xA0, 8)})) << "channel 15 selects code 0";
  transfer->disarm(status);
  EXPECT_EQ(status.code, 0);
}

// An uncommit of an armed transfer (code 4 after 4100) disarms it first:
// the channel is deselected and the run ends with its one report; a second
// uncommit does nothing.
TEST_F(tAIDMATransferTest, AnUncommitOfAnArmedTransferDisarmsItFirst) {
  transfer->arm(status);
  clearLogs();
  transfer->uncommit(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x09, 0x00, 8)}));
  EXPECT_FALSE(transfer->isArmed());
  EXPECT_EQ(sink.reasons(), (std::vector<int>{0}));
  clearLogs();
  transfer->uncommit(status);
  EXPECT_TRUE(windows.writes().empty());
  EXPECT_EQ(sink.reasons(), (std::vector<int>{0}));
}

// The DMA select's lock cannot be taken at disarm; the worker is still
// signalled and ends the run, and the lock's failure is reported.
TEST_F(tAIDMATransferTest, AFailedSelectClearStillSignalsTheWorker) {
  transfer->arm(status);
  ASSERT_EQ(status.code, 0);
  clearLogs();
  nQoSim::failNextAcquire(-50001);
  tStatus2 disarmed;
  transfer->disarm(disarmed);
  EXPECT_EQ(disarmed.code, -50001);
  EXPECT_TRUE(windows.writes().empty()) << "the select stays as it was";
  EXPECT_EQ(sink.reasons(), (std::vector<int>{0}));
}

// The worker's stop cannot take the worker's lock at unlink; the worker is
// still destroyed and joined.
TEST_F(tAIDMATransferTest, AFailedWorkerStopStillDestroysTheWorkerThread) {
  ASSERT_EQ(nQoSim::liveThreads(), 1);
  nQoSim::failNextAcquire(-50001);
  tStatus2 unlinked;
  transfer->unlink(unlinked);
  EXPECT_EQ(unlinked.code, -50001);
  EXPECT_EQ(nQoSim::liveThreads(), 0);
  delete transfer;
  transfer = nullptr;
}

// A run still armed when unlink ended the worker: its disarm deselects the
// channel and reports the run's one clean end itself, at once, instead of
// waiting out its time-out for a worker that is gone.
TEST_F(tAIDMATransferTest, ADisarmAfterUnlinkEndsTheRunWithoutWaitingForTheWorker) {
  transfer->arm(status);
  ASSERT_EQ(status.code, 0);
  ASSERT_TRUE(transfer->isArmed());
  transfer->unlink(status);
  ASSERT_EQ(status.code, 0);
  ASSERT_TRUE(sink.reasons().empty());
  clearLogs();

  std::atomic<bool> returned{false};
  tStatus2 disarmed;
  std::thread disarming([&] {
    transfer->disarm(disarmed);
    returned = true;
  });
  const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!returned && std::chrono::steady_clock::now() < guard) std::this_thread::yield();
  EXPECT_TRUE(returned) << "the disarm waited for the worker that unlink ended";
  // Frees a disarm that waits, on the test clock, past its time-out.
  while (!returned) nQoSim::advanceClock(1'000'000'000);
  disarming.join();
  EXPECT_EQ(disarmed.code, 0);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x09, 0x00, 8)}));
  EXPECT_EQ(sink.reasons(), (std::vector<int>{0})) << "the run ended without its one report";
  EXPECT_FALSE(transfer->isArmed());
  transfer->link(status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tAIDMATransferTest, UnlinkedOrOutOfRangeChannelIsRefusedWithoutAWrite) {
  for (uint32_t channel : {tAI_DMATransferPrimitive::kNoChannel, 16u}) {
    SCOPED_TRACE(channel);
    tStatus2 local;
    transfer->setDMAChannelNumber(channel);
    transfer->arm(local);
    EXPECT_EQ(local.code, -50150);
    EXPECT_TRUE(windows.writes().empty());
    EXPECT_TRUE(transfer->isDone());
  }
}

TEST_F(tAIDMATransferTest, OverrunThenOverflowReachesTheSinkOnceAndStopsTheTimingController) {
  transfer->arm(status);
  clearLogs();
  tStatus2 pass;
  EXPECT_EQ(transfer->handleOverrun(converter, pass), 1u);
  transfer->handleOverrunSecondary(converter, pass);
  EXPECT_TRUE(wroteTo(0x110)) << "hammer stop";
  EXPECT_TRUE(loggedAt(-200019, "source/qomiop/ai/tBaseAI_DMATransferPrimitive", 194));
  EXPECT_EQ(transfer->overflowed(fifo, pass), 1u);
  transfer->overflowedSecondary(fifo, pass);
  EXPECT_EQ(sink.reasons(), (std::vector<int>{-200019}));
  EXPECT_EQ(pass.code, 0) << "the error travels to the sink, not the pass";
  EXPECT_EQ(transfer->counts().overrunSecondary, 1u);
  EXPECT_EQ(transfer->counts().overflowSecondary, 1u);
  transfer->disarm(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(sink.reasons().size(), 1u);
}

TEST_F(tAIDMATransferTest, AfterAnOverrunRunTheNextArmEndsCleanlyAfterTheLastConversion) {
  transfer->arm(status);
  tStatus2 pass;
  transfer->handleOverrun(converter, pass);
  transfer->handleOverrunSecondary(converter, pass);
  transfer->disarm(status);
  ASSERT_EQ(status.code, 0);

  transfer->arm(status);
  ASSERT_EQ(status.code, 0);
  EXPECT_EQ(transfer->lastConverted(timing, pass), 1u);
  transfer->lastConvertedSecondary(timing, pass);
  ASSERT_TRUE(sink.waitFor(2));
  transfer->disarm(status);
  EXPECT_EQ(status.code, 0) << "no -224606: the worker runs again";
  EXPECT_EQ(sink.reasons(), (std::vector<int>{-200019, 0}));
}

TEST_F(tAIDMATransferTest, DrainWaitsForBit15AndTimesOutAfter10msYetWakesTheWorker) {
  transfer->arm(status);
  // Bit 15 stuck; each read moves the clock by 1 ms.
  unsigned reads = 0;
  windows.setReadCallback(window, 0x136, [&reads](unsigned) {
    ++reads;
    nQoSim::advanceClock(1'000'000);
    return 0x8000u;
  });
  nQoSim::clearStatusLog();
  tStatus2 pass;
  transfer->lastConverted(timing, pass);
  transfer->lastConvertedSecondary(timing, pass);
  EXPECT_EQ(pass.code, 0);
  EXPECT_TRUE(loggedAt(-50400, "source/qomiop/tavik/udseries/ai/tAI_DMATransferPrimitive", 242));
  EXPECT_GE(reads, 10u);
  EXPECT_LE(reads, 13u);
  // The FIFO is empty: the woken worker ends the run.
  ASSERT_TRUE(sink.waitFor(1));
  transfer->disarm(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(sink.reasons(), (std::vector<int>{0}));
}

// A cancel wakes the worker, which drains what the FIFO still holds before the
// one clean end; a cancel on a failed status wakes nothing.
TEST_F(tAIDMATransferTest, ACancelDrainsTheFIFOBeforeItsOneCleanEnd) {
  nQoSim::resetTime();  // the worker sleeps 10 ms of host time between polls
  model.push({1, 2, 3});
  std::atomic<unsigned> polls{0};
  windows.setReadCallback(window, 0x104, [&](unsigned) {
    ++polls;
    return model.size() == 0 ? nQoSim::tSimAIFifo::kEmptyBit : 0u;
  });
  transfer->arm(status);
  ASSERT_EQ(status.code, 0);

  nQoSim::clearSyncLog();
  tStatus2 failed(-1);
  transfer->wakeThread(failed);
  for (const nQoSim::tSyncRecord& record : nQoSim::syncLog())
    EXPECT_NE(record.operation, nQoSim::tSyncRecord::kSet) << "woken on a failed status";

  transfer->wakeThread(status);
  ASSERT_EQ(status.code, 0);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (polls < 3 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_GE(polls, 3u) << "the worker keeps polling while samples are left";
  EXPECT_TRUE(sink.reasons().empty()) << "no end while the FIFO holds samples";

  uint32_t samples[3];
  EXPECT_EQ(fifo->readSamples(samples, 3, status), 3u);
  ASSERT_TRUE(sink.waitFor(1));
  EXPECT_EQ(sink.reasons(), (std::vector<int>{0}));
  transfer->disarm(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(sink.reasons(), (std::vector<int>{0})) << "disarm reports no second end";
  windows.setReadCallback(window, 0x104, {});
}

// A cancel that comes once the run has ended is not kept for the next run:
// each armed run ends at its disarm, not at its arm.
TEST_F(tAIDMATransferTest, ACancelAfterTheEndLeavesTheNextRunToItsDisarm) {
  unsigned endedEarly = 0;
  for (int attempt = 0; attempt < 300; ++attempt) {
    transfer->arm(status);
    transfer->disarm(status);
    transfer->wakeThread(status);
    transfer->arm(status);
    ASSERT_EQ(status.code, 0);
    // Time for a kept wake to end the run before its disarm.
    std::this_thread::sleep_for(std::chrono::microseconds(50));
    if (transfer->isDone()) ++endedEarly;
    transfer->disarm(status);
    ASSERT_EQ(status.code, 0);
  }
  EXPECT_EQ(endedEarly, 0u);
  EXPECT_EQ(sink.reasons(), std::vector<int>(600, 0));
}

// A cancel whose wake comes as soon as arm has reset the worker and let the
// transfer lock go (held there until the worker has run) belongs to the new
// run: the run ends with one report, not silently.
TEST_F(tAIDMATransferTest, ACancelJustAfterTheWorkerResetEndsTheNewRunWithOneReport) {
  transfer->arm(status);
  transfer->disarm(status);
  ASSERT_EQ(status.code, 0);
  ASSERT_EQ(sink.reasons(), (std::vector<int>{0}));
  // The worker's lock is the one taken around the reset of its done event.
  const iSync* workerLock = nullptr;
  const iSync* doneEvent = nullptr;
  const std::vector<nQoSim::tSyncRecord> log = nQoSim::syncLog();
  for (size_t i = 1; i < log.size() && doneEvent == nullptr; ++i)
    if (log[i].operation == nQoSim::tSyncRecord::kReset && log[i].kind == 3 &&
        log[i].option == 76 && log[i - 1].operation == nQoSim::tSyncRecord::kAcquire) {
      doneEvent = log[i].object;
      workerLock = log[i - 1].object;
    }
  ASSERT_NE(workerLock, nullptr);

  const uint64_t armThread = nQoKAL100_getThreadHandle();
  bool reset = false;
  bool woken = false;
  struct tUnhook {
    ~tUnhook() { nQoSim::onSyncSet(nullptr); }
  } unhook;
  // The first lock arm gives back after the worker's is the transfer lock,
  // which it holds around the reset.
  nQoSim::onSyncSet([&](const iSync* object, bool set) {
    if (nQoKAL100_getThreadHandle() != armThread || !set || woken) return;
    if (object == workerLock) {
      reset = true;
      return;
    }
    if (!reset) return;
    woken = true;
    const unsigned sets = nQoSim::syncSets(doneEvent);
    tStatus2 cancel;
    transfer->wakeThread(cancel);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (nQoSim::syncSets(doneEvent) == sets && std::chrono::steady_clock::now() < deadline)
      std::this_thread::yield();
  });
  transfer->arm(status);
  nQoSim::onSyncSet(nullptr);
  ASSERT_TRUE(woken);
  EXPECT_TRUE(sink.waitFor(2));
  EXPECT_TRUE(transfer->isDone());
  transfer->disarm(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(sink.reasons(), (std::vector<int>{0, 0}));
}

// A wake that comes before any arm (a last conversion of a run the transfer
// did not take part in) finds no run to end: it gives the worker nothing, so
// no drain ends the run an arm opens, nor when the FIFO empties in that run.
// The run ends at its own last conversion, once.
TEST_F(tAIDMATransferTest, AWakeBeforeAnyArmEndsNoRunOfALaterArm) {
  nQoSim::resetTime();  // the worker sleeps 10 ms of host time between polls
  model.push({1, 2, 3});
  windows.setReadCallback(window, 0x104, [&](unsigned) {
    return model.size() == 0 ? nQoSim::tSimAIFifo::kEmptyBit : 0u;
  });
  nQoSim::clearSyncLog();
  transfer->wakeThread(status);
  // The worker's go event (an event of kind 2, option 108) stays unset.
  for (const nQoSim::tSyncRecord& record : nQoSim::syncLog())
    EXPECT_FALSE(record.operation == nQoSim::tSyncRecord::kSet && record.kind == 2 &&
                 record.option == 108)
        << "a wake with no run live woke the worker";
  transfer->arm(status);
  ASSERT_EQ(status.code, 0);
  uint32_t samples[3];
  EXPECT_EQ(fifo->readSamples(samples, 3, status), 3u);
  EXPECT_TRUE(sink.reasons().empty()) << "the run ended before its last conversion";
  EXPECT_FALSE(transfer->isDone());

  tStatus2 pass;
  transfer->lastConverted(timing, pass);
  transfer->lastConvertedSecondary(timing, pass);
  ASSERT_TRUE(sink.waitFor(1));
  transfer->disarm(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(sink.reasons(), (std::vector<int>{0}));
  windows.setReadCallback(window, 0x104, {});
}

// Whether the thread set the worker's go event (a wake) since the log was
// cleared.
bool wokeTheWorker(uint64_t thread) {
  for (const nQoSim::tSyncRecord& record : nQoSim::syncLog())
    if (record.operation == nQoSim::tSyncRecord::kSet && record.kind == 2 && record.option == 108 &&
        record.thread == thread)
      return true;
  return false;
}

// A last-conversion pass of one run, held in its wait by the board's
// converting bit, outlives the run: the run is disarmed, with its one end,
// and the next run armed. Let go, the pass ends nothing of the new run
// (which has converted nothing) and leaves the worker to the new run's own
// last conversion, whose end comes once.
TEST_F(tAIDMATransferTest, ALastConversionPassOutlivingItsRunEndsNothingOfTheNext) {
  std::atomic<bool> converting{true};
  std::atomic<unsigned> looks{0};
  windows.setReadCallback(window, 0x136, [&](unsigned) {
    ++looks;
    return converting ? 0x8000u : 0u;
  });
  transfer->arm(status);
  ASSERT_EQ(status.code, 0);
  nQoSim::clearSyncLog();
  tStatus2 pass;
  transfer->lastConverted(timing, pass);
  std::atomic<uint64_t> passThread{0};
  std::thread secondPass([&] {
    passThread = nQoKAL100_getThreadHandle();
    transfer->lastConvertedSecondary(timing, pass);
  });
  EXPECT_TRUE(boundedUntil([&] { return looks != 0; })) << "the pass never waited";
  transfer->disarm(status);
  transfer->arm(status);
  converting = false;
  secondPass.join();
  windows.setReadCallback(window, 0x136, {});
  ASSERT_EQ(status.code, 0);
  // A wake the pass gave runs its drain to the end before the sink is read.
  if (wokeTheWorker(passThread)) sink.waitFor(2);
  EXPECT_EQ(sink.reasons(), (std::vector<int>{0})) << "the new run ended before it converted";
  EXPECT_FALSE(transfer->isDone());

  tStatus2 own;
  transfer->lastConverted(timing, own);
  transfer->lastConvertedSecondary(timing, own);
  EXPECT_TRUE(sink.waitFor(2)) << "the new run's end never came";
  transfer->disarm(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(sink.reasons(), (std::vector<int>{0, 0}));
}

// The record end's and the sample end's last-conversion passes wait at once
// for a conversion that does not finish: the second, begun 9 ms after the
// first, does not move the first one's time-out, which gives up after its
// own 10 ms with -50400 while the second waits on.
TEST_F(tAIDMATransferTest, TwoLastConversionPassesAtOnceEachWaitTheirOwnTimeOut) {
  transfer->arm(status);
  ASSERT_EQ(status.code, 0);
  const tTwoLastConversionPasses passes = runTwoLastConversionPasses(10, [&](tStatus2& pass) {
    transfer->lastConverted(timing, pass);
    transfer->lastConvertedSecondary(timing, pass);
  });
  EXPECT_FALSE(passes.firstReturnedEarly) << "the second pass cut the first one's wait short";
  EXPECT_TRUE(passes.firstReturned) << "the first pass waited past its own time-out";
  EXPECT_EQ(passes.timeOutsAtFirst, std::vector<unsigned>{242});
  EXPECT_EQ(passes.timeOuts, std::vector<unsigned>{242}) << "the second pass timed out too";
  EXPECT_EQ(passes.codes, (std::vector<int>{0, 0}));
  // The run ends once, drained after the first wake.
  ASSERT_TRUE(sink.waitFor(1));
  transfer->disarm(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(sink.reasons(), (std::vector<int>{0}));
}

// An overrun's first pass comes in one run, its second pass only after that
// run's disarm and the next arm: it fails the run it was raised in, which is
// over, and so reports no end into the new run and stops neither the timing
// controller nor the worker, which ends the new run at its last conversion.
TEST_F(tAIDMATransferTest, AnOverrunPassOfTheRunBeforeEndsNothingOfTheNext) {
  transfer->arm(status);
  tStatus2 pass;
  EXPECT_EQ(transfer->handleOverrun(converter, pass), 1u);
  transfer->disarm(status);
  transfer->arm(status);
  ASSERT_EQ(status.code, 0);
  ASSERT_EQ(sink.reasons(), (std::vector<int>{0}));
  clearLogs();
  transfer->handleOverrunSecondary(converter, pass);
  EXPECT_FALSE(wroteTo(0x110)) << "the new run's timing controller was stopped";
  EXPECT_EQ(sink.reasons(), (std::vector<int>{0})) << "the new run ended with the old overrun";
  EXPECT_FALSE(transfer->isDone());

  transfer->lastConverted(timing, pass);
  transfer->lastConvertedSecondary(timing, pass);
  EXPECT_TRUE(sink.waitFor(2)) << "the new run's end never came";
  transfer->disarm(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(sink.reasons(), (std::vector<int>{0, 0}));
}

// A last conversion's first pass comes in one run, its second pass only
// after that run's disarm and the next arm: it wakes nothing for the new run,
// which has converted nothing, and leaves its end to its own last conversion.
TEST_F(tAIDMATransferTest,
       ALastConversionOfTheRunBeforeWhoseSecondPassComesAfterTheArmEndsNothing) {
  transfer->arm(status);
  tStatus2 pass;
  EXPECT_EQ(transfer->lastConverted(timing, pass), 1u);
  transfer->disarm(status);
  transfer->arm(status);
  ASSERT_EQ(status.code, 0);
  ASSERT_EQ(sink.reasons(), (std::vector<int>{0}));
  nQoSim::clearSyncLog();
  transfer->lastConvertedSecondary(timing, pass);
  EXPECT_FALSE(wokeTheWorker(nQoKAL100_getThreadHandle())) << "the old pass woke the new run";
  EXPECT_FALSE(transfer->isDone());

  transfer->lastConverted(timing, pass);
  transfer->lastConvertedSecondary(timing, pass);
  EXPECT_TRUE(sink.waitFor(2)) << "the new run's end never came";
  transfer->disarm(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(sink.reasons(), (std::vector<int>{0, 0}));
}

// A linked transfer that is destroyed takes its records out of the lists of
// the converter, the FIFO and the timing controller: the converter's overrun
// handler then notifies the live transfer alone.
TEST_F(tAIDMATransferTest, DestroyingALinkedTransferLeavesNoRecordBehind) {
  auto* other = new tAI_DMATransferPrimitive(converter, timing, fifo, deviceInfo, map, status);
  other->link(status);
  fifo->commit(status);
  ASSERT_EQ(status.code, 0);
  delete other;
  ASSERT_EQ(fifo->state().getState(), 1u) << "a removed record asks for a new commit";
  ASSERT_TRUE(converter->commit(status));
  EXPECT_EQ(dispatcher->primaryHandlers[2].load()->handleInterrupt(), 2u);
  EXPECT_EQ(transfer->counts().overrun, 1u);
  converter->uncommit(status);
  fifo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A second link adds no record and leaves the first link whole, its worker
// too; one unlink then takes every record out.
TEST_F(tAIDMATransferTest, ASecondLinkAddsNothingAndOneUnlinkTakesEveryRecordOut) {
  auto* other = new tAI_DMATransferPrimitive(converter, timing, fifo, deviceInfo, map, status);
  other->link(status);
  tStatus2 second;
  other->link(second);
  EXPECT_EQ(second.code, 0);
  ASSERT_TRUE(converter->commit(status));
  EXPECT_EQ(dispatcher->primaryHandlers[2].load()->handleInterrupt(), 2u);
  EXPECT_EQ(other->counts().overrun, 1u) << "still linked, once";
  EXPECT_EQ(other->isReady(), true);
  converter->uncommit(status);
  other->unlink(status);
  EXPECT_EQ(timing->findLastConvertObserver(other), nullptr);
  delete other;
  ASSERT_TRUE(converter->commit(status));
  EXPECT_EQ(dispatcher->primaryHandlers[2].load()->handleInterrupt(), 2u);
  EXPECT_EQ(transfer->counts().overrun, 2u);
  converter->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// The destruction of an armed transfer (a board's teardown under an armed
// task) deselects its channel, keeping the select's other bits, and reports
// nothing to a sink that may be gone; after a disarm it writes nothing.
TEST_F(tAIDMATransferTest, DestroyingAnArmedTransferDeselectsItsChannel) {
  for (const bool disarmed : {false, true}) {
    SCOPED_TRACE(disarmed ? "4100, 4101" : "4100");
    tSink own;
    auto* other = new tAI_DMATransferPrimitive(converter, timing, fifo, deviceInfo, map, status);
    other->setDoneSink(&own);
    other->setDMAChannelNumber(4);
    other->link(status);
    map->Write_0009.setRegister(0xA0, &status);
    other->arm(status);
    if (disarmed) other->disarm(status);
    ASSERT_EQ(status.code, 0);
    const std::vector<int> reported = own.reasons();
    clearLogs();
    delete other;
    std::vector<tAccess> selects;
    for (const tAccess& access : windows.writes())
      if (access.offset == 0x09) selects.push_back(access);
    EXPECT_EQ(selects, disarmed ? tLog{} : tLog{wrote(0x09, 0xA0, 8)});
    EXPECT_EQ(own.reasons(), reported);
  }
}

TEST_F(tAIDMATransferTest, DestroyedWhileItsWorkerDrainsItJoinsTheWorkerFirst) {
  transfer->arm(status);
  // The FIFO never runs empty; the worker polls its status word.
  std::atomic<unsigned> polls{0};
  windows.setReadCallback(window, nQoSim::tSimAIFifo::kStatusOffset, [&polls](unsigned) {
    ++polls;
    return 0u;
  });
  tStatus2 pass;
  transfer->lastConverted(timing, pass);
  transfer->lastConvertedSecondary(timing, pass);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (polls == 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_GT(polls, 0u);
  // Unregistered from the board's parts, the worker still draining.
  timing->removeLastConvertObserver(transfer, status);
  converter->removeObserver(transfer, status);
  fifo->removeOverflowObserver(transfer, status);
  ASSERT_EQ(status.code, 0);
  delete transfer;  // the stopped worker ends its drain under the transfer lock
  transfer = nullptr;
  EXPECT_TRUE(sink.reasons().empty()) << "a drain cut short by the destruction is no clean end";
}

// The FIFO runs empty while the destruction is held at its first write (the
// deselect of the armed channel): the worker that ends its drain then, before
// the destructor has stopped it, reports nothing either.
TEST_F(tAIDMATransferTest, AWorkerEndingItsDrainAsTheDestructionBeginsReportsNothing) {
  transfer->arm(status);
  std::atomic<bool> empty{false};
  std::atomic<uint64_t> worker{0};
  windows.setReadCallback(window, nQoSim::tSimAIFifo::kStatusOffset, [&](unsigned) {
    worker = nQoKAL100_getThreadHandle();
    return empty ? nQoSim::tSimAIFifo::kEmptyBit : 0u;
  });
  tStatus2 pass;
  transfer->lastConverted(timing, pass);
  transfer->lastConvertedSecondary(timing, pass);
  const auto polled = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (worker == 0 && std::chrono::steady_clock::now() < polled) std::this_thread::yield();
  ASSERT_NE(worker, 0u);
  // The worker waits on its go event again once its action has ended.
  std::atomic<bool> ended{false};
  nQoSim::onSyncWait([&](const iSync*) {
    if (empty && nQoKAL100_getThreadHandle() == worker) ended = true;
  });
  windows.onWritten([&](unsigned, uint32_t offset, uint32_t) {
    if (offset != 0x09 || empty.exchange(true)) return;
    const auto bound = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!ended && std::chrono::steady_clock::now() < bound) std::this_thread::yield();
  });
  delete transfer;
  transfer = nullptr;
  windows.onWritten({});
  nQoSim::onSyncWait(nullptr);
  windows.setReadCallback(window, nQoSim::tSimAIFifo::kStatusOffset, {});
  EXPECT_TRUE(ended) << "the worker ended its drain while the destructor was held";
  EXPECT_TRUE(sink.reasons().empty());
}

// The record end's second pass, on a thread of its own, waits inside the
// transfer for the last conversion to leave the converter; destroying the
// transfer then waits for the pass to leave before anything goes.
TEST_F(tAIDMATransferTest, DestroyedDuringItsLastConvertSecondPassItWaitsForThePass) {
  armFiniteRun();
  ASSERT_EQ(raiseRecordEnd(), 1u);
  EXPECT_EQ(transfer->counts().lastConvert, 1u);
  tHeldPass held;
  windows.setReadCallback(window, 0x136, [&held](unsigned) {
    held.hold();
    return 0u;
  });
  held.run([&] { bus.pumpSecondary(); });
  held.tearDown([&] { delete transfer; });
  transfer = nullptr;
  EXPECT_TRUE(held.teardownWaited());
  windows.setReadCallback(window, 0x136, {});
  timing->disarm(status);
  timing->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tAIDMATransferTest, StartAndStopAreNotSupported) {
  tStatus2 local;
  transfer->start(local);
  EXPECT_EQ(local.code, -50256);
  EXPECT_TRUE(loggedAt(-50256, "source/qomiop/ai/tBaseAI_DMATransferPrimitive", 122));
  tStatus2 other;
  transfer->stop(other);
  EXPECT_TRUE(loggedAt(-50256, "source/qomiop/ai/tBaseAI_DMATransferPrimitive", 130));
}

}  // namespace
}  // namespace nQoTest
