// The AO FIFO on the real map and dispatcher: a board without output FIFO,
// the channel order and its refusals, the DMA select, the arm sequence with
// its clear time, refills, the AO error and direct writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <future>
#include <thread>
#include <utility>
#include <vector>

#include "primitives/ao/tTavikAOTimingControllerPrimitive.h"
#include "primitives/ao/tTavikAO_FIFOPrimitive.h"
#include "primitives/aoFixture.h"
#include "sim/simSync.h"
#include "support/heldCall.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tAOFIFOFields;
using nQoUdP100::tTavikAO_FIFOPrimitive;
using nQoUdP100::tTavikAOTimingControllerPrimitive;

class tAOFIFOTest : public tAOTest {
 protected:
  void TearDown() override {
    windows.setRead(window, 0x106, 16, 0);
    delete timing;
    delete fifo;
    EXPECT_EQ(bus.registrations(), 0);
    tAOTest::TearDown();
  }
  void build() {
    fifo = new tTavikAO_FIFOPrimitive(&description, resources, status);
    timing = new tTavikAOTimingControllerPrimitive(&description, resources, fifo, status);
    fifo->setTimingController(timing);
    timing->setCompletionNotifier(&notifier);
    fifo->setDataSource(&source);
    // A board without output FIFO runs it in mode 2, one sample a refill.
    fifoDeployed = {};
    if (description.fifoDepth == 0) {
      fifoDeployed.fifoMode = 2;
      fifoDeployed.refillChunk = 1;
    }
    fifoDeployed.channelCount = 2;
    deployFIFO();
    ASSERT_EQ(status.code, 0);
    clearLogs();
  }

  // The settings deployed last, as the test wrote them, deployed whole.
  void deploy() { timing->deploy(deployed); }
  void deployFIFO() { fifo->deploy(fifoDeployed); }

  // The primitives built again over the description as it now stands.
  void rebuild() {
    delete timing;
    delete fifo;
    timing = nullptr;
    build();
  }

  tTavikAO_FIFOPrimitive* fifo = nullptr;
  tTavikAOTimingControllerPrimitive* timing = nullptr;
  nQoUdP100::tAOTimingFields deployed;
  nQoUdP100::tAOFIFOFields fifoDeployed;
};

// Built for a board without output FIFO, the FIFO keeps mode 2 and refills
// of one sample: a commit of settings of only a channel count programs mode
// 2, and a refill asks for one sample. Regeneration is refused and not
// deployed.
TEST_F(tAOFIFOTest, ABoardWithoutOutputFIFORefusesRegeneration) {
  description.fifoDepth = 0;
  fifo = new tTavikAO_FIFOPrimitive(&description, resources, status);
  EXPECT_EQ(fifo->halfFIFODepth(), 1u);
  fifo->setDataSource(&source);
  fifo->deploySettings({.channelCount = 2});
  fifo->setRegenerateFromFIFO(1, status);
  EXPECT_EQ(status.code, -223749);
  tStatus2 run;
  fifo->commit(run);
  EXPECT_EQ(windows.written(window, 0x14E, 16) & 0xE000, 0x8000u) << "mode 2, no regeneration";
  fifo->arm(run);
  source.perChunk = 0;
  windows.setRead(window, 0x106, 16, 0x8002);
  bus.raise(1);
  windows.setRead(window, 0x106, 16, 0);
  EXPECT_EQ(source.chunks, (std::vector<uint32_t>{1}));
  EXPECT_EQ(fifo->refillChunk(), 1u);
  fifo->uncommit(run);
  EXPECT_EQ(run.code, 0);
}

TEST_F(tAOFIFOTest, CommitRefusesABadChannelOrderBeforeAnyWrite) {
  description.maxChannels = 20;
  build();
  auto refused = [&](uint32_t count, uint32_t entry) {
    fifoDeployed.channelCount = count;
    deployFIFO();
    if (fifo->maxChannels() > 1) fifo->channelOrder()[1] = entry;
    tStatus2 commit;
    fifo->commit(commit);
    const bool nothingWritten = windows.writes().empty();
    return commit.code == -223749 && nothingWritten && fifo->state().getState() == 1;
  };
  EXPECT_TRUE(refused(0, 1)) << "no channel";
  EXPECT_TRUE(refused(17, 1)) << "more channels than order registers";
  EXPECT_TRUE(refused(2, 16)) << "an entry without register";
  fifo->channelOrder()[0] = 3;
  EXPECT_FALSE(refused(2, 1));
  // Channel 3 first, channel 1 second, every other register out of the sequence.
  for (uint32_t k = 0; k < 16; ++k) {
    const uint32_t expected = k == 3 ? 0 : k == 1 ? 1 : 15;
    EXPECT_EQ(windows.written(window, 0xC2 + 4 * k, 8), expected) << k;
  }
  EXPECT_EQ(fifo->state().getState(), 2u);
  // Refused under a commit, it changes nothing, the record included.
  tStatus2 bad;
  fifoDeployed.channelCount = 0;
  deployFIFO();
  fifo->commit(bad);
  EXPECT_EQ(bad.code, -223749);
  EXPECT_EQ(fifo->state().getState(), 2u);
  EXPECT_EQ(fifo->writeChannels(), 2u);
  EXPECT_EQ(fifo->programmed().channelCount, 2u);
  fifo->uncommit(status);

  description.maxChannels = 1;
  rebuild();
  EXPECT_TRUE(refused(2, 1)) << "more channels than the order holds";
}

TEST_F(tAOFIFOTest, TheChannelOrderTakesAsManyChannelsAsItHoldsUpToTheLastRegister) {
  description.maxChannels = 20;
  build();
  fifoDeployed.channelCount = 16;
  deployFIFO();
  for (uint32_t k = 0; k < 16; ++k) fifo->channelOrder()[k] = 15 - k;
  fifo->commit(status);
  ASSERT_EQ(status.code, 0);
  for (uint32_t k = 0; k < 16; ++k)
    EXPECT_EQ(windows.written(window, 0xC2 + 4 * k, 8), 15 - k) << k;
  EXPECT_EQ(fifo->state().getState(), 2u);
  fifo->uncommit(status);

  description.maxChannels = 1;
  rebuild();
  fifoDeployed.channelCount = 1;
  deployFIFO();
  fifo->channelOrder()[0] = 0;
  fifo->commit(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(fifo->state().getState(), 2u);
  fifo->uncommit(status);
}

TEST_F(tAOFIFOTest, TheDMASelectKeepsItsLowBitsUnderItsLock) {
  build();
  map->Write_0009.writeRegister(0x05, &status, 1);
  fifoDeployed.transferMechanism = tAOFIFOFields::kDMA;
  fifoDeployed.dmaChannel = 4;
  deployFIFO();
  clearLogs();
  fifo->commit(status);
  EXPECT_TRUE(hasWrite(0x09, 0x35, 8));
  const std::vector<int> locks = lockOrder(*map);
  EXPECT_NE(std::find(locks.begin(), locks.end(), 19), locks.end());
  EXPECT_EQ(dispatcher->primaryHandlers[9], nullptr) << "no refill handler for DMA";
  EXPECT_NE(dispatcher->primaryHandlers[14], nullptr);
  // Arm asks the DMA for data; a started FIFO uncommitted is completed, which
  // withdraws the request and switches the error sources off.
  fifo->arm(status);
  EXPECT_EQ(windows.written(window, 0x184, 16), 0x1000u);
  EXPECT_EQ(groupBEnable() & 0x20, 0x20);
  fifo->start(status);
  EXPECT_EQ(fifo->state().getState(), 4u);
  clearLogs();
  fifo->uncommit(status);
  EXPECT_EQ(windows.written(window, 0x184, 16), 0u);
  EXPECT_EQ(groupBEnable() & 0x20, 0);
  EXPECT_EQ(source.finished, (std::vector<int>{0}));
  EXPECT_TRUE(hasWrite(0x09, 0x05, 8));
  EXPECT_EQ(status.code, 0);
}

// A deploy while the FIFO is armed changes the mechanism of the next commit
// and arm only: uncommit and its completion undo what commit and arm did.
TEST_F(tAOFIFOTest, UncommitAndCompletionUndoTheMechanismOfTheirCommitAndArm) {
  build();
  map->Write_0009.writeRegister(0x05, &status, 1);
  fifoDeployed.transferMechanism = tAOFIFOFields::kDMA;
  fifoDeployed.dmaChannel = 4;
  deployFIFO();
  fifo->commit(status);
  fifo->arm(status);
  ASSERT_EQ(windows.written(window, 0x184, 16), 0x1000u);
  fifoDeployed.transferMechanism = tAOFIFOFields::kInterrupt;
  deployFIFO();
  clearLogs();
  fifo->uncommit(status);
  EXPECT_EQ(windows.written(window, 0x184, 16), 0u) << "the DMA request withdrawn";
  EXPECT_TRUE(hasWrite(0x09, 0x05, 8)) << "the DMA select cleared";
  EXPECT_EQ(source.finished, (std::vector<int>{0}));

  // Armed for interrupt refills, then deployed to direct writes: the
  // generation is still reported to its data source, once.
  fifo->commit(status);
  fifo->arm(status);
  fifoDeployed.transferMechanism = tAOFIFOFields::kDirect;
  deployFIFO();
  clearLogs();
  fifo->uncommit(status);
  EXPECT_EQ(source.finished, (std::vector<int>{0, 0}));
  EXPECT_FALSE(hasWrite(0x09, 0x05, 8)) << "no DMA select to clear";
  EXPECT_EQ(status.code, 0);
}

// A commit of an armed or started FIFO, which rewrites the channel order,
// the FIFO mode and the DMA select that the generation runs on, completes
// the arm first, with its one report: the DMA request withdrawn and the
// sources off before the channel order is written. The uncommit that
// follows completes nothing again.
TEST_F(tAOFIFOTest, ACommitOfAnArmedOrStartedFIFOCompletesTheArmFirst) {
  build();
  fifoDeployed.transferMechanism = tAOFIFOFields::kDMA;
  fifoDeployed.dmaChannel = 4;
  deployFIFO();
  fifo->commit(status);
  fifo->arm(status);
  fifo->start(status);
  clearLogs();
  fifo->commit(status);
  EXPECT_EQ(fifo->state().getState(), 2u);
  EXPECT_EQ(windows.written(window, 0x184, 16), 0u) << "the DMA request withdrawn";
  EXPECT_EQ(windows.written(window, 0x196, 16), 0u) << "the AO error source off";
  EXPECT_EQ(windows.written(window, 0xA0, 8), 0u) << "the serial sources off";
  EXPECT_EQ(source.finished, (std::vector<int>{0}));
  const tLog writes = windows.writes();
  const auto withdrawn = std::find(writes.begin(), writes.end(), wrote(0x184, 0));
  const auto order = std::find_if(writes.begin(), writes.end(),
                                  [](const tAccess& access) { return access.offset == 0xC2; });
  EXPECT_LT(withdrawn, order) << "the requests withdrawn before the channel order";
  fifo->uncommit(status);
  EXPECT_EQ(source.finished, (std::vector<int>{0}));

  // Armed for interrupt refills only, then committed again.
  fifoDeployed.transferMechanism = tAOFIFOFields::kInterrupt;
  deployFIFO();
  fifo->commit(status);
  fifo->arm(status);
  ASSERT_EQ(windows.written(window, 0x196, 16), 0x0120u);
  fifo->commit(status);
  EXPECT_EQ(windows.written(window, 0x196, 16), 0u) << "the error and refill sources off";
  EXPECT_EQ(windows.written(window, 0xA0, 8), 0u);
  EXPECT_EQ(source.finished, (std::vector<int>{0, 0}));
  fifo->uncommit(status);
  EXPECT_EQ(source.finished, (std::vector<int>{0, 0}));
  EXPECT_EQ(status.code, 0);
}

// A commit of an armed FIFO completes the arm first, with its report; when
// it then fails (an interrupt commit after a DMA one, at its first lock after
// the channel order), it gives back only what it took: the handlers of the
// commit before stay, and the uncommit ends them, clears the DMA select and
// reports nothing again.
TEST_F(tAOFIFOTest, AFailedSecondCommitKeepsTheHandlersOfTheFirstAndCompletesItsArm) {
  build();
  fifoDeployed.transferMechanism = tAOFIFOFields::kDMA;
  fifoDeployed.dmaChannel = 4;
  deployFIFO();
  fifo->commit(status);
  fifo->arm(status);
  ASSERT_EQ(windows.written(window, 0x184, 16), 0x1000u);
  ASSERT_EQ(windows.written(window, 0x196, 16), 0x0020u);
  fifoDeployed.transferMechanism = tAOFIFOFields::kInterrupt;
  deployFIFO();
  bool failing = false;
  windows.setWriteCallback(window, 0xC2, [&](unsigned, uint32_t) {
    if (!std::exchange(failing, true)) nQoSim::failNextAcquire(-50001);
  });
  tStatus2 failed;
  fifo->commit(failed);
  windows.setWriteCallback(window, 0xC2, {});
  EXPECT_TRUE(failing);
  EXPECT_EQ(failed.code, -50001);
  for (uint32_t source : {14u, 10u, 11u, 12u, 13u})
    EXPECT_NE(dispatcher->primaryHandlers[source], nullptr) << source;
  EXPECT_EQ(dispatcher->primaryHandlers[9], nullptr);
  EXPECT_EQ(windows.written(window, 0x184, 16), 0u) << "the arm's DMA request withdrawn";
  EXPECT_EQ(windows.written(window, 0x196, 16), 0u) << "the arm's error source off";
  EXPECT_EQ(source.finished, (std::vector<int>{0})) << "the arm completed";
  EXPECT_EQ(fifo->state().getState(), 2u);
  fifo->uncommit(status);
  EXPECT_EQ(windows.written(window, 0x184, 16), 0u);
  EXPECT_EQ(windows.written(window, 0x196, 16), 0u);
  EXPECT_EQ(map->Write_0009.getRegister() & 0xF0, 0u) << "the DMA select cleared";
  EXPECT_EQ(dispatcher->primaryHandlers[14], nullptr);
  EXPECT_EQ(source.finished, (std::vector<int>{0}));
  EXPECT_EQ(status.code, 0);
}

// The last handler's removal fails to switch the board interrupt off; the
// DMA select is still cleared and the failure reported.
TEST_F(tAOFIFOTest, AFailedHandlerRemovalStillClearsTheDMASelect) {
  build();
  fifoDeployed.transferMechanism = tAOFIFOFields::kDMA;
  fifoDeployed.dmaChannel = 4;
  deployFIFO();
  fifo->commit(status);
  ASSERT_EQ(status.code, 0);
  ASSERT_EQ(map->Write_0009.getRegister() & 0xF0, 0x30u);
  bus.failNext(tCall::kAtomic, -50001);
  tStatus2 uncommitted;
  fifo->uncommit(uncommitted);
  EXPECT_EQ(uncommitted.code, -50001);
  EXPECT_EQ(dispatcher->primaryHandlers[14], nullptr);
  EXPECT_EQ(map->Write_0009.getRegister() & 0xF0, 0u);
  EXPECT_EQ(fifo->state().getState(), 1u);
}

// A FIFO lock that refuses is reported: the DMA request is then not
// changed without it, but a completion still withdraws it and finishes.
TEST_F(tAOFIFOTest, AFIFOLockThatRefusesIsReportedAndACompletionStillEnds) {
  build();
  fifoDeployed.transferMechanism = tAOFIFOFields::kDMA;
  fifoDeployed.dmaChannel = 4;
  deployFIFO();
  fifo->commit(status);
  fifo->arm(status);
  ASSERT_EQ(windows.written(window, 0x184, 16), 0x1000u);
  clearLogs();
  nQoSim::clearSyncLog();
  nQoSim::failNextAcquire(-50001);
  tStatus2 completed;
  fifo->complete(completed);
  EXPECT_EQ(completed.code, -50001);
  EXPECT_EQ(windows.written(window, 0x184, 16), 0u) << "the DMA request withdrawn";
  EXPECT_EQ(source.finished, (std::vector<int>{0}));
  for (const auto& record : nQoSim::syncLog())
    EXPECT_NE(record.operation, nQoSim::tSyncRecord::kRelease);
  fifo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tAOFIFOTest, ArmClearsTheFIFOTwiceWaitsTheClearTimeAndEnablesRefillsLast) {
  build();
  fifo->commit(status);
  clearLogs();
  const uint64_t before = nQoSim::clockNanoseconds();
  fifo->arm(status);
  EXPECT_GE(nQoSim::clockNanoseconds() - before, 700u);
  const tLog writes = windows.writes();
  const tLog head(writes.begin(), writes.begin() + 9);
  EXPECT_EQ(head, (tLog{wrote(0x1A8, 1), wrote(0xA4, 0, 32), wrote(0xA4, 0, 32), wrote(0x1A8, 1),
                        wrote(0x106, 8192), wrote(0xA1, 0x01, 8), wrote(0xA1, 0x02, 8),
                        wrote(0xA1, 0x04, 8), wrote(0xA1, 0x08, 8)}));
  EXPECT_EQ(writes.back(), wrote(0x196, 0x0120));
  EXPECT_EQ(windows.written(window, 0xA0, 8), 0x0Fu);
  EXPECT_EQ(source.singles, 2u) << "mode 0 preloads one sample per channel";
  EXPECT_EQ(fifo->state().getState(), 3u);
  fifo->uncommit(status);
  EXPECT_EQ(source.finished, (std::vector<int>{0}));
  EXPECT_EQ(groupBEnable() & 0x120, 0u);
}

TEST_F(tAOFIFOTest, ARefillThatReachesTheTotalEndsWithoutErrorAndSwitchesRefillsOff) {
  build();
  fifoDeployed.totalSamples = 6;
  deployFIFO();
  fifo->commit(status);
  fifo->arm(status);
  windows.setRead(window, 0x106, 16, 0x8002);
  EXPECT_EQ(bus.raise(1), 2u) << "handled, no secondary pass";
  EXPECT_EQ(source.chunks, (std::vector<uint32_t>{2, 2}));
  EXPECT_TRUE(fifo->isDone());
  EXPECT_EQ(fifo->ownStatus().code, 0);
  EXPECT_EQ(groupBEnable() & 0x100, 0u);

  // A refill that writes nothing before the total is reached: -200290.
  tStatus2 again;
  fifoDeployed.totalSamples = 100;
  deployFIFO();
  source.perChunk = 0;
  windows.setRead(window, 0x106, 16, 0);
  fifo->arm(again);
  windows.setRead(window, 0x106, 16, 0x8002);
  EXPECT_EQ(bus.raise(1), 2u);
  EXPECT_EQ(fifo->ownStatus().code, -200290);
  windows.setRead(window, 0x106, 16, 0);
  fifo->uncommit(again);
  EXPECT_EQ(source.finished, (std::vector<int>{0, -200290}))
      << "each run reported once: the first, never completed, by the second arm";
}

TEST_F(tAOFIFOTest, AnAOErrorStopsTheGenerationAndReachesTheDataSourceOnce) {
  build();
  fifo->commit(status);
  fifo->arm(status);
  timing->commit(status);
  timing->arm(status);
  clearLogs();
  const uint16_t command1 = map->AO_Command_1.getRegister();
  windows.setRead(window, 0x106, 16, 0x9200);
  EXPECT_EQ(bus.raise(1), 1u);
  const tLog writes = windows.writes();
  ASSERT_GE(writes.size(), 3u);
  EXPECT_EQ(writes[0], wrote(0x190, 32));
  EXPECT_EQ(writes[1], wrote(0x112, command1 | 0x2000));
  EXPECT_EQ(writes[2], wrote(0x190, 512));
  EXPECT_TRUE(hasWrite(0x106, 8192));
  EXPECT_EQ(groupBEnable() & 0x120, 0u);
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  EXPECT_EQ(source.finished, (std::vector<int>{-200016}));
  EXPECT_EQ(notifier.done, 1) << "the timing controller was disarmed";
  EXPECT_EQ(timing->state().getState(), 2u);
  windows.setRead(window, 0x106, 16, 0);
  fifo->uncommit(status);
  timing->uncommit(status);
  EXPECT_EQ(source.finished.size(), 1u);
}

// The second pass of an AO error acts on the run whose error the first pass
// saw: one that runs after the task completed that run and armed the next
// (FIFO and timing engine) leaves the new run armed and running, its sources
// on and unreported; the next run's own error ends it.
TEST_F(tAOFIFOTest, AnErrorsSecondPassAfterTheNextArmLeavesTheNewRunAlone) {
  build();
  fifo->commit(status);
  fifo->arm(status);
  timing->commit(status);
  timing->arm(status);
  timing->start(status);
  windows.setRead(window, 0x106, 16, 0x9200);
  EXPECT_EQ(bus.raise(1), 1u);
  windows.setRead(window, 0x106, 16, 0);
  fifo->complete(status);
  EXPECT_EQ(source.finished, (std::vector<int>{-200016}));
  timing->disarm(status);
  fifo->arm(status);
  timing->arm(status);
  timing->start(status);
  ASSERT_EQ(groupBEnable() & 0x0021, 0x0021u) << "the new run's error and completion sources";
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  EXPECT_EQ(source.finished.size(), 1u) << "the new run unreported";
  EXPECT_EQ(fifo->state().getState(), 3u);
  EXPECT_EQ(timing->state().getState(), 4u);
  EXPECT_EQ(groupBEnable() & 0x0021, 0x0021u);
  EXPECT_EQ(notifier.done, 1);

  windows.setRead(window, 0x106, 16, 0x9200);
  EXPECT_EQ(bus.raise(1), 1u);
  windows.setRead(window, 0x106, 16, 0);
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  EXPECT_EQ(source.finished, (std::vector<int>{-200016, -200016}));
  EXPECT_EQ(timing->state().getState(), 2u);
  EXPECT_EQ(notifier.done, 2);
  fifo->uncommit(status);
  timing->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tAOFIFOTest, DirectWritesTestTheFIFOStatusAsTheDepthCallsFor) {
  description.fifoDepth = 1;
  build();
  fifoDeployed.transferMechanism = tAOFIFOFields::kDirect;
  deployFIFO();
  fifo->commit(status);
  EXPECT_EQ(dispatcher->primaryHandlers[14], nullptr) << "no interrupts for direct writes";
  windows.setRead(window, 0x106, 16, 0x4000);  // bit 14: full
  const int16_t samples[] = {-2, 5};
  clearLogs();
  EXPECT_EQ(fifo->writeSample(samples, status), 1u);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0xA4, 0xFFFFFFFE, 32)}));
  EXPECT_EQ(fifo->writeSamples(samples, 1, status), 0u);
  EXPECT_EQ(status.code, -200795);
  fifo->uncommit(status);

  // Committed to pulse an update before each write (the update flag clear),
  // a write pulses whatever a deploy set since, and one committed without
  // pulses none.
  const auto pulsed = [&] {
    for (const tAccess& access : windows.writes())
      if (access.offset == 0x112 && (access.value & 0x0001) != 0) return true;
    return false;
  };
  for (const bool committedPulse : {true, false}) {
    SCOPED_TRACE(committedPulse ? "committed with pulses" : "committed without");
    tStatus2 written;
    fifoDeployed.pulseBeforeWrite = committedPulse ? 1 : 0;
    deployFIFO();
    fifo->commit(written);
    fifoDeployed.pulseBeforeWrite = committedPulse ? 0 : 1;
    deployFIFO();
    windows.setRead(window, 0x106, 16, 0);
    clearLogs();
    EXPECT_EQ(fifo->writeSample(samples, written), 1u);
    EXPECT_EQ(pulsed(), committedPulse);
    EXPECT_EQ(written.code, 0);
    fifo->uncommit(written);
  }
}

TEST_F(tAOFIFOTest, DirectWritesRefuseACountThatReachesTheDepthOrTheChannelCount) {
  description.fifoDepth = 4;
  build();
  fifoDeployed.transferMechanism = tAOFIFOFields::kDirect;
  deployFIFO();
  fifo->commit(status);
  const int16_t samples[] = {1, 2, 3, 4};
  clearLogs();
  EXPECT_EQ(fifo->writeSamples(samples, 3, status), 3u);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(windows.writes().size(), 3u);
  clearLogs();
  tStatus2 full;
  EXPECT_EQ(fifo->writeSamples(samples, 4, full), 0u);
  EXPECT_EQ(full.code, -200795);
  EXPECT_TRUE(windows.writes().empty());
  fifo->uncommit(status);

  // No FIFO: bit 12 set, and fewer samples than channels.
  description.fifoDepth = 0;
  rebuild();
  fifoDeployed.transferMechanism = tAOFIFOFields::kDirect;
  deployFIFO();
  fifo->commit(status);
  windows.setRead(window, 0x106, 16, 0x1000);
  clearLogs();
  EXPECT_EQ(fifo->writeSamples(samples, 1, status), 1u);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0xA4, 1, 32)}));
  tStatus2 channels;
  EXPECT_EQ(fifo->writeSamples(samples, 2, channels), 0u);
  EXPECT_EQ(channels.code, -200795);
  fifo->uncommit(status);
}

// A direct write under way in its port access (another thread's, held after
// its first sample) when an arm or a commit comes: the step waits for it
// before it clears or reprograms the FIFO, so both samples come before the
// step's first write.
TEST_F(tAOFIFOTest, AnArmOrACommitWaitsForTheDirectWritesUnderWay) {
  build();
  fifoDeployed.transferMechanism = tAOFIFOFields::kDirect;
  deployFIFO();
  fifo->commit(status);
  const int16_t samples[] = {0x1234, 0x5678};
  for (const bool arming : {true, false}) {
    SCOPED_TRACE(arming ? "an arm" : "a commit");
    clearLogs();
    tHeldCall held;
    windows.onWritten([&](unsigned, uint32_t offset, uint32_t value) {
      if (offset == 0xA4 && value == 0x1234) held.hold();
    });
    tStatus2 written;
    uint32_t count = 0;
    std::thread writer([&] { count = fifo->writeSamples(samples, 2, written); });
    ASSERT_TRUE(held.waitUntilInside());
    tStatus2 stepped;
    if (arming)
      fifo->arm(stepped);
    else
      fifo->commit(stepped);
    held.letGo();
    writer.join();
    windows.onWritten(nullptr);
    EXPECT_TRUE(held.expired()) << "the step went on beside the write";
    const tLog writes = windows.writes();
    ASSERT_GE(writes.size(), 3u);
    EXPECT_EQ(writes[0], wrote(0xA4, 0x1234, 32));
    EXPECT_EQ(writes[1], wrote(0xA4, 0x5678, 32)) << "the step wrote first";
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(written.code, 0);
    EXPECT_EQ(stepped.code, 0);
  }
  fifo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A FIFO destroyed while armed (a board's teardown under an armed task)
// switches the arm's sources off, withdraws its DMA requests and clears the
// DMA select its commit wrote before its handlers leave the slots; its data
// source, which may be gone, hears nothing.
TEST_F(tAOFIFOTest, TheDestructionOfAnArmedFIFOSwitchesTheArmOffWithoutAReport) {
  for (const uint32_t mechanism : {tAOFIFOFields::kInterrupt, tAOFIFOFields::kDMA}) {
    SCOPED_TRACE(mechanism);
    rebuild();
    fifoDeployed.transferMechanism = mechanism;
    fifoDeployed.dmaChannel = 4;
    deployFIFO();
    fifo->commit(status);
    fifo->arm(status);
    ASSERT_EQ(windows.written(window, 0x196, 16) & 0x120, mechanism == 1 ? 0x120u : 0x20u);
    ASSERT_EQ(windows.written(window, 0xA0, 8), 0x0Fu);
    delete fifo;
    fifo = nullptr;
    EXPECT_EQ(windows.written(window, 0x196, 16) & 0x120, 0u) << "error and refill sources off";
    EXPECT_EQ(windows.written(window, 0xA0, 8), 0u) << "serial sources off";
    EXPECT_EQ(windows.written(window, 0x184, 16), 0u) << "no DMA requests";
    EXPECT_EQ(windows.written(window, 0x09, 8) & 0xF0, 0u) << "no DMA select";
    for (uint32_t slot = 9; slot <= 14; ++slot)
      EXPECT_EQ(dispatcher->primaryHandlers[slot], nullptr) << slot;
    EXPECT_TRUE(source.finished.empty());
  }
  EXPECT_EQ(status.code, 0);
}

// An arm switches on only the sources whose handlers a commit attached: with
// no commit, or after a direct commit and a deploy to interrupt refills, it
// switches none on; after the interrupt commit, all.
TEST_F(tAOFIFOTest, AnArmSwitchesOnOnlyTheSourcesWhoseHandlersACommitAttached) {
  for (const bool directFirst : {false, true}) {
    SCOPED_TRACE(directFirst ? "a direct commit, then interrupt refills" : "no commit");
    rebuild();
    if (directFirst) {
      fifoDeployed.transferMechanism = tAOFIFOFields::kDirect;
      deployFIFO();
      fifo->commit(status);
    }
    fifoDeployed.transferMechanism = tAOFIFOFields::kInterrupt;
    deployFIFO();
    fifo->arm(status);
    EXPECT_EQ(windows.written(window, 0x196, 16) & 0x120, 0u) << "error and refill sources";
    EXPECT_EQ(windows.written(window, 0xA0, 8), 0u) << "serial sources";
    fifo->complete(status);
    fifo->commit(status);
    fifo->arm(status);
    EXPECT_EQ(windows.written(window, 0x196, 16) & 0x120, 0x120u);
    EXPECT_EQ(windows.written(window, 0xA0, 8), 0x0Fu);
    fifo->complete(status);
  }
  EXPECT_EQ(status.code, 0);
}

// The DMA select is cleared by the record of the select written: by a commit
// of interrupt refills after a deploy, which no longer uses it, and else by
// the uncommit, once.
TEST_F(tAOFIFOTest, TheUncommitClearsTheDMASelectThatACommitWroteWhateverCommitFollowed) {
  build();
  map->Write_0009.writeRegister(0x05, &status, 1);
  fifoDeployed.transferMechanism = tAOFIFOFields::kDMA;
  fifoDeployed.dmaChannel = 4;
  deployFIFO();
  fifo->commit(status);
  ASSERT_EQ(windows.written(window, 0x09, 8), 0x35u);
  fifoDeployed.transferMechanism = tAOFIFOFields::kInterrupt;
  deployFIFO();
  fifo->commit(status);
  EXPECT_EQ(windows.written(window, 0x09, 8), 0x05u) << "cleared by the interrupt commit";
  fifo->uncommit(status);
  EXPECT_EQ(windows.written(window, 0x09, 8), 0x05u) << "the DMA select cleared";
  fifo->commit(status);
  clearLogs();
  fifo->uncommit(status);
  EXPECT_FALSE(hasWrite(0x09, 0x05, 8)) << "cleared once";
  EXPECT_EQ(status.code, 0);
}

// A commit of a FIFO armed for DMA that would route the DMA to another
// channel completes the arm first, with its report: the requests withdrawn
// and the sources off before the new select is written. The handlers stay.
TEST_F(tAOFIFOTest, ACommitThatWouldRerouteTheDMAOfAnArmCompletesItFirst) {
  build();
  fifoDeployed.transferMechanism = tAOFIFOFields::kDMA;
  fifoDeployed.dmaChannel = 4;
  deployFIFO();
  fifo->commit(status);
  fifo->arm(status);
  ASSERT_EQ(windows.written(window, 0x184, 16), 0x1000u);
  fifoDeployed.dmaChannel = 5;
  deployFIFO();
  clearLogs();
  fifo->commit(status);
  const tLog writes = windows.writes();
  const auto at = [&](const tAccess& access) {
    return std::find(writes.begin(), writes.end(), access) - writes.begin();
  };
  EXPECT_LT(at(wrote(0x184, 0)), at(wrote(0x09, 0x50, 8))) << "requests withdrawn first";
  EXPECT_LT(at(wrote(0x196, 0)), at(wrote(0x09, 0x50, 8))) << "error source off first";
  EXPECT_LT(at(wrote(0x09, 0x50, 8)), static_cast<std::ptrdiff_t>(writes.size()));
  EXPECT_EQ(source.finished, (std::vector<int>{0}));
  EXPECT_NE(dispatcher->primaryHandlers[14], nullptr);
  EXPECT_EQ(fifo->state().getState(), 2u);
  fifo->uncommit(status);
  EXPECT_EQ(source.finished.size(), 1u);
  EXPECT_EQ(status.code, 0);
}

// An arm goes by what its commit set up, whatever a deploy wrote since: a
// run committed for interrupt refills and deployed to DMA is preloaded and
// fed by its refill source, with no DMA request; one committed for DMA and
// deployed to interrupt refills asks for DMA, with no refill source and no
// preload. Its refills go by the commit's channel count and FIFO mode and
// the arm's total, and the direct writes of a direct commit keep their full
// test after a deploy of refills.
TEST_F(tAOFIFOTest, AnArmAfterADeployFeedsItsRunByWhatTheCommitSetUp) {
  build();
  fifoDeployed.totalSamples = 6;
  deployFIFO();
  fifo->commit(status);
  fifoDeployed.transferMechanism = tAOFIFOFields::kDMA;
  fifoDeployed.dmaChannel = 4;
  deployFIFO();
  fifo->arm(status);
  EXPECT_EQ(windows.written(window, 0x196, 16) & 0x0120, 0x0120u) << "error and refill sources";
  EXPECT_EQ(windows.written(window, 0x184, 16) & 0x1000, 0u) << "no DMA request";
  EXPECT_EQ(source.singles, 2u) << "the preload";
  fifoDeployed.totalSamples = 100;
  fifoDeployed.channelCount = 3;
  fifoDeployed.fifoMode = 1;
  deployFIFO();
  EXPECT_EQ(fifo->writeChannels(), 2u) << "the scans of a write";
  windows.setRead(window, 0x106, 16, 0x8002);
  EXPECT_EQ(bus.raise(1), 2u);
  EXPECT_EQ(source.chunks, (std::vector<uint32_t>{2, 2})) << "two channels up to the total 6";
  EXPECT_TRUE(fifo->isDone());
  windows.setRead(window, 0x106, 16, 0);
  fifo->complete(status);
  EXPECT_EQ(source.finished, (std::vector<int>{0}));
  fifo->uncommit(status);

  map->Write_0009.writeRegister(0x05, &status, 1);
  fifoDeployed.channelCount = 2;
  fifoDeployed.fifoMode = 0;
  deployFIFO();
  fifo->commit(status);
  ASSERT_EQ(windows.written(window, 0x09, 8), 0x35u);
  fifoDeployed.transferMechanism = tAOFIFOFields::kInterrupt;
  deployFIFO();
  const uint32_t singles = source.singles;
  clearLogs();
  fifo->arm(status);
  EXPECT_EQ(windows.written(window, 0x184, 16) & 0x1000, 0x1000u) << "the DMA request";
  EXPECT_EQ(windows.written(window, 0x196, 16) & 0x0120, 0x0020u) << "no refill source";
  EXPECT_EQ(source.singles, singles) << "no preload";
  fifo->start(status);
  fifo->complete(status);
  EXPECT_EQ(windows.written(window, 0x184, 16) & 0x1000, 0u) << "the DMA request withdrawn";
  EXPECT_EQ(source.finished, (std::vector<int>{0, 0}));
  fifo->uncommit(status);
  EXPECT_EQ(windows.written(window, 0x09, 8), 0x05u);

  fifoDeployed.transferMechanism = tAOFIFOFields::kDirect;
  deployFIFO();
  fifo->commit(status);
  fifoDeployed.transferMechanism = tAOFIFOFields::kInterrupt;
  deployFIFO();
  windows.setRead(window, 0x106, 16, 0x4000);  // bit 14: full
  const int16_t samples[] = {1, 2};
  clearLogs();
  tStatus2 full;
  EXPECT_EQ(fifo->writeSamples(samples, 2, full), 0u);
  EXPECT_EQ(full.code, -200795);
  EXPECT_TRUE(windows.writes().empty());
  windows.setRead(window, 0x106, 16, 0);
  fifo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

}  // namespace
}  // namespace nQoTest

namespace nQoTest {
namespace {

TEST_F(tAOFIFOTest, APreloadThatEndsShortNamesTheDevice) {
  const nQoORB100::tGUID device{0x1122, 0x3344};
  resources.device = &device;
  build();
  fifoDeployed.totalSamples = 10;
  deployFIFO();
  source.perSample = 0;
  fifo->commit(status);
  fifo->arm(status);
  EXPECT_EQ(status.code, 0) << "interrupt-level errors stay in the FIFO's own status";
  EXPECT_TRUE(fifo->isDone());
  EXPECT_EQ(fifo->ownStatus().code, -200166);
  EXPECT_NE(fifo->ownStatus().description, nullptr);
  EXPECT_EQ(source.singles, 1u);
  fifo->uncommit(status);
  EXPECT_EQ(source.finished, (std::vector<int>{-200166}));
}

// With regeneration, a DMA start goes on its own run's data-loaded report,
// also one between the arm and the start; without it the start times out
// with the DMA requests still on: the report of the run before lets neither
// the same task's second run nor the next owner's first run turn the
// requests off before their data are loaded.
TEST_F(tAOFIFOTest, ARegeneratingDMAStartGoesOnTheLoadOfItsOwnRunOnly) {
  build();
  fifoDeployed.transferMechanism = tAOFIFOFields::kDMA;
  fifoDeployed.dmaChannel = 4;
  deployFIFO();
  fifo->setRegenerateFromFIFO(1, status);
  // Starts on a thread of its own while the test clock moves on: the start's
  // code, and the DMA requests as it left them.
  auto started = [&] {
    tStatus2 start;
    auto call = std::async(std::launch::async, [&] { fifo->start(start); });
    const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
    while (call.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready &&
           std::chrono::steady_clock::now() < guard)
      nQoSim::advanceClock(1'000'000'000);
    if (call.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
      fifo->signalDataLoaded();
    call.wait();
    return std::pair{start.code, windows.written(window, 0x184, 16)};
  };
  const auto loaded = std::pair{0, 0u};
  const auto notLoaded = std::pair{-50400, 0x1000u};

  fifo->commit(status);
  fifo->arm(status);
  fifo->signalDataLoaded();
  EXPECT_EQ(started(), loaded) << "loaded between the arm and the start";
  fifo->complete(status);
  fifo->arm(status);
  EXPECT_EQ(started(), notLoaded) << "the same task's second run";
  fifo->uncommit(status);
  fifo->commit(status);
  fifo->arm(status);
  EXPECT_EQ(started(), notLoaded) << "the next owner's first run";
  fifo->uncommit(status);

  // The DMA loads the FIFO as soon as the arm turns the requests on, and
  // reports it while the arm still runs: that load is the run's own.
  windows.setWriteCallback(window, 0x184, [&](unsigned, uint32_t value) {
    if ((value & 0x1000) != 0) fifo->signalDataLoaded();
  });
  fifo->commit(status);
  fifo->arm(status);
  windows.setWriteCallback(window, 0x184, {});
  EXPECT_EQ(started(), loaded) << "loaded while the arm turned the requests on";
  fifo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A run completed (its stop, its second pass) owes the uncommit nothing of
// the arm's undo: the uncommit runs only its own steps (the handlers out with
// the board interrupt, the DMA select cleared), not the completion's request
// withdrawal and flush again, and reports no second completion. A start with
// no arm starts nothing, and a completion (the timing engine's stop) of an
// uncommitted FIFO leaves it uncommitted.
TEST_F(tAOFIFOTest, AnUncommitAfterTheCompletionUndoesNothingOfTheArm) {
  build();
  fifoDeployed.transferMechanism = tAOFIFOFields::kDMA;
  fifoDeployed.dmaChannel = 4;
  deployFIFO();
  fifo->commit(status);
  fifo->arm(status);
  fifo->start(status);
  fifo->complete(status);
  ASSERT_EQ(windows.written(window, 0x184, 16), 0u);
  ASSERT_EQ(source.finished, (std::vector<int>{0}));
  fifo->start(status);
  EXPECT_EQ(fifo->state().getState(), 2u) << "a start with no arm";
  clearLogs();
  fifo->uncommit(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(windows.log(),
            (tLog{kAtomicBegin, wrote(0x176, 0x8000), wrote(0x176, 0x0000), wrote(0x88, 0x00, 8),
                  kAtomicEnd, wrote(0x09, 0x00, 8), kBusFlush}));
  EXPECT_EQ(source.finished, (std::vector<int>{0}));
  EXPECT_EQ(fifo->state().getState(), 1u);
  fifo->complete(status);
  EXPECT_EQ(fifo->state().getState(), 1u) << "a completion after the uncommit";
  EXPECT_EQ(source.finished, (std::vector<int>{0}));
}

}  // namespace
}  // namespace nQoTest
