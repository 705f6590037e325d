// The CDIO dispatcher, the FIFO observables and the CDI and CDO FIFO
// primitives on the real board dispatcher and the simulated FIFOs.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "primitives/cdio/tCDIO_FIFOObservable.h"
#include "primitives/cdioFixture.h"
#include "sim/simAllocator.h"
#include "sim/simSync.h"
#include "sim/simThread.h"
#include "support/heldCall.h"
#include "support/heldDisarm.h"
#include "support/statusRecords.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tBaseCDO_FIFOPrimitive;
using nQoUdP100::tCDIO_FIFOObservable;
using tObservable = tCDIO_FIFOObservable;
using tEmptyObservable = nQoUdP100::tCDO_FIFOEmptyObservable;

// Observes every event; logs "<name>:<event>" (secondary: "<name>:<event>2")
// and answers what the test set. onPrimary runs after the primary call.
class tRecorder : public tObservable::iCDIOBufferErrorObserver,
                  public tObservable::iCDIOOverrunObserver,
                  public tObservable::iCDIOFIFOObserver,
                  public tEmptyObservable::iCDO_FIFOEmptyObserver,
                  public tBaseCDO_FIFOPrimitive::iCDO_FIFOEmptyPolledObserver {
 public:
  tRecorder(std::string name, std::vector<std::string>* calls) : name(name), calls(calls) {}
  uint32_t handleBufferError(tObservable*, tStatus2&) override { return primary("buffer"); }
  void handleBufferErrorSecondary(tObservable*, tStatus2&) override { log("buffer2"); }
  uint32_t handleOverrun(tObservable*, tStatus2&) override { return primary("overrun"); }
  void handleOverrunSecondary(tObservable*, tStatus2&) override { log("overrun2"); }
  uint32_t handleFIFO(tObservable*, tStatus2&) override { return primary("fifo"); }
  void handleFIFOSecondary(tObservable*, tStatus2&) override { log("fifo2"); }
  uint32_t handleFIFOEmpty(tEmptyObservable*, tStatus2&) override { return primary("empty"); }
  void handleFIFOEmptySecondary(tEmptyObservable*, tStatus2&) override { log("empty2"); }
  void handleFIFOEmptyPolled(tBaseCDO_FIFOPrimitive*, tStatus2&) override { log("polled"); }

  tObservable::iCDIOBufferErrorObserver* asBuffer() { return this; }
  tObservable::iCDIOOverrunObserver* asOverrun() { return this; }
  tObservable::iCDIOFIFOObserver* asFIFO() { return this; }
  tEmptyObservable::iCDO_FIFOEmptyObserver* asEmpty() { return this; }

  std::string name;
  std::vector<std::string>* calls;
  uint32_t answer = 0;
  std::function<void()> onPrimary;

 private:
  uint32_t primary(const char* event) {
    log(event);
    if (onPrimary) onPrimary();
    return answer;
  }
  void log(const char* event) { calls->push_back(name + ":" + event); }
};

class tCDIOFIFOTest : public tCDIOTest {
 protected:
  std::vector<std::string> calls;
  tRecorder a{"a", &calls}, b{"b", &calls}, c{"c", &calls}, d{"d", &calls};
};

TEST_F(tCDIOFIFOTest, CDIFIFOLifecycleAttachesWritesTheModeAndSwitchesTheSourcesInOrder) {
  cdi->addObserver(a.asFIFO(), status);
  cdi->addObserver(a.asOverrun(), status);
  cdi->setModeFlag(1, status, 0);
  EXPECT_TRUE(windows.log().empty());  // applied at commit
  cdi->commit(status);
  ASSERT_EQ(status.code, 0);
  EXPECT_EQ(bus.registrations(), 1);
  EXPECT_EQ(bus.calls().front().operation, tCall::kRegisterInterrupt);
  EXPECT_NE(board->primaryHandlers[kCDIFIFO], nullptr);
  EXPECT_NE(board->secondaryHandlers[kCDIFIFO], nullptr);
  EXPECT_NE(board->primaryHandlers[kCDIOverrun], nullptr);
  EXPECT_EQ(board->primaryHandlers[kFIFOOverflow], nullptr);
  EXPECT_EQ(at(windows.log(), 0x228), (tLog{wrote32(0x228, 0x800), wrote32(0x228, 0xA00)}));
  EXPECT_EQ(cdi->state(), 2u);
  EXPECT_TRUE(cdi->isReady());

  clearLogs();
  cdi->arm(status);
  EXPECT_EQ(windows.log(), (tLog{kAtomicBegin, wrote32(0x224, 0x1000), kAtomicEnd, kAtomicBegin,
                                 wrote32(0x224, 0x100), kAtomicEnd}));
  EXPECT_TRUE(cdi->isArmed());
  clearLogs();
  cdi->disarm(status);
  EXPECT_EQ(windows.log(), (tLog{kAtomicBegin, wrote32(0x224, 0x2000), kAtomicEnd, kAtomicBegin,
                                 wrote32(0x224, 0x200), kAtomicEnd}));
  cdi->uncommit(status);
  EXPECT_EQ(bus.registrations(), 0);
  EXPECT_EQ(board->primaryHandlers[kCDIFIFO], nullptr);
  EXPECT_EQ(board->secondaryHandlers[kCDIOverrun], nullptr);
  EXPECT_EQ(cdi->state(), 1u);
  EXPECT_EQ(status.code, 0);
}

// Code 4 after 4100, or 4100, 1, 4: the CDI FIFO's uncommit switches off the
// sources its arm enabled before the handlers go, once.
TEST_F(tCDIOFIFOTest, ACDIUncommitAfterTheArmSwitchesTheSourcesOffFirst) {
  cdi->addObserver(a.asFIFO(), status);
  cdi->addObserver(a.asOverrun(), status);
  cdi->setModeFlag(1, status, 0);
  for (const bool commitAgain : {false, true}) {
    SCOPED_TRACE(commitAgain ? "4100, 1, 4" : "4100, 4");
    cdi->commit(status);
    cdi->arm(status);
    if (commitAgain) cdi->commit(status);
    ASSERT_EQ(status.code, 0);
    clearLogs();
    cdi->uncommit(status);
    EXPECT_EQ(status.code, 0);
    tLog expected = atomicCommand(0x2000);
    const tLog overrun = atomicCommand(0x200);
    expected.insert(expected.end(), overrun.begin(), overrun.end());
    const tLog log = windows.log();
    EXPECT_EQ(tLog(log.begin(), log.begin() + std::min(log.size(), expected.size())), expected)
        << "the FIFO and overrun sources off before the handlers go";
    EXPECT_FALSE(cdi->holdsArm());
    EXPECT_FALSE(cdi->holdsCommit());
    EXPECT_EQ(board->primaryHandlers[kCDIFIFO], nullptr);
    EXPECT_EQ(board->primaryHandlers[kCDIOverrun], nullptr);
    EXPECT_EQ(bus.registrations(), 0);
    clearLogs();
    cdi->disarm(status);
    EXPECT_TRUE(windows.log().empty()) << "the arm was undone twice";
  }
}

// The FIFO source's disable fails on the bus; the overrun and buffer-error
// sources are still switched off, and the failure is what disarm reports.
TEST_F(tCDIOFIFOTest, AFailedCDIFIFODisableStillSwitchesOverrunAndBufferErrorOff) {
  cdi->addObserver(a.asFIFO(), status);
  cdi->addObserver(a.asOverrun(), status);
  cdi->addObserver(a.asBuffer(), status);
  cdi->setModeFlag(1, status, 0);
  cdi->commit(status);
  cdi->arm(status);
  ASSERT_EQ(status.code, 0);
  clearLogs();
  bus.failNext(tCall::kAtomic, -50001);
  tStatus2 disarmed;
  cdi->disarm(disarmed);
  EXPECT_EQ(disarmed.code, -50001);
  tLog expected = atomicCommand(0x200);
  const tLog bufferError = atomicCommand(0x200);  // the two share the command
  expected.insert(expected.end(), bufferError.begin(), bufferError.end());
  EXPECT_EQ(windows.log(), expected) << "overrun, then buffer error";
  EXPECT_EQ(cdi->state(), 2u);
}

TEST_F(tCDIOFIFOTest, WithoutObserversOrModeTheFIFOsTouchNothingAndAreNotReady) {
  cdi->commit(status);
  // Unset mode: bit 11 untouched; only the secondary flag's bit 9 is written.
  EXPECT_EQ(at(windows.log(), 0x228), (tLog{wrote32(0x228, 0x200)}));
  EXPECT_FALSE(cdi->isReady());
  clearLogs();
  cdi->arm(status);
  cdi->disarm(status);
  cdi->uncommit(status);
  cdo->arm(status);
  cdo->disarm(status);
  EXPECT_TRUE(windows.log().empty());
  EXPECT_TRUE(bus.calls().empty());
  EXPECT_EQ(cdo->state(), 2u);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tCDIOFIFOTest, CDIModeFlagWritesForcedAndOnlyForZeroOrOne) {
  cdi->setModeFlag(0, status, 1);
  cdi->setModeFlag(0, status, 1);
  cdi->setModeFlag(2, status, 1);
  EXPECT_EQ(windows.log(), (tLog{wrote32(0x228, 0x000), wrote32(0x228, 0x000)}));
  EXPECT_EQ(cdi->getModeFlagBit(status), 0u);
  cdi->setModeFlag(1, status, 1);
  EXPECT_EQ(cdi->getModeFlagBit(status), 1u);
  tStatus2 failed(-1);
  cdi->setModeFlag(0, failed, 1);
  EXPECT_EQ(cdi->getModeFlagBit(failed), 1u);
  EXPECT_EQ(map->CDI_Mode.getRegister(), 0x800u);
}

TEST_F(tCDIOFIFOTest, CDOCommitWritesModeTransferAndSecondaryFlagsWhenChanged) {
  cdo->addObserver(a.asOverrun(), status);
  cdo->setModeFlag(1, status, 0);
  cdo->setTransferModeFlag(1, status);
  cdo->commit(status);
  EXPECT_EQ(at(windows.log(), 0x22C),
            (tLog{wrote32(0x22C, 0x800), wrote32(0x22C, 0x900), wrote32(0x22C, 0xB00)}));
  EXPECT_EQ(cdo->getModeFlag(status), 1u);
  EXPECT_NE(board->primaryHandlers[kCDOOverrun], nullptr);
  clearLogs();
  cdo->arm(status);
  EXPECT_EQ(windows.log(), atomicCommand(0x40));
  clearLogs();
  cdo->disarm(status);
  EXPECT_EQ(windows.log(), atomicCommand(0x80));
  cdo->uncommit(status);
  EXPECT_EQ(bus.registrations(), 0);
  cdo->setModeFlag(2, status, 1);
  EXPECT_EQ(cdo->getModeFlag(status), 2u);
  EXPECT_EQ(status.code, 0);
}

// Code 4 after 4100, or 4100, 1, 4: the CDO FIFO's uncommit switches off the
// overrun source its arm enabled before the handler goes, once.
TEST_F(tCDIOFIFOTest, ACDOUncommitAfterTheArmSwitchesTheSourceOffFirst) {
  cdo->addObserver(a.asOverrun(), status);
  cdo->setModeFlag(1, status, 0);
  for (const bool commitAgain : {false, true}) {
    SCOPED_TRACE(commitAgain ? "4100, 1, 4" : "4100, 4");
    cdo->commit(status);
    cdo->arm(status);
    if (commitAgain) cdo->commit(status);
    ASSERT_EQ(status.code, 0);
    clearLogs();
    cdo->uncommit(status);
    EXPECT_EQ(status.code, 0);
    const tLog expected = atomicCommand(0x80);
    const tLog log = windows.log();
    EXPECT_EQ(tLog(log.begin(), log.begin() + std::min(log.size(), expected.size())), expected)
        << "the overrun source off before the handler goes";
    EXPECT_FALSE(cdo->holdsArm());
    EXPECT_FALSE(cdo->holdsCommit());
    EXPECT_EQ(board->primaryHandlers[kCDOOverrun], nullptr);
    EXPECT_EQ(bus.registrations(), 0);
    clearLogs();
    cdo->disarm(status);
    EXPECT_TRUE(windows.log().empty()) << "the arm was undone twice";
  }
}

TEST_F(tCDIOFIFOTest, LinkingBothDirectionsWritesTheNibblesUnderGroup21) {
  cdi->linkDMAChannel(3, status);
  cdo->linkDMAChannel(4, status);
  EXPECT_EQ(windows.log(), (tLog{wrote(0x07, 0x08, 8), wrote(0x07, 0x38, 8)}));
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{21, -21, 21, -21}));
  clearLogs();
  cdi->linkDMAChannel(16, status);
  EXPECT_EQ(status.code, -50150);
  EXPECT_TRUE(windows.log().empty());
  status.clear();
  cdi->linkDMAChannel(3, status);  // unchanged, written all the same
  cdi->unlinkDMAChannel(status);
  EXPECT_EQ(windows.log(), (tLog{wrote(0x07, 0x38, 8), wrote(0x07, 0x30, 8)}));
}

TEST_F(tCDIOFIFOTest, PartialSampleCountsMoveWholeWordsAndNoMoreBytes) {
  description.sampleWidth = 2;
  fifos->pushInput({0xAABB2211, 0xCCDD4433, 0x99});
  uint8_t in[5] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
  EXPECT_EQ(cdi->readSamples(in, 3, status), 3u);
  EXPECT_EQ(fifos->inputReads(), 2u);
  EXPECT_EQ(std::vector<uint8_t>(in, in + 5), (std::vector<uint8_t>{0x11, 0x22, 0x33, 0xEE, 0xEE}));
  EXPECT_EQ(cdi->readSamples(in, 1, status), 1u);  // below the width: one whole word
  EXPECT_EQ(fifos->inputSize(), 0u);
  EXPECT_EQ(cdi->readSamples(in, 0, status), 0u);
  EXPECT_EQ(fifos->inputReads(), 3u);

  fifos->setOutputDepth(8);
  const uint8_t out[3] = {0x11, 0x22, 0x33};
  EXPECT_EQ(cdo->writeSamples(out, 3, status), 3u);
  const std::deque<uint32_t> output = fifos->output();
  EXPECT_EQ(std::vector<uint32_t>(output.begin(), output.end()),
            (std::vector<uint32_t>{0x2211, 0x0033}));
  const uint32_t word = 0xDEADBEEF;
  EXPECT_EQ(cdo->writeSample(&word, status), 2u);
  EXPECT_EQ(fifos->output().back(), 0xDEADBEEFu);
  tStatus2 failed(-1);
  EXPECT_EQ(cdi->readSamples(in, 4, failed), 0u);
  EXPECT_EQ(cdo->writeSamples(out, 3, failed), 0u);
  EXPECT_EQ(cdi->isFIFOEmpty(failed), 0u);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tCDIOFIFOTest, StatusBitsAndCommandsOfBothDirections) {
  fifos->scriptStatus({0x1C0000, 0x1C0000, 0x1C0000, 0x1F});
  EXPECT_EQ(cdi->isFIFOConditionPending(status), 1u);
  EXPECT_EQ(cdi->isOverrunPending(status), 1u);
  EXPECT_EQ(cdi->isBufferErrorPending(status), 1u);
  EXPECT_EQ(map->Read_0224.getRegister(), 0x1C0000u);
  EXPECT_EQ(cdo->isFIFOFull(status), 1u);
  EXPECT_EQ(cdi->isFIFOEmpty(status), 1u);  // the model: nothing queued
  EXPECT_EQ(cdo->isFIFOEmpty(status), 1u);
  clearLogs();
  for (auto command :
       {&nQoUdP100::tBaseCDI_FIFOPrimitive::startFIFO, &nQoUdP100::tBaseCDI_FIFOPrimitive::stopFIFO,
        &nQoUdP100::tBaseCDI_FIFOPrimitive::resetFIFO})
    (cdi->*command)(status);
  for (auto command : {&tBaseCDO_FIFOPrimitive::startFIFO, &tBaseCDO_FIFOPrimitive::stopFIFO,
                       &tBaseCDO_FIFOPrimitive::resetFIFO, &tBaseCDO_FIFOPrimitive::stepFIFO,
                       &tBaseCDO_FIFOPrimitive::acknowledgeError})
    (cdo->*command)(status);
  EXPECT_EQ(windows.log(), (tLog{wrote32(0x224, 0x8), wrote32(0x224, 0x4), wrote32(0x224, 0x20),
                                 wrote32(0x224, 0x2), wrote32(0x224, 0x1), wrote32(0x224, 0x10),
                                 wrote32(0x224, 0x80000), wrote32(0x224, 0x4000)}));
}

TEST_F(tCDIOFIFOTest, CDISlotSevenReadsStatusBit17OnceAndNothingUnderAnError) {
  fifos->scriptStatus({0x20000, 0, 0xFFFDFFFF});
  EXPECT_EQ(cdi->reserved7(status), 1u);
  EXPECT_EQ(windows.log(), (tLog{read32(0x224, 0x20000)}));
  EXPECT_EQ(map->Read_0224.getRegister(), 0x20000u);
  EXPECT_EQ(cdi->reserved7(status), 0u);
  EXPECT_EQ(cdi->reserved7(status), 0u);  // every other bit set
  EXPECT_EQ(status.code, 0);
  clearLogs();
  fifos->scriptStatus({0x20000});
  tStatus2 failed(-1);
  EXPECT_EQ(cdi->reserved7(failed), 0u);
  EXPECT_TRUE(windows.log().empty());
  EXPECT_EQ(failed.code, -1);
}

TEST_F(tCDIOFIFOTest, TheOverrunWalkEndsWhenAnObserverDisarmsAndOnlyAskersGetTheSecondPass) {
  for (tRecorder* r : {&a, &b, &c}) cdi->addObserver(r->asOverrun(), status);
  for (tRecorder* r : {&a, &b, &c}) cdi->addObserver(r->asFIFO(), status);
  cdi->setModeFlag(1, status, 0);
  cdi->commit(status);
  cdi->arm(status);
  b.answer = 1;
  fifos->scriptStatus({0x80000});
  map->Read_0088.refresh(&status);
  windows.setRead(window, 0x88, 8, 0x01);
  EXPECT_EQ(bus.raise(kIrq), 1u);  // served, a secondary pass wanted
  EXPECT_EQ(calls, (std::vector<std::string>{"a:overrun", "b:overrun", "c:overrun"}));
  calls.clear();
  bus.pumpSecondary();
  EXPECT_EQ(calls, (std::vector<std::string>{"b:overrun2"}));

  // An observer that disarms in its primary call ends both walks.
  calls.clear();
  a.answer = 1;
  a.onPrimary = [&] {
    tStatus2 fresh;
    cdi->disarm(fresh);
  };
  EXPECT_EQ(board->primaryHandlers[kCDIOverrun].load()->handleInterrupt(), 1u);
  EXPECT_EQ(calls, (std::vector<std::string>{"a:overrun"}));
  calls.clear();
  board->secondaryHandlers[kCDIOverrun].load()->handleSecondaryInterrupt();
  EXPECT_EQ(calls, (std::vector<std::string>{"a:overrun2"}));
  // The FIFO walk runs its whole list whatever the state; its second pass not.
  calls.clear();
  EXPECT_EQ(board->primaryHandlers[kCDIFIFO].load()->handleInterrupt(), 2u);
  EXPECT_EQ(calls, (std::vector<std::string>{"a:fifo", "b:fifo", "c:fifo"}));
  calls.clear();
  board->secondaryHandlers[kCDIFIFO].load()->handleSecondaryInterrupt();
  EXPECT_EQ(calls, (std::vector<std::string>{"a:fifo2"}));
  a.onPrimary = nullptr;
  cdi->uncommit(status);
}

TEST_F(tCDIOFIFOTest, ListsReuseFreedRecordsGrowFromThreeToSixAndReportAFailedGrowth) {
  for (tRecorder* r : {&a, &b, &c}) cdi->addObserver(r->asBuffer(), status);
  cdi->removeObserver(b.asBuffer(), status);
  const uint64_t before = nQoSim::totalAllocations();
  cdi->addObserver(d.asBuffer(), status);
  EXPECT_EQ(nQoSim::totalAllocations(), before);
  nQoSim::failAllocation(1);
  cdi->addObserver(b.asBuffer(), status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_TRUE(loggedAt(-50352, "tCDIO_FIFOObservable", 40));
  status.clear();
  cdi->addObserver(b.asBuffer(), status);
  EXPECT_EQ(nQoSim::totalAllocations(), before + 1);
  cdi->commit(status);
  cdi->arm(status);
  board->primaryHandlers[kFIFOOverflow].load()->handleInterrupt();
  EXPECT_EQ(calls, (std::vector<std::string>{"a:buffer", "d:buffer", "c:buffer", "b:buffer"}));
  cdi->disarm(status);
  cdi->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tCDIOFIFOTest, ThePollingThreadTellsPolledObserversOnceTheOutputRanEmpty) {
  fifos->setOutputDepth(4);
  cdo->registerPolledObserver(&a, status);
  EXPECT_TRUE(cdo->hasPolledObserver());
  EXPECT_EQ(cdo->findPolledObserver(&b), nullptr);
  cdo->setModeFlag(1, status, 0);
  cdo->commit(status);
  cdo->arm(status);
  const uint8_t bytes[8] = {1, 0, 0, 0, 2, 0, 0, 0};
  cdo->writeSamples(bytes, 8, status);
  cdo->wakePollingThread(status);
  cdo->stepFIFO(status);
  cdo->stepFIFO(status);
  EXPECT_EQ(cdo->waitForDone(5000, status), 1u);  // the action found the FIFO empty
  cdo->disarm(status);
  EXPECT_EQ(fifos->lines(), (std::vector<uint32_t>{1, 2}));
  EXPECT_EQ(calls, (std::vector<std::string>{"a:polled"}));
  cdo->uncommit(status);
  cdo->unregisterPolledObserver(&a, status);
  EXPECT_FALSE(cdo->hasPolledObserver());
  EXPECT_EQ(status.code, 0);
}

// The polling thread's stop fails to take its lock at uncommit; the thread is
// still destroyed and joined, and the stop's failure is reported.
TEST_F(tCDIOFIFOTest, AFailedPollingThreadStopStillDestroysTheThread) {
  cdo->registerPolledObserver(&a, status);
  cdo->setModeFlag(1, status, 0);
  cdo->commit(status);
  ASSERT_EQ(status.code, 0);
  ASSERT_EQ(nQoSim::liveThreads(), 1);
  nQoSim::failNextAcquire(-50001);
  tStatus2 uncommitted;
  cdo->uncommit(uncommitted);
  EXPECT_EQ(uncommitted.code, -50001);
  EXPECT_EQ(nQoSim::liveThreads(), 0);
  EXPECT_EQ(cdo->state(), 1u);
}

// A commit or an arm after one that holds its sources takes only what is new
// (the FIFO event, in use since), and a failure of that gives back only it:
// the overrun handler and source of the first run, and the output FIFO's
// polling thread, stay; the state stays what it found.
TEST_F(tCDIOFIFOTest, AFailedSecondCommitOrArmGivesBackOnlyWhatItTook) {
  using nQoUdRLP100::tEnabledFlag;
  cdo->registerPolledObserver(&a, status);
  const auto secondRuns = [&](auto* fifo, uint32_t fifoSource, uint32_t overrunSource,
                              tEnabledFlag fifoOn, tEnabledFlag overrunOn, int threads) {
    fifo->addObserver(a.asOverrun(), status);
    fifo->setModeFlag(1, status, 0);
    fifo->commit(status);
    fifo->arm(status);
    ASSERT_EQ(status.code, 0);
    fifo->addObserver(a.asFIFO(), status);
    nQoSim::failNextAcquire(-50001);
    tStatus2 committed;
    fifo->commit(committed);
    EXPECT_EQ(committed.code, -50001);
    EXPECT_EQ(board->primaryHandlers[fifoSource], nullptr);
    EXPECT_NE(board->primaryHandlers[overrunSource], nullptr);
    EXPECT_EQ(board->enabledFlag(overrunOn), 1u);
    EXPECT_EQ(bus.registrations(), 1);
    EXPECT_EQ(nQoSim::liveThreads(), threads);
    EXPECT_EQ(fifo->state(), 3u);

    fifo->commit(status);
    ASSERT_NE(board->primaryHandlers[fifoSource], nullptr);
    bus.failNext(tCall::kAtomic, -50001);
    tStatus2 armed;
    fifo->arm(armed);
    EXPECT_EQ(armed.code, -50001);
    EXPECT_EQ(board->enabledFlag(fifoOn), 0u);
    EXPECT_EQ(board->enabledFlag(overrunOn), 1u);
    EXPECT_EQ(nQoSim::liveThreads(), threads);

    fifo->disarm(status);
    fifo->uncommit(status);
    EXPECT_EQ(board->enabledFlag(overrunOn), 0u);
    EXPECT_EQ(board->primaryHandlers[overrunSource], nullptr);
    EXPECT_EQ(bus.registrations(), 0);
    EXPECT_EQ(nQoSim::liveThreads(), 0);
    EXPECT_EQ(status.code, 0);
  };
  {
    SCOPED_TRACE("input");
    secondRuns(cdi, kCDIFIFO, kCDIOverrun, nQoUdRLP100::kSource21Enabled,
               nQoUdRLP100::kSource23Enabled, 0);
  }
  {
    SCOPED_TRACE("output");
    secondRuns(cdo, kCDOFIFO, kCDOOverrun, nQoUdRLP100::kSource24Enabled,
               nQoUdRLP100::kSource26Enabled, 1);
  }
  cdo->unregisterPolledObserver(&a, status);
}

// A second commit or arm that asks for nothing new touches nothing: it
// attaches and enables nothing again, takes no lock and runs nothing
// atomically (each would fail here), and writes nothing but the input FIFO's
// mode flag, which every commit writes again.
TEST_F(tCDIOFIFOTest, ASecondCommitOrArmThatAsksForNothingNewTouchesNothing) {
  using nQoUdRLP100::tEnabledFlag;
  const auto again = [&](auto* fifo, uint32_t fifoSource, uint32_t overrunSource,
                         tEnabledFlag fifoOn, tEnabledFlag overrunOn, const tLog& commitWrites) {
    fifo->addObserver(a.asFIFO(), status);
    fifo->addObserver(a.asOverrun(), status);
    fifo->setModeFlag(1, status, 0);
    fifo->commit(status);
    fifo->arm(status);
    ASSERT_EQ(status.code, 0);
    clearLogs();
    nQoSim::failNextAcquire(-50001);
    tStatus2 committed;
    fifo->commit(committed);
    nQoSim::failNextAcquire(0);
    bus.failNext(tCall::kAtomic, -50001);
    tStatus2 armed;
    fifo->arm(armed);
    bus.failNext(tCall::kAtomic, 0);
    EXPECT_EQ(committed.code, 0);
    EXPECT_EQ(armed.code, 0);
    EXPECT_EQ(windows.log(), commitWrites);
    EXPECT_TRUE(bus.calls().empty());
    EXPECT_EQ(bus.registrations(), 1);
    EXPECT_NE(board->primaryHandlers[fifoSource], nullptr);
    EXPECT_NE(board->primaryHandlers[overrunSource], nullptr);
    EXPECT_EQ(board->enabledFlag(fifoOn), 1u);
    EXPECT_EQ(board->enabledFlag(overrunOn), 1u);
    fifo->disarm(status);
    fifo->uncommit(status);
    EXPECT_EQ(bus.registrations(), 0);
    EXPECT_EQ(status.code, 0);
  };
  {
    SCOPED_TRACE("input");
    again(cdi, kCDIFIFO, kCDIOverrun, nQoUdRLP100::kSource21Enabled, nQoUdRLP100::kSource23Enabled,
          tLog{wrote32(0x228, 0xA00)});
  }
  {
    SCOPED_TRACE("output");
    again(cdo, kCDOFIFO, kCDOOverrun, nQoUdRLP100::kSource24Enabled, nQoUdRLP100::kSource26Enabled,
          tLog{});
  }
}

// Code 1 after 4100 keeps what the arm runs on: each FIFO stays armed, so an
// overrun's walks still reach the observer in both passes, until the disarm.
TEST_F(tCDIOFIFOTest, ACommitOfAnArmedFIFOKeepsItArmedForItsPasses) {
  a.answer = 1;
  const auto commitArmed = [&](auto* fifo, uint32_t overrunBit) {
    fifo->addObserver(a.asOverrun(), status);
    fifo->setModeFlag(1, status, 0);
    fifo->commit(status);
    fifo->arm(status);
    fifo->commit(status);
    ASSERT_EQ(status.code, 0);
    EXPECT_TRUE(fifo->isArmed());
    calls.clear();
    fifos->scriptStatus({overrunBit});
    windows.setRead(window, 0x88, 8, 0x01);
    EXPECT_EQ(bus.raise(kIrq), 1u);
    EXPECT_EQ(bus.pumpSecondary(), 1u);
    EXPECT_EQ(calls, (std::vector<std::string>{"a:overrun", "a:overrun2"}));
    fifo->disarm(status);
    EXPECT_EQ(fifo->state(), 2u);
    fifo->uncommit(status);
    fifo->removeObserver(a.asOverrun(), status);
    EXPECT_EQ(status.code, 0);
  };
  {
    SCOPED_TRACE("input");
    commitArmed(cdi, 0x80000);
  }
  {
    SCOPED_TRACE("output");
    commitArmed(cdo, 0x8);
  }
}

// An event that came into use after the commit has no handler in its slot:
// the arm leaves its source off until a commit attaches the handler, so no
// source is on whose slot is empty (the destruction goes by the slots).
TEST_F(tCDIOFIFOTest, AnArmEnablesOnlyTheEventsWhoseHandlersACommitAttached) {
  using nQoUdRLP100::tEnabledFlag;
  const auto lateEvent = [&](auto* fifo, uint32_t fifoSource, tEnabledFlag fifoOn,
                             tEnabledFlag overrunOn) {
    fifo->addObserver(a.asOverrun(), status);
    fifo->setModeFlag(1, status, 0);
    fifo->commit(status);
    fifo->addObserver(a.asFIFO(), status);
    fifo->arm(status);
    EXPECT_EQ(board->primaryHandlers[fifoSource], nullptr);
    EXPECT_EQ(board->enabledFlag(fifoOn), 0u);
    EXPECT_EQ(board->enabledFlag(overrunOn), 1u);
    fifo->commit(status);
    fifo->arm(status);
    EXPECT_NE(board->primaryHandlers[fifoSource], nullptr);
    EXPECT_EQ(board->enabledFlag(fifoOn), 1u);
    fifo->disarm(status);
    fifo->uncommit(status);
    EXPECT_EQ(board->enabledFlag(fifoOn), 0u);
    EXPECT_EQ(bus.registrations(), 0);
    EXPECT_EQ(status.code, 0);
  };
  {
    SCOPED_TRACE("input");
    lateEvent(cdi, kCDIFIFO, nQoUdRLP100::kSource21Enabled, nQoUdRLP100::kSource23Enabled);
  }
  {
    SCOPED_TRACE("output");
    lateEvent(cdo, kCDOFIFO, nQoUdRLP100::kSource24Enabled, nQoUdRLP100::kSource26Enabled);
  }
}

TEST_F(tCDIOFIFOTest, AFIFODestroyedWithItsThreadRunningStopsItFirst) {
  cdo->registerPolledObserver(&a, status);
  cdo->commit(status);
  cdo->arm(status);
  fifos->setOutputDepth(1);
  const uint32_t word = 1;
  cdo->writeSample(&word, status);
  cdo->wakePollingThread(status);  // polls a FIFO that never runs empty
  EXPECT_EQ(status.code, 0);
  delete cdo;  // the thread is stopped and joined before the FIFO goes
  cdo = nullptr;
  EXPECT_TRUE(calls.empty());
}

// Destroyed armed, after some observers left, each FIFO disables, empties and
// detaches every slot it filled: the board's next interrupt, with every
// condition of the gone FIFO pending, reaches only the other FIFO's observers.
TEST_F(tCDIOFIFOTest, AFIFODestroyedArmedLeavesNoHandlerAndNoRegistrationBehind) {
  cdi->addObserver(a.asFIFO(), status);
  cdi->addObserver(a.asBuffer(), status);
  cdi->addObserver(a.asOverrun(), status);
  cdi->setModeFlag(1, status, 0);
  cdi->commit(status);
  cdi->arm(status);
  cdo->addObserver(b.asFIFO(), status);
  cdo->addObserver(b.asBuffer(), status);
  cdo->addObserver(b.asOverrun(), status);
  cdo->addObserver(b.asEmpty(), status);
  cdo->registerPolledObserver(&b, status);  // the polling thread runs
  cdo->setModeFlag(1, status, 0);
  cdo->commit(status);
  cdo->arm(status);
  cdo->enableFIFOEmptyInterrupt(status);
  cdo->removeObserver(b.asBuffer(), status);
  cdo->removeObserver(b.asEmpty(), status);
  ASSERT_EQ(status.code, 0);
  delete cdo;
  cdo = nullptr;
  for (uint32_t source : {kCDOFIFO, kOutputBufferError, kCDOOverrun, kCDOFIFOEmpty}) {
    ASSERT_EQ(board->primaryHandlers[source], nullptr) << source;
    ASSERT_EQ(board->secondaryHandlers[source], nullptr) << source;
  }
  EXPECT_EQ(bus.registrations(), 1);  // the CDI FIFO's handlers keep it
  fifos->scriptStatus({0x4001F});     // the CDI FIFO condition and every CDO bit
  windows.setRead(window, 0x88, 8, 0x01);
  EXPECT_EQ(bus.raise(kIrq), 2u);
  EXPECT_EQ(calls, (std::vector<std::string>{"a:fifo"}));

  cdi->removeObserver(a.asOverrun(), status);
  delete cdi;
  cdi = nullptr;
  for (uint32_t source = kCDIFIFO; source <= kCDOFIFOEmpty; ++source) {
    EXPECT_EQ(board->primaryHandlers[source], nullptr) << source;
    EXPECT_EQ(board->secondaryHandlers[source], nullptr) << source;
  }
  EXPECT_EQ(bus.registrations(), 0);
  EXPECT_EQ(status.code, 0);
}

// A disarm run whole inside a bus atomic run of another thread, held there
// until an enable on its own thread waits for the bus lock; reached stays
// false when the enable did not come to the lock within the guard.
struct tDisarmBesideWaitingEnable : iBusAtomicOperation {
  std::function<void()> disarm;
  nQoSim::tSimBus* bus = nullptr;
  std::atomic<bool> inside{false};
  bool reached = false;
  int32_t operateAtomically() override {
    inside = true;
    const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
    while (bus->atomicRunsWaiting() == 0 && std::chrono::steady_clock::now() < guard)
      std::this_thread::yield();
    reached = bus->atomicRunsWaiting() != 0;
    disarm();
    return 0;
  }
};

// The FIFO-empty source is its observers' to switch on, only while an arm
// holds, looked at inside the enable's atomic run: an enable before the arm
// writes nothing; one beside a disarm held at its switch-off waits for it and
// finds the arm gone; one that waits for the bus lock while a disarm runs
// whole finds the arm gone when it gets the lock. Code 4 after an arm and an
// enable switches the source off before its handler goes.
TEST_F(tCDIOFIFOTest, TheFIFOEmptyEnableLooksAtTheArmInsideItsAtomicRun) {
  const auto fifoEmptyOn = [&] { return board->enabledFlag(nQoUdRLP100::kSource27Enabled) != 0; };
  cdo->addObserver(a.asEmpty(), status);
  cdo->setModeFlag(1, status, 0);
  cdo->commit(status);
  clearLogs();
  cdo->enableFIFOEmptyInterrupt(status);
  EXPECT_TRUE(windows.writes().empty()) << "not armed";
  cdo->arm(status);
  cdo->enableFIFOEmptyInterrupt(status);
  ASSERT_TRUE(fifoEmptyOn());
  tStatus2 disarmed, enabled;
  EXPECT_TRUE(passBesideHeldDisarm(
      windows, bus, 0x224, 0x10000, [&] { cdo->disarm(disarmed); },
      [&] { cdo->enableFIFOEmptyInterrupt(enabled); }));
  EXPECT_EQ(disarmed.code, 0);
  EXPECT_EQ(enabled.code, 0);
  EXPECT_FALSE(fifoEmptyOn());

  cdo->arm(status);
  cdo->enableFIFOEmptyInterrupt(status);
  tDisarmBesideWaitingEnable run;
  run.bus = &bus;
  run.disarm = [&] { cdo->disarm(disarmed); };
  std::thread disarming([&] {
    int code = 0;
    bus.runAtomically(&run, &code);
  });
  const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
  while (!run.inside && std::chrono::steady_clock::now() < guard) std::this_thread::yield();
  std::thread enabling([&] { cdo->enableFIFOEmptyInterrupt(enabled); });
  disarming.join();
  enabling.join();
  EXPECT_TRUE(run.reached);
  EXPECT_EQ(disarmed.code, 0);
  EXPECT_EQ(enabled.code, 0);
  EXPECT_FALSE(fifoEmptyOn());

  cdo->arm(status);
  cdo->enableFIFOEmptyInterrupt(status);
  cdo->uncommit(status);
  EXPECT_FALSE(fifoEmptyOn());
  EXPECT_EQ(board->primaryHandlers[kCDOFIFOEmpty], nullptr);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tCDIOFIFOTest, TheDispatcherMapsSlotsToBoardSourcesAndKeepsEachSourcesOwnFlag) {
  cdi->addObserver(a.asBuffer(), status);
  cdi->addObserver(b.asOverrun(), status);
  cdi->commit(status);
  clearLogs();
  cdio->enableCDIBufferErrorInterrupt(status);  // the shared bit enables both in hardware
  EXPECT_EQ(windows.log(), atomicCommand(0x100));
  windows.setRead(window, 0x88, 8, 0x01);
  fifos->scriptStatus({0x180000});
  EXPECT_EQ(bus.raise(kIrq), 2u);
  EXPECT_EQ(calls, (std::vector<std::string>{"a:buffer"}));  // not the overrun: its flag is off
  cdio->disableCDIOverrunInterrupt(nullptr);                 // closes the group for both
  calls.clear();
  fifos->scriptStatus({0x180000});
  bus.raise(kIrq);
  EXPECT_TRUE(calls.empty());

  // The one-handler forms fill and clear the primary slot only.
  nQoMRTB100::iSecondaryInterruptHandler* kept = board->secondaryHandlers[kCDIOverrun];
  cdio->attachCDOFIFOEmptyHandler(board->primaryHandlers[kCDIOverrun], status);
  EXPECT_EQ(board->primaryHandlers[kCDOFIFOEmpty], board->primaryHandlers[kCDIOverrun]);
  EXPECT_EQ(board->secondaryHandlers[kCDOFIFOEmpty], nullptr);
  board->secondaryHandlers[kCDOFIFOEmpty] = kept;
  cdio->detachCDOFIFOEmptyHandler(nullptr, &status);
  EXPECT_EQ(board->primaryHandlers[kCDOFIFOEmpty], nullptr);
  EXPECT_EQ(board->secondaryHandlers[kCDOFIFOEmpty], kept);
  board->secondaryHandlers[kCDOFIFOEmpty] = nullptr;
  tStatus2 failed(-1);
  cdio->attachCDOFIFOEmptyHandler(board->primaryHandlers[kCDIOverrun], failed);
  EXPECT_EQ(board->primaryHandlers[kCDOFIFOEmpty], nullptr);
  cdi->uncommit(status);
  EXPECT_EQ(bus.registrations(), 0);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tCDIOFIFOTest, BadDescriptionsAreRefusedAtConstruction) {
  for (uint32_t width : {0u, 5u}) {
    nQoUdP100::tCDIODescription bad{.sampleWidth = width};
    tStatus2 fresh;
    nQoUdP100::tTavikCDI_FIFOPrimitive fifo(cdio, &bad, map, fresh);
    EXPECT_EQ(fresh.code, -50150);
  }
  tStatus2 fresh;
  nQoUdP100::tTavikCDO_FIFOPrimitive fifo(cdio, nullptr, map, fresh);
  EXPECT_EQ(fresh.code, -50004);
  tStatus2 failed(-1);
  nQoUdP100::tTavikCDI_FIFOPrimitive never(cdio, &description, map, failed);
  EXPECT_FALSE(never.isValid());
  EXPECT_FALSE(never.isReady());
}

}  // namespace
}  // namespace nQoTest
