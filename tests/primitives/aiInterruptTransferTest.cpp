// The AI interrupt transfer on the real map with converter, timing controller
// and FIFO model: blocks moved per FIFO pass, the block limit, one end per arm
// whichever path reports it, the last conversion's wait on every run and the
// refused descriptions and FIFO block counts.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

#include "primitives/ai/tAIInterruptTransferPrimitive.h"
#include "primitives/aiTransferFixture.h"
#include "support/heldDisarm.h"
#include "support/heldPass.h"
#include "support/statusRecords.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tAIInterruptTransferPrimitive;
using nQoUdP100::tBaseAIInterruptTransferPrimitive;

constexpr const char kBaseFile[] = "source/qomiop/ai/tBaseAIInterruptTransferPrimitive";
constexpr const char kBoardFile[] = "source/qomiop/tavik/udseries/ai/tAIInterruptTransferPrimitive";

// Takes the samples it is asked for out of the FIFO; a scripted shortfall
// moves one less. Each move first runs onMove, when set.
class tDestination : public tBaseAIInterruptTransferPrimitive::iDestination {
 public:
  explicit tDestination(nQoUdP100::tAIDeviceFIFOPrimitive* fifo) : fifo(fifo) {}
  uint32_t move(uint32_t count, tStatus2& status) override {
    if (onMove) onMove();
    counts.push_back(count);
    const uint32_t wanted = shortBy != 0 ? count - shortBy : count;
    std::vector<uint32_t> samples(wanted);
    const uint32_t moved = wanted == 0 ? 0 : fifo->readSamples(samples.data(), wanted, status);
    this->samples.insert(this->samples.end(), samples.begin(), samples.begin() + moved);
    return moved;
  }
  void transferEnded(const tStatus2& reason, tStatus2&) override { ends.push_back(reason.code); }
  nQoUdP100::tAIDeviceFIFOPrimitive* fifo;
  std::function<void()> onMove;
  uint32_t shortBy = 0;
  std::vector<uint32_t> counts;
  std::vector<uint32_t> samples;
  std::vector<int> ends;
};

class tAIInterruptTransferTest : public tAIRoadTest {
 protected:
  void SetUp() override {
    tAIRoadTest::SetUp();
    description.fifo = &fifoDescription;
    description.samples = &sampleDescription;
    transfer = new tAIInterruptTransferPrimitive(&description, converter, timing, fifo, deviceInfo,
                                                 map, status);
    ASSERT_EQ(status.code, 0);
    transfer->setDestination(&destination);
    transfer->configure(status);
    transfer->link(status);
    transfer->commit(status);
    transfer->arm(status);
    ASSERT_EQ(status.code, 0);
    ASSERT_EQ(transfer->runState(), 5u);
    clearLogs();
  }
  void TearDown() override {
    delete transfer;
    tAIRoadTest::TearDown();
  }
  // Bit 15 of tJoint_Status_1 reads set for the next `busy` reads.
  void converting(unsigned busy) {
    statusReads = 0;
    windows.setReadCallback(window, 0x136,
                            [this, busy](unsigned) { return statusReads++ < busy ? 0x8000u : 0u; });
  }

  nQoUdP100::tAISampleDescription sampleDescription{2};
  nQoUdP100::tAIDescription description;
  tDestination destination{nullptr};
  tAIInterruptTransferPrimitive* transfer = nullptr;
  unsigned statusReads = 0;
};

TEST_F(tAIInterruptTransferTest, BlockLimitComesFromFIFOSizeAndBlockSize) {
  EXPECT_EQ(transfer->blockLimit(), 4096u);
  EXPECT_TRUE(transfer->isReady());
  for (uint32_t blockSize : {0u, 1u}) {
    SCOPED_TRACE(blockSize);
    nQoUdP100::tAISampleDescription samples{blockSize};
    nQoUdP100::tAIDescription other = description;
    other.samples = blockSize == 0 ? &samples : nullptr;
    tStatus2 local;
    tAIInterruptTransferPrimitive refused(&other, converter, timing, fifo, deviceInfo, map, local);
    EXPECT_EQ(local.code, -50150);
    EXPECT_FALSE(refused.isReady());
  }
}

TEST_F(tAIInterruptTransferTest, FIFOPassMovesBlocksUntilTheThresholdTestAnswers0) {
  destination.fifo = fifo;
  model.push({1, 2, 3, 4, 5, 6});
  tStatus2 pass;
  EXPECT_EQ(transfer->fifoReady(fifo, pass), 1u);
  EXPECT_EQ(pass.code, 0);
  // Blocks of 2 while the FIFO is not empty.
  EXPECT_EQ(destination.counts, (std::vector<uint32_t>{2, 2, 2}));
  EXPECT_EQ(destination.samples, (std::vector<uint32_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_TRUE(destination.ends.empty());
}

TEST_F(tAIInterruptTransferTest, AWrongMoveCountEndsTheTransferOnceAndLaterEndsAreDropped) {
  destination.fifo = fifo;
  destination.shortBy = 1;
  model.push({1, 2, 3, 4});
  tStatus2 pass;
  EXPECT_EQ(transfer->fifoReady(fifo, pass), 1u);
  EXPECT_EQ(pass.code, -200222);
  EXPECT_TRUE(loggedAt(-200222, kBaseFile, 201));
  EXPECT_EQ(destination.ends, (std::vector<int>{-200222}));
  EXPECT_FALSE(windows.writes().empty()) << "the timing controller is hammer-stopped";

  tStatus2 later;
  transfer->handleOverrunSecondary(converter, later);
  transfer->overflowedSecondary(fifo, later);
  transfer->lastConvertedSecondary(timing, later);
  EXPECT_EQ(destination.ends, (std::vector<int>{-200222}));
  EXPECT_EQ(later.code, 0);
}

TEST_F(tAIInterruptTransferTest, OnePassTakingTheBlockLimitEndsWith200322) {
  destination.fifo = fifo;
  transfer->setBlockLimit(2);
  model.push({1, 2, 3, 4, 5, 6});
  tStatus2 pass;
  transfer->fifoReady(fifo, pass);
  EXPECT_EQ(pass.code, -200322);
  EXPECT_TRUE(loggedAt(-200322, kBaseFile, 211));
  EXPECT_EQ(destination.counts.size(), 2u);
  EXPECT_EQ(destination.ends, (std::vector<int>{-200322}));
}

TEST_F(tAIInterruptTransferTest, OverrunAndOverflowEndWithTheirCodes) {
  tStatus2 pass;
  EXPECT_EQ(transfer->handleOverrun(converter, pass), 1u);
  transfer->handleOverrunSecondary(converter, pass);
  EXPECT_TRUE(loggedAt(-200019, kBaseFile, 280));
  transfer->disarm(status);
  transfer->arm(status);
  EXPECT_EQ(transfer->overflowed(fifo, pass), 1u);
  transfer->overflowedSecondary(fifo, pass);
  EXPECT_TRUE(loggedAt(-200010, kBaseFile, 253));
  EXPECT_EQ(destination.ends, (std::vector<int>{-200019, -200010}));
  EXPECT_EQ(pass.code, 0);
}

// An overrun's or an overflow's first pass comes in one run, its second pass
// only after that run's disarm and the next arm (4101, 4100): it ends nothing
// of the new run and stops no engine. The new run's own passes end it once,
// with the code, and stop the engine; a second pass again reports nothing.
TEST_F(tAIInterruptTransferTest, AnErrorsSecondPassAfterARearmEndsOnlyTheRunItWasRaisedIn) {
  struct tRow {
    const char* name;
    std::function<void(tStatus2&)> first;
    std::function<void(tStatus2&)> second;
    int code;
    unsigned line;
  };
  const tRow rows[] = {
      {"overrun", [&](tStatus2& s) { transfer->handleOverrun(converter, s); },
       [&](tStatus2& s) { transfer->handleOverrunSecondary(converter, s); }, -200019, 280},
      {"overflow", [&](tStatus2& s) { transfer->overflowed(fifo, s); },
       [&](tStatus2& s) { transfer->overflowedSecondary(fifo, s); }, -200010, 253}};
  for (const tRow& row : rows) {
    SCOPED_TRACE(row.name);
    destination.ends.clear();
    tStatus2 pass;
    row.first(pass);
    transfer->disarm(status);
    transfer->arm(status);
    clearLogs();
    row.second(pass);
    EXPECT_TRUE(destination.ends.empty()) << "the pass of the run before ended the new one";
    EXPECT_TRUE(windows.writes().empty()) << "the new run's engine was stopped";
    EXPECT_FALSE(transfer->isDone());

    row.first(pass);
    row.second(pass);
    EXPECT_EQ(destination.ends, std::vector<int>{row.code});
    EXPECT_TRUE(loggedAt(row.code, kBaseFile, row.line));
    EXPECT_FALSE(windows.writes().empty()) << "the engine of the failed run runs on";
    EXPECT_TRUE(transfer->isDone());
    clearLogs();
    row.second(pass);
    EXPECT_EQ(destination.ends.size(), 1u);
    EXPECT_TRUE(windows.writes().empty());
    EXPECT_EQ(pass.code, 0);
    transfer->arm(status);
  }
  EXPECT_EQ(status.code, 0);
}

TEST_F(tAIInterruptTransferTest, EveryRunWaitsForBit15ThenDrainsTheRestAndEndsCleanly) {
  destination.fifo = fifo;
  for (int run = 1; run <= 2; ++run) {
    SCOPED_TRACE(run);
    converting(3);
    model.push({7, 8, 9, 10});
    tStatus2 pass;
    EXPECT_EQ(transfer->lastConverted(timing, pass), 1u);
    EXPECT_EQ(statusReads, 4u) << "three reads with bit 15 set, one clear";
    transfer->lastConvertedSecondary(timing, pass);
    EXPECT_EQ(pass.code, 0);
    EXPECT_EQ(model.size(), 0u);
    EXPECT_EQ(destination.ends, std::vector<int>(run, 0));
    transfer->disarm(status);
    transfer->arm(status);
  }
  EXPECT_EQ(status.code, 0);
}

// A commit of the armed transfer (code 1 after 4100) keeps its arm and run,
// also when it refuses a block count of 0 given under the run: the run still
// moves by its arm's block count and ends with its one report.
TEST_F(tAIInterruptTransferTest, ACommitOfAnArmedTransferKeepsItsRun) {
  destination.fifo = fifo;
  struct tRow {
    uint32_t word3;
    int code;
  };
  int runs = 0;
  for (const tRow row : {tRow{1, 0}, tRow{0, -50150}}) {
    SCOPED_TRACE(row.word3);
    nQoUdP100::tAIDeviceFIFOPrimitiveConfig config;
    config.word3 = row.word3;
    fifo->setConfiguration(config, status);
    fifo->commit(status);
    tStatus2 committed;
    transfer->commit(committed);
    EXPECT_EQ(committed.code, row.code);
    EXPECT_EQ(transfer->runState(), 5u);
    EXPECT_FALSE(transfer->isDone()) << "the commit ended the run";
    destination.counts.clear();
    destination.samples.clear();
    model.push({5, 6});
    tStatus2 pass;
    transfer->fifoReady(fifo, pass);
    EXPECT_EQ(destination.counts, (std::vector<uint32_t>{2}));
    model.push({7, 8});
    transfer->lastConverted(timing, pass);
    transfer->lastConvertedSecondary(timing, pass);
    EXPECT_EQ(pass.code, 0);
    EXPECT_EQ(destination.samples, (std::vector<uint32_t>{5, 6, 7, 8}));
    EXPECT_EQ(destination.ends, std::vector<int>(++runs, 0));
    transfer->arm(status);
  }
  fifo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A disarm and an arm inside a FIFO pass whose move comes short, and inside
// a last drain: neither pass ends the new run or stops its engine; the new
// run's own drain ends it once.
TEST_F(tAIInterruptTransferTest, APassOfOneRunEndsNoOther) {
  destination.fifo = fifo;
  model.push({1, 2, 3, 4});
  destination.shortBy = 1;
  auto rearmAtFirstMove = [&] {
    if (destination.counts.empty()) {
      transfer->disarm(status);
      transfer->arm(status);
    }
  };
  destination.onMove = rearmAtFirstMove;
  tStatus2 pass;
  transfer->fifoReady(fifo, pass);
  EXPECT_EQ(pass.code, -200222);
  EXPECT_TRUE(windows.writes().empty()) << "the engine of the new run was stopped";
  destination.shortBy = 0;
  destination.counts.clear();
  model.push({5, 6});
  transfer->lastConverted(timing, pass);
  transfer->lastConvertedSecondary(timing, pass);
  EXPECT_TRUE(destination.ends.empty()) << "a pass of the run before ended the new one";
  EXPECT_FALSE(transfer->isDone());
  destination.onMove = nullptr;
  model.push({7, 8});
  tStatus2 own;
  transfer->lastConverted(timing, own);
  transfer->lastConvertedSecondary(timing, own);
  EXPECT_EQ(destination.ends, (std::vector<int>{0}));
  EXPECT_EQ(own.code, 0);
}

// A FIFO pass held inside its move on a thread of its own: a disarm, an arm
// or an uncommit, which each end its run, returns only once the pass has
// left, so that no word is read for a run after its end.
TEST_F(tAIInterruptTransferTest, AStepThatEndsTheRunWaitsForTheFIFOPassUnderWay) {
  destination.fifo = fifo;
  const std::pair<const char*, std::function<void()>> steps[] = {
      {"disarm", [&] { transfer->disarm(status); }},
      {"arm", [&] { transfer->arm(status); }},
      {"uncommit", [&] { transfer->uncommit(status); }}};
  for (const auto& [name, step] : steps) {
    SCOPED_TRACE(name);
    transfer->commit(status);
    transfer->arm(status);
    model.push({1, 2});
    tHeldPass held;
    destination.onMove = [&held] { held.hold(); };
    tStatus2 pass;
    held.run([&] { transfer->fifoReady(fifo, pass); });
    held.tearDown(step);
    EXPECT_TRUE(held.teardownWaited()) << "the step returned while the pass still moved";
    destination.onMove = nullptr;
    EXPECT_EQ(pass.code, 0);
  }
  EXPECT_EQ(destination.samples, (std::vector<uint32_t>{1, 2, 1, 2, 1, 2}));
  EXPECT_TRUE(destination.ends.empty());
  EXPECT_EQ(status.code, 0);
}

TEST_F(tAIInterruptTransferTest, Bit15StuckFor30msIsTheFirstPassOwnFailure) {
  windows.setReadCallback(window, 0x136, [](unsigned) {
    nQoSim::advanceClock(1'000'000);
    return 0x8000u;
  });
  tStatus2 pass;
  transfer->lastConverted(timing, pass);
  EXPECT_EQ(pass.code, 0);
  EXPECT_TRUE(loggedAt(-50400, kBoardFile, 270));
}

// Two last-conversion passes at once for a conversion that does not finish: the second, begun 29 ms
// after the first, does not move the first one's time-out, which gives up after its own 30 ms while
// the second waits on.
TEST_F(tAIInterruptTransferTest, TwoLastConversionPassesAtOnceEachWaitTheirOwnTimeOut) {
  const tTwoLastConversionPasses passes = runTwoLastConversionPasses(
      30, [&](tStatus2& pass) { transfer->lastConverted(timing, pass); });
  EXPECT_FALSE(passes.firstReturnedEarly) << "the second pass cut the first one's wait short";
  EXPECT_TRUE(passes.firstReturned) << "the first pass waited past its own time-out";
  EXPECT_EQ(passes.timeOutsAtFirst, std::vector<unsigned>{270});
  EXPECT_EQ(passes.timeOuts, std::vector<unsigned>{270}) << "the second pass timed out too";
  EXPECT_EQ(passes.codes, (std::vector<int>{0, 0}));
}

TEST_F(tAIInterruptTransferTest, AWrongCountInTheLastDrainIsReportedAtTheBoardSite) {
  destination.fifo = fifo;
  destination.shortBy = 1;
  model.push({1, 2, 3});
  tStatus2 pass;
  transfer->lastConverted(timing, pass);
  transfer->lastConvertedSecondary(timing, pass);
  EXPECT_TRUE(loggedAt(-200222, kBoardFile, 298));
  EXPECT_EQ(destination.ends, (std::vector<int>{-200222}));
}

TEST_F(tAIInterruptTransferTest, DestroyingAnArmedTransferLeavesNoObserverBehind) {
  delete transfer;
  transfer = nullptr;
  // A FIFO pass now reaches no observer: a committed FIFO installs no handler.
  fifo->commit(status);
  EXPECT_EQ(dispatcher->primaryHandlers[nQoUdP100::tAIDeviceFIFOPrimitive::kFIFOSource], nullptr);
  EXPECT_EQ(dispatcher->primaryHandlers[nQoUdP100::tAIDeviceFIFOPrimitive::kOverflowSource],
            nullptr);
  converter->commit(status);
  EXPECT_EQ(dispatcher->primaryHandlers[nQoUdP100::tAI_ADCPrimitive::kOverrunSource], nullptr);
  fifo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A second link adds no record and leaves the run state: one unlink takes
// every record out, so that the converter's overrun handler then reaches
// the live transfer alone, not the destroyed one.
TEST_F(tAIInterruptTransferTest, ASecondLinkAddsNoRecordSoOneUnlinkTakesEveryRecordOut) {
  auto* other = new tAIInterruptTransferPrimitive(&description, converter, timing, fifo, deviceInfo,
                                                  map, status);
  other->configure(status);
  other->link(status);
  other->commit(status);
  other->link(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(other->runState(), 4u);
  other->uncommit(status);
  other->unlink(status);
  EXPECT_EQ(timing->findLastConvertObserver(other), nullptr);
  delete other;
  ASSERT_TRUE(converter->commit(status));
  EXPECT_EQ(dispatcher->primaryHandlers[2].load()->handleInterrupt(), 2u);
  EXPECT_EQ(transfer->counts().overrun, 1u);
  converter->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// The record end's second pass, on a thread of its own, drains the FIFO
// through the transfer; destroying the transfer waits for the pass to leave,
// and the pass still ends the run once.
TEST_F(tAIInterruptTransferTest, DestroyedDuringItsLastConvertSecondPassItWaitsForThePass) {
  destination.fifo = fifo;
  model.push({1, 2});
  armFiniteRun();
  ASSERT_EQ(raiseRecordEnd(), 1u);
  tHeldPass held;
  destination.onMove = [&held] { held.hold(); };
  held.run([&] { bus.pumpSecondary(); });
  held.tearDown([&] { delete transfer; });
  transfer = nullptr;
  EXPECT_TRUE(held.teardownWaited());
  EXPECT_EQ(destination.samples, (std::vector<uint32_t>{1, 2}));
  EXPECT_EQ(destination.ends, (std::vector<int>{0}));
  timing->disarm(status);
  timing->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// The FIFO's disarm, held at its write that switches the data source off,
// and the transfer's last-convert second pass beside it, which turns that
// source back on: the source stays off after the disarm, so the uncommit
// leaves it not on without its handler.
TEST_F(tAIInterruptTransferTest, ALastConvertPassBesideTheFIFOsDisarmLeavesTheDataSourceOff) {
  destination.fifo = fifo;
  fifo->commit(status);
  fifo->arm(status);
  tStatus2 disarmed, pass;
  // The first pass switched the source off; it is on again as the disarm
  // finds it.
  transfer->lastConverted(timing, pass);
  fifo->enableFIFOInterrupt(status);
  ASSERT_EQ(map->Interrupt_A_Enable.getRegister() & 0x0080, 0x0080);
  EXPECT_TRUE(passBesideHeldDisarm(
      windows, bus, 0x192, 0x0080, [&] { fifo->disarm(disarmed); },
      [&] { transfer->lastConvertedSecondary(timing, pass); }));
  EXPECT_EQ(destination.ends, (std::vector<int>{0}));
  EXPECT_EQ(map->Interrupt_A_Enable.getRegister() & 0x0080, 0);
  fifo->uncommit(status);
  EXPECT_EQ(disarmed.code, 0);
  EXPECT_EQ(pass.code, 0);
  EXPECT_EQ(status.code, 0);
}

// Holds the bus lock, in an atomic run on a thread of its own, until let go
// or its hold runs out.
struct tBusLockHolder : iBusAtomicOperation {
  int32_t operateAtomically() override {
    held.hold();
    return 0;
  }
  tHeldCall held;
};

// A last-convert second pass that waits for the bus lock to turn the FIFO's
// data source back on, and an arm of the next run beside it: the arm waits
// for the pass (the lock's hold runs out), so the source goes on for the
// pass's own run, never under the next run's last conversion.
TEST_F(tAIInterruptTransferTest, AnArmWaitsForTheLastDrainOfTheRunBeforeToTurnTheSourceOn) {
  destination.fifo = fifo;
  fifo->commit(status);
  fifo->arm(status);
  tStatus2 pass;
  model.push({1, 2});
  transfer->lastConverted(timing, pass);
  tBusLockHolder holder;
  std::thread locking([&] { bus.runAtomically(&holder, nullptr); });
  EXPECT_TRUE(holder.held.waitUntilInside());
  std::thread passing([&] { transfer->lastConvertedSecondary(timing, pass); });
  const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
  while (bus.atomicRunsWaiting() == 0 && std::chrono::steady_clock::now() < guard)
    std::this_thread::yield();
  EXPECT_EQ(bus.atomicRunsWaiting(), 1) << "the pass did not come to its enable";
  transfer->arm(status);
  holder.held.letGo();
  passing.join();
  locking.join();
  EXPECT_TRUE(holder.held.expired()) << "the arm returned before the pass of the run before left";
  EXPECT_EQ(destination.samples, (std::vector<uint32_t>{1, 2}));
  EXPECT_EQ(destination.ends, (std::vector<int>{0}));
  EXPECT_EQ(map->Interrupt_A_Enable.getRegister() & 0x0080, 0x0080);
  fifo->disarm(status);
  fifo->uncommit(status);
  EXPECT_EQ(pass.code, 0);
  EXPECT_EQ(status.code, 0);
}

// 0x80000000 blocks of 2 samples do not fit in 32 bits. Given under the
// run, they reach only the next commit: the FIFO pass moves the run's blocks,
// and that commit refuses them with -50175 and stays linked.
TEST_F(tAIInterruptTransferTest, ABlockCountWhoseSamplesDoNotFitIsRefused) {
  destination.fifo = fifo;
  model.push({1, 2, 3, 4});
  nQoUdP100::tAIDeviceFIFOPrimitiveConfig config;
  config.word3 = 0x80000000;
  fifo->setConfiguration(config, status);
  tStatus2 pass;
  EXPECT_EQ(transfer->fifoReady(fifo, pass), 1u);
  EXPECT_EQ(pass.code, 0);
  EXPECT_EQ(destination.counts, (std::vector<uint32_t>{2, 2}));
  EXPECT_TRUE(destination.ends.empty());

  transfer->disarm(status);
  transfer->uncommit(status);
  fifo->commit(status);
  tStatus2 local;
  transfer->commit(local);
  EXPECT_EQ(local.code, -50175);
  EXPECT_TRUE(loggedAt(-50175, kBaseFile, 135));
  EXPECT_EQ(transfer->runState(), 3u);
  config.word3 = 0x7FFFFFFF;  // 0xFFFFFFFE samples: the largest that fits
  fifo->setConfiguration(config, status);
  fifo->commit(status);
  transfer->commit(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(transfer->runState(), 4u);
  fifo->uncommit(status);
}

// A block count of 0 given to the FIFO under the run reaches only the next
// commit, which refuses it. An arm that no good commit came before has no
// block count: its FIFO pass ends the run with the commit's refusal instead
// of moving nothing for ever.
TEST_F(tAIInterruptTransferTest, ABlockCountOf0AfterTheCommitReachesOnlyTheNextCommit) {
  destination.fifo = fifo;
  model.push({1, 2, 3, 4, 5, 6});
  nQoUdP100::tAIDeviceFIFOPrimitiveConfig config;
  config.word3 = 0;
  fifo->setConfiguration(config, status);
  tStatus2 pass;
  EXPECT_EQ(transfer->fifoReady(fifo, pass), 1u);
  EXPECT_EQ(pass.code, 0);
  EXPECT_EQ(destination.samples, (std::vector<uint32_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_TRUE(destination.ends.empty());

  transfer->disarm(status);
  fifo->commit(status);
  tStatus2 refused;
  transfer->commit(refused);
  EXPECT_EQ(refused.code, -50150);
  EXPECT_TRUE(loggedAt(-50150, kBaseFile, 130));
  transfer->arm(status);
  clearLogs();
  model.push({7, 8});
  // A pass that keeps asking is let go once it has asked 100 times.
  destination.counts.clear();
  destination.onMove = [&] {
    uint32_t rest[4];
    tStatus2 drained;
    if (destination.counts.size() == 100) fifo->readSamples(rest, model.size(), drained);
  };
  tStatus2 armedAlone;
  EXPECT_EQ(transfer->fifoReady(fifo, armedAlone), 1u);
  EXPECT_EQ(armedAlone.code, -50150);
  EXPECT_TRUE(loggedAt(-50150, kBaseFile, 130));
  EXPECT_TRUE(destination.counts.empty());
  EXPECT_EQ(destination.ends, (std::vector<int>{-50150}));
}

// A FIFO committed with no threshold and a transfer committed with one block
// of 2, 6 samples in the FIFO, and a configuration of half-full mode with 2
// blocks given under the run: the pass drains the run's way, the 6 samples
// in blocks of 2 and no word of an empty FIFO. The next commits take the
// new blocks and threshold test: moves of 4 while bit 13 reads set.
TEST_F(tAIInterruptTransferTest, ADeployUnderTheRunReachesOnlyTheNextCommit) {
  destination.fifo = fifo;
  fifo->commit(status);
  fifo->arm(status);
  model.push({1, 2, 3, 4, 5, 6});
  nQoUdP100::tAIDeviceFIFOPrimitiveConfig config;
  config.fifoMode = 1;
  config.thresholdCode = 1;
  config.word3 = 2;
  fifo->setConfiguration(config, status);
  tStatus2 pass;
  transfer->fifoReady(fifo, pass);
  EXPECT_EQ(destination.samples, (std::vector<uint32_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(destination.counts, (std::vector<uint32_t>{2, 2, 2}));

  transfer->disarm(status);
  fifo->disarm(status);
  fifo->commit(status);
  transfer->commit(status);
  transfer->arm(status);
  fifo->arm(status);
  model.push({7, 8, 9, 10, 11, 12, 13, 14});
  model.setStatusBits(0x2000);
  destination.onMove = [&] { model.setStatusBits(0); };
  transfer->fifoReady(fifo, pass);
  EXPECT_EQ(destination.counts, (std::vector<uint32_t>{2, 2, 2, 4}));
  EXPECT_EQ(model.size(), 4u);
  EXPECT_EQ(pass.code, 0);
  EXPECT_TRUE(destination.ends.empty());
  fifo->disarm(status);
  fifo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// Each change of the engine's observer lists under an armed finite run (as a
// sample-clock wait's commit, uncommit or release makes it) keeps the arm:
// the record end brings the last conversion, the rest is drained and the
// run ends.
TEST_F(tAIInterruptTransferTest, AnObserverChangeUnderTheArmLeavesTheRunItsEnd) {
  using tTiming = nQoUdP100::tBaseAITimingControllerPrimitive;
  struct tOther : tTiming::iSampleStartObserver,
                  tTiming::iSampleEndObserver,
                  tTiming::iRecordEndObserver,
                  tTiming::iLastConvertObserver {
  } other;
  const std::function<void()> changes[] = {
      [&] { timing->addSampleStartObserver(&other, true, status); },
      [&] { timing->removeSampleStartObserver(&other, status); },
      [&] { timing->addSampleEndObserver(&other, status); },
      [&] { timing->removeSampleEndObserver(&other, status); },
      [&] { timing->addRecordEndObserver(&other, status); },
      [&] { timing->removeRecordEndObserver(&other, status); },
      [&] { timing->addLastConvertObserver(&other, status); },
      [&] { timing->removeLastConvertObserver(&other, status); }};
  destination.fifo = fifo;
  int row = 0;
  for (const auto& change : changes) {
    SCOPED_TRACE(row++);
    transfer->arm(status);
    armFiniteRun();
    model.push({7, 8});
    change();
    raiseRecordEnd();
    bus.pumpSecondary();
    EXPECT_EQ(model.size(), 0u);
    EXPECT_EQ(destination.ends, std::vector<int>(row, 0));
  }
  timing->disarm(status);
  timing->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tAIInterruptTransferTest, CommitRefusesAFIFOBlockCountOf0AndStartStopAreNotSupported) {
  transfer->disarm(status);
  transfer->uncommit(status);
  nQoUdP100::tAIDeviceFIFOPrimitiveConfig config;
  config.word3 = 0;
  fifo->setConfiguration(config, status);
  // The commit goes by the block count that the FIFO's commit took: one
  // given to the FIFO since reaches the commit after the FIFO's next.
  transfer->commit(status);
  EXPECT_EQ(status.code, 0);
  transfer->uncommit(status);
  fifo->commit(status);
  tStatus2 local;
  transfer->commit(local);
  EXPECT_EQ(local.code, -50150);
  EXPECT_EQ(transfer->runState(), 3u);
  fifo->uncommit(status);
  transfer->commit(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(transfer->runState(), 4u) << "the FIFO's uncommit kept the record of its commit";
  tStatus2 start;
  transfer->start(start);
  EXPECT_TRUE(loggedAt(-50256, kBaseFile, 155));
  tStatus2 stop;
  transfer->stop(stop);
  EXPECT_TRUE(loggedAt(-50256, kBaseFile, 164));
}

}  // namespace
}  // namespace nQoTest
