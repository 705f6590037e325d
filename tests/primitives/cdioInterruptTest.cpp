// The correlated interrupt transfers: the transfer loops behind the FIFO
// interrupt, the single-sample switch near the end of a finite input, the
// end reported once, and the failures of the loops.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "kal/nQoKAL.h"
#include "primitives/cdio/tBaseCDIInterruptTransferPrimitive.h"
#include "primitives/cdio/tBaseCDOInterruptTransferPrimitive.h"
#include "primitives/cdioFixture.h"
#include "primitives/cdioPartners.h"
#include "sim/simAllocator.h"
#include "sim/simSync.h"
#include "support/heldCall.h"
#include "support/statusRecords.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tBaseCDIInterruptTransferPrimitive;
using nQoUdP100::tBaseCDOInterruptTransferPrimitive;
using tStrings = std::vector<std::string>;

constexpr uint32_t kInputCondition = 0x40000;
constexpr uint32_t kOutputCondition = 0x4;
constexpr char kInputFile[] = "source/qomiop/cdio/tBaseCDIInterruptTransferPrimitive";
constexpr char kOutputFile[] = "source/qomiop/cdio/tBaseCDOInterruptTransferPrimitive";

// n times the same string.
tStrings times(int n, const std::string& call) { return tStrings(n, call); }
tStrings operator+(tStrings a, const tStrings& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class tCDIOInterruptTest : public tCDIOTest {
 protected:
  void SetUp() override {
    tCDIOTest::SetUp();
    input = new tBaseCDIInterruptTransferPrimitive(&deviceInfo, &description, cdi, status);
    output = new tBaseCDOInterruptTransferPrimitive(&deviceInfo, &description, cdo, status);
    ASSERT_EQ(status.code, 0);
  }
  void TearDown() override {
    delete output;
    delete input;
    tCDIOTest::TearDown();
  }
  void runInput(uint32_t mode, uint32_t chunk, uint32_t total, uint32_t limit = 1000000,
                bool withDestination = true) {
    input->setDestination(withDestination ? &destination : nullptr);
    input->setSampleMode(mode);
    input->setChunkSize(chunk);
    input->setTotal(total);
    input->setLimit(limit);
    input->registerObservers(status);
    cdi->setModeFlag(1, status, 0);
    cdi->commit(status);
    cdi->arm(status);
    input->commit(status);
    input->arm(status);
    input->start(status);
    ASSERT_EQ(status.code, 0);
    clearLogs();
  }
  // One FIFO interrupt whose condition holds for the given number of checks.
  void inputInterrupt(int chunks, bool endsByItself = false) {
    for (int chunk = 0; chunk < chunks; ++chunk) fifos->scriptStatus({kInputCondition, 0});
    if (!endsByItself) fifos->scriptStatus({0});
    board->primaryHandlers[kCDIFIFO].load()->handleInterrupt();
  }

  tPartnerLog log;
  tDataPartner<tBaseCDIInterruptTransferPrimitive::iDestination> destination{&log};
  tDataPartner<tBaseCDOInterruptTransferPrimitive::iSource> source{&log};
  tBaseCDIInterruptTransferPrimitive* input = nullptr;
  tBaseCDOInterruptTransferPrimitive* output = nullptr;
};

TEST_F(tCDIOInterruptTest, AFiniteInputSwitchesToSingleSamplesNearTheEndAndEndsOnce) {
  runInput(1, 64, 1000);
  for (int n = 0; n < 8; ++n) inputInterrupt(1);
  EXPECT_EQ(log.calls, times(8, "data 256"));
  EXPECT_EQ(at(windows.writes(), 0x228), (tLog{wrote32(0x228, 0x200)}));  // bit 11 cleared
  EXPECT_EQ(input->chunkSize(), 1u);
  for (int n = 0; n < 487; ++n) inputInterrupt(1);
  clearLogs();
  inputInterrupt(1, true);
  EXPECT_EQ(log.calls, times(8, "data 256") + times(488, "data 4") + tStrings{"ended 0"});
  EXPECT_EQ(windows.writes(), (tLog{wrote32(0x224, 0x4), wrote32(0x224, 0x20)}));
  EXPECT_EQ(input->transferred(), 1000u);

  clearLogs();
  input->stop(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_TRUE(windows.log().empty());
  EXPECT_EQ(input->chunkSize(), 64u);
  EXPECT_EQ(log.endings(), 1);
  cdi->disarm(status);
  cdi->uncommit(status);
  cdi->commit(status);  // the saved mode flag comes back at the next commit
  EXPECT_EQ(map->CDI_Mode.getRegister() & 0x800, 0x800u);
}

// The stop's end cannot take the transfer lock: the chunk size and the FIFO's
// mode flag still come back, and the lock's failure is reported.
TEST_F(tCDIOInterruptTest, AFailedEndAtStopStillGivesTheFIFOItsModeFlagBack) {
  runInput(1, 64, 1000);
  for (int n = 0; n < 8; ++n) inputInterrupt(1);
  ASSERT_EQ(input->chunkSize(), 1u);
  nQoSim::failNextAcquire(-50001);
  tStatus2 stopped;
  input->stop(stopped);
  EXPECT_EQ(stopped.code, -50001);
  EXPECT_TRUE(loggedAt(-50001, "tTransferLock", 50));
  EXPECT_EQ(input->chunkSize(), 64u);
  cdi->disarm(status);
  cdi->uncommit(status);
  cdi->commit(status);
  EXPECT_EQ(map->CDI_Mode.getRegister() & 0x800, 0x800u);
}

// A destination that fails the chunk which leaves less than half the FIFO
// depth: the loop ends there, without switching to single samples, so the
// stop gives the FIFO no mode flag it never had.
TEST_F(tCDIOInterruptTest, AFailedChunkDoesNotSwitchToSingleSamples) {
  struct tFailingDestination : tBaseCDIInterruptTransferPrimitive::iDestination {
    uint32_t transferData(uint32_t bytes, tStatus2& status) override {
      if (++chunks == 8) status.setCode(-7, "test", "tFailingDestination", 1);
      return bytes;
    }
    void transferEnded(tStatus2& status) override { ended.push_back(status.code); }
    int chunks = 0;
    std::vector<int> ended;
  } failing;
  runInput(1, 64, 1000);
  input->setDestination(&failing);
  cdi->disarm(status);
  cdi->uncommit(status);
  cdi->setModeFlag(0, status, 0);
  cdi->commit(status);
  cdi->arm(status);
  ASSERT_EQ(status.code, 0);
  for (int n = 0; n < 8; ++n) inputInterrupt(1);
  EXPECT_EQ(failing.ended, std::vector<int>{-7});
  EXPECT_EQ(input->chunkSize(), 64u);
  input->stop(status);
  cdi->disarm(status);
  cdi->uncommit(status);
  cdi->commit(status);
  EXPECT_EQ(map->CDI_Mode.getRegister() & 0x800, 0u);
}

// A mode flag deployed for the FIFO's next commit while a finite input runs,
// before or after the run's switch to single samples: the switch clears the
// flag on the board for the run alone, and neither it nor the run's end
// writes over what was deployed, so the next commit programs the deployed
// flag.
TEST_F(tCDIOInterruptTest, AModeFlagDeployedUnderARunReachesTheNextCommit) {
  struct tRow {
    uint32_t committed;
    uint32_t deployed;
    bool afterTheSwitch;
  };
  for (const tRow row : {tRow{0, 1, false}, tRow{1, 0, true}}) {
    SCOPED_TRACE(testing::Message()
                 << "committed " << row.committed << ", deployed " << row.deployed
                 << (row.afterTheSwitch ? " after" : " before") << " the switch");
    input->setDestination(&destination);
    input->setSampleMode(1);
    input->setChunkSize(64);
    input->setTotal(1000);
    input->setLimit(1000000);
    input->registerObservers(status);
    cdi->setModeFlag(row.committed, status, 0);
    cdi->commit(status);
    cdi->arm(status);
    input->commit(status);
    input->arm(status);
    input->start(status);
    ASSERT_EQ(status.code, 0);
    if (!row.afterTheSwitch) cdi->setModeFlag(row.deployed, status, 0);
    for (int n = 0; n < 8; ++n) inputInterrupt(1);
    ASSERT_EQ(input->chunkSize(), 1u);
    EXPECT_EQ(map->CDI_Mode.getRegister() & 0x800, 0u) << "the run's switch to single samples";
    if (row.afterTheSwitch) cdi->setModeFlag(row.deployed, status, 0);
    input->stop(status);
    EXPECT_EQ(status.code, 200010);
    status.clear();
    cdi->disarm(status);
    cdi->uncommit(status);
    cdi->commit(status);
    EXPECT_EQ(map->CDI_Mode.getRegister() & 0x800, row.deployed << 11)
        << "the next commit programmed another flag than the one deployed";
    cdi->uncommit(status);
    input->disarm(status);
    input->uncommit(status);
    input->unregisterObservers(status);
    EXPECT_EQ(status.code, 0);
  }
}

TEST_F(tCDIOInterruptTest, AFiniteInputNeverAsksForMoreThanRemains) {
  description.cdiFIFODepth = 64;  // threshold 32: 36 left is not below it
  runInput(1, 64, 100);
  inputInterrupt(1);
  inputInterrupt(1, true);
  EXPECT_EQ(log.calls, (tStrings{"data 256", "data 144", "ended 0"}));
  EXPECT_EQ(input->transferred(), 100u);
  inputInterrupt(1, true);  // a late interrupt moves nothing
  EXPECT_EQ(log.endings(), 1);
  EXPECT_EQ(input->transferred(), 100u);
}

TEST_F(tCDIOInterruptTest, ExactlyHalfTheFIFODepthLeftKeepsTheChunk) {
  runInput(1, 64, 1024);
  for (int n = 0; n < 8; ++n) inputInterrupt(1);
  EXPECT_EQ(log.calls, times(8, "data 256"));  // 512 left: not below half of 1024
  EXPECT_EQ(input->chunkSize(), 64u);
  EXPECT_TRUE(at(windows.writes(), 0x228).empty());
  inputInterrupt(1);  // 448 left
  EXPECT_EQ(log.calls, times(9, "data 256"));
  EXPECT_EQ(input->chunkSize(), 1u);
  EXPECT_EQ(at(windows.writes(), 0x228), (tLog{wrote32(0x228, 0x200)}));
}

TEST_F(tCDIOInterruptTest, InputLoopFailuresEndTheTransferOnceWithTheirCodes) {
  runInput(0, 8, 0, 16);
  log.answers = {32, 31};
  inputInterrupt(2, true);
  EXPECT_EQ(log.calls, (tStrings{"data 32", "data 32", "ended -200222"}));
  EXPECT_TRUE(loggedAt(-200222, kInputFile, 352));
  EXPECT_EQ(at(windows.writes(), 0x224), (tLog{wrote32(0x224, 0x4), wrote32(0x224, 0x20)}));
  input->stop(status);
  EXPECT_EQ(log.endings(), 1);

  log.calls.clear();
  input->start(status);
  fifos->scriptStatus({kInputCondition, 0x100000});
  board->primaryHandlers[kCDIFIFO].load()->handleInterrupt();
  EXPECT_EQ(log.calls, (tStrings{"data 32", "ended -200010"}));
  EXPECT_TRUE(loggedAt(-200010, kInputFile, 361));

  log.calls.clear();
  input->start(status);
  fifos->setInputBits(kInputCondition);  // the condition stays: the limit ends it
  board->primaryHandlers[kCDIFIFO].load()->handleInterrupt();
  EXPECT_EQ(log.calls, (tStrings{"data 32", "data 32", "ended -200322"}));
  EXPECT_TRUE(loggedAt(-200322, kInputFile, 406));
  fifos->setInputBits(0);

  log.calls.clear();
  input->start(status);
  input->handleOverrun(cdi, status);  // the pass that asks for the secondary one
  input->handleOverrunSecondary(cdi, status);
  input->handleOverrunSecondary(cdi, status);
  EXPECT_EQ(log.calls, (tStrings{"ended -200715"}));
  EXPECT_TRUE(loggedAt(-200715, kInputFile, 457));
}

// The chunk that brings a notification's count to the limit ends it normally
// when the FIFO asks for no more; only a condition still present past the
// limit is -200322.
TEST_F(tCDIOInterruptTest, TheLimitEndsANotificationOnlyWhenTheFIFOAsksForMore) {
  runInput(0, 8, 0, 16);
  inputInterrupt(2);
  EXPECT_EQ(log.calls, (tStrings{"data 32", "data 32"}));
  EXPECT_EQ(status.code, 0);
  EXPECT_FALSE(loggedAt(-200322, kInputFile, 406));
  EXPECT_EQ(input->transferred(), 16u);

  inputInterrupt(3);
  EXPECT_EQ(log.calls, (tStrings{"data 32", "data 32", "data 32", "data 32", "ended -200322"}));
  EXPECT_TRUE(loggedAt(-200322, kInputFile, 406));
}

// 0x40000001 samples of 4 bytes do not fit in 32 bits: commit refuses such a
// chunk with -50175, the state unchanged. Set after the arm it reaches
// neither the run, whose passes go on asking for the arm's chunk, nor the
// next arm, which takes what the last commit took.
TEST_F(tCDIOInterruptTest, AnInputChunkWhoseBytesDoNotFitIsRefused) {
  runInput(1, 64, 0x80000000);
  input->setChunkSize(0x40000001);
  inputInterrupt(2);
  EXPECT_EQ(log.calls, times(2, "data 256"));
  EXPECT_FALSE(loggedAt(-50175, kInputFile, 340));
  EXPECT_EQ(input->transferred(), 128u);
  EXPECT_TRUE(windows.writes().empty());

  tStatus2 scratch;
  input->stop(scratch);
  input->disarm(status);
  input->uncommit(status);
  ASSERT_EQ(input->state(), 2u);
  tStatus2 committed;
  input->commit(committed);
  EXPECT_EQ(committed.code, -50175);
  EXPECT_TRUE(loggedAt(-50175, kInputFile, 170));
  EXPECT_EQ(input->state(), 2u);
  input->setChunkSize(0x3FFFFFFF);  // 0xFFFFFFFC bytes: the largest that fits
  input->commit(status);
  ASSERT_EQ(status.code, 0);
  input->setChunkSize(0x40000001);
  input->arm(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(input->state(), 4u);
  EXPECT_EQ(input->chunkSize(), 0x3FFFFFFFu);
}

// A deploy under a run (chunk, mode, total, limit) reaches neither the run
// nor a start of the arm's next run: after the switch to single samples the
// passes go on asking for one sample each and the run ends at the arm's
// total, with no -200322 from the deployed limit of 1. Only the next commit
// and arm take the new values.
TEST_F(tCDIOInterruptTest, ADeployUnderARunReachesOnlyTheNextCommitAndArm) {
  runInput(1, 64, 1000);
  for (int n = 0; n < 8; ++n) inputInterrupt(1);
  ASSERT_EQ(input->chunkSize(), 1u);
  input->setChunkSize(64);
  input->setSampleMode(0);
  input->setTotal(5000);
  input->setLimit(1);
  clearLogs();
  log.calls.clear();
  inputInterrupt(2);
  EXPECT_EQ(log.calls, times(2, "data 4"));
  EXPECT_EQ(input->chunkSize(), 1u);
  for (int n = 0; n < 485; ++n) inputInterrupt(1);
  inputInterrupt(1, true);
  EXPECT_EQ(input->transferred(), 1000u);
  EXPECT_EQ(log.calls.back(), "ended 0");
  EXPECT_EQ(log.endings(), 1);
  input->stop(status);
  EXPECT_EQ(status.code, 0) << "stopped as the finite run it was armed for";

  // Started again under the same arm: the arm's chunk, total and limit.
  clearLogs();
  log.calls.clear();
  input->start(status);
  inputInterrupt(1);
  EXPECT_EQ(log.calls, times(1, "data 256"));
  input->stop(status);
  EXPECT_EQ(status.code, 200010);
  status.clear();

  // The next commit and arm: continuous chunks of 64, one a notification.
  input->disarm(status);
  input->commit(status);
  input->arm(status);
  input->start(status);
  ASSERT_EQ(status.code, 0);
  clearLogs();
  log.calls.clear();
  inputInterrupt(2, true);
  EXPECT_EQ(log.calls, (tStrings{"data 256", "ended -200322"}));
  EXPECT_TRUE(loggedAt(-200322, kInputFile, 406));

  // A commit under a run, and an arm on top of the arm it ran under: the
  // next run goes by what that commit took, chunks of 16 and 32 samples a
  // notification.
  input->start(status);
  input->setChunkSize(16);
  input->setLimit(32);
  input->commit(status);
  input->arm(status);
  input->start(status);
  ASSERT_EQ(status.code, 0);
  EXPECT_EQ(input->chunkSize(), 16u);
  // The run before ended at its limit's check, before the status read that
  // follows a chunk: that scripted status is read here.
  tStatus2 scratch;
  EXPECT_EQ(cdi->isFIFOConditionPending(scratch), 0u);
  clearLogs();
  log.calls.clear();
  inputInterrupt(3, true);
  EXPECT_EQ(log.calls, (tStrings{"data 64", "data 64", "ended -200322"}));
}

// Five chunks of 0x3FFFFFFF samples pass a limit of 0xFFFFFFFF: the sixth
// check ends the notification with -200322, the count not wrapped round.
TEST_F(tCDIOInterruptTest, TheNotificationCountDoesNotWrapPastTheLimit) {
  runInput(0, 0x3FFFFFFF, 0, 0xFFFFFFFF);
  log.answers = std::deque<uint32_t>(8, 0xFFFFFFFC);
  log.answers.push_back(0);  // a wrapped count would end short here
  fifos->setInputBits(kInputCondition);
  board->primaryHandlers[kCDIFIFO].load()->handleInterrupt();
  fifos->setInputBits(0);
  EXPECT_EQ(log.calls, times(5, "data 4294967292") + tStrings{"ended -200322"});
  EXPECT_TRUE(loggedAt(-200322, kInputFile, 406));
}

TEST_F(tCDIOInterruptTest, AnInputWithoutADestinationEndsShortAtItsFirstInterrupt) {
  runInput(1, 8, 100, 1000, false);
  inputInterrupt(1, true);
  EXPECT_TRUE(loggedAt(-200222, kInputFile, 352));
  EXPECT_EQ(windows.writes(), (tLog{wrote32(0x224, 0x4), wrote32(0x224, 0x20)}));
  EXPECT_EQ(input->transferred(), 0u);
  clearLogs();
  tStatus2 stopped;
  input->stop(stopped);
  EXPECT_TRUE(at(windows.writes(), 0x224).empty());  // the end ran once
  EXPECT_TRUE(log.calls.empty());
}

TEST_F(tCDIOInterruptTest, AFiniteInputStoppedEarlyWarns) {
  runInput(1, 64, 1000);
  inputInterrupt(1);
  input->stop(status);
  EXPECT_EQ(status.code, 200010);
  EXPECT_TRUE(loggedAt(200010, kInputFile, 243));
  EXPECT_EQ(log.calls, (tStrings{"data 256", "ended 200010"}));
}

// A finite input started again is a run of its own: stopped before its data
// are done, it warns though the run before completed.
TEST_F(tCDIOInterruptTest, AFiniteInputStartedAgainAndStoppedEarlyWarns) {
  description.cdiFIFODepth = 64;  // threshold 32: 36 left keeps the chunk
  runInput(1, 64, 100);
  inputInterrupt(1);
  inputInterrupt(1, true);
  input->stop(status);
  EXPECT_EQ(status.code, 0);
  input->start(status);
  inputInterrupt(1);
  input->stop(status);
  EXPECT_EQ(status.code, 200010);
  EXPECT_TRUE(loggedAt(200010, kInputFile, 243));
  EXPECT_EQ(log.calls, (tStrings{"data 256", "data 144", "ended 0", "data 256", "ended 200010"}));
  EXPECT_EQ(input->transferred(), 64u);
}

TEST_F(tCDIOInterruptTest, AFailedGrowthOnTheFourthObserverRegistersNothing) {
  description.sampleWidth = 2;
  std::vector<tBaseCDIInterruptTransferPrimitive*> others;
  for (int n = 0; n < 3; ++n) {
    others.push_back(
        new tBaseCDIInterruptTransferPrimitive(&deviceInfo, &description, cdi, status));
    others.back()->registerObservers(status);
  }
  ASSERT_EQ(status.code, 0);
  nQoSim::failAllocation(1);
  input->registerObservers(status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_EQ(input->state(), 1u);
  status.clear();
  for (auto* other : others) other->unregisterObservers(status);
  cdi->setModeFlag(1, status, 0);
  cdi->commit(status);
  EXPECT_EQ(board->primaryHandlers[kCDIFIFO], nullptr);  // nobody left in either list
  EXPECT_EQ(board->primaryHandlers[kCDIOverrun], nullptr);
  for (auto* other : others) delete other;
}

TEST_F(tCDIOInterruptTest, AnInputDestroyedInAnyStateLeavesTheFIFOWithoutObservers) {
  for (uint32_t state = 2; state <= 4; ++state) {
    SCOPED_TRACE(state);
    auto* transfer = new tBaseCDIInterruptTransferPrimitive(&deviceInfo, &description, cdi, status);
    transfer->registerObservers(status);
    if (state >= 3) transfer->commit(status);
    if (state == 4) transfer->arm(status);
    ASSERT_EQ(transfer->state(), state);
    delete transfer;
    cdi->setModeFlag(1, status, 0);
    cdi->commit(status);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(board->primaryHandlers[kCDIFIFO], nullptr);
    EXPECT_EQ(board->primaryHandlers[kCDIOverrun], nullptr);
    cdi->uncommit(status);
  }
}

class tCDIOOutputInterruptTest : public tCDIOInterruptTest {
 protected:
  void runOutput(uint32_t mode, uint32_t chunk, uint32_t total, uint32_t preload,
                 uint32_t limit = 1000000) {
    output->setSource(&source);
    output->setSampleMode(mode);
    output->setChunkSize(chunk);
    output->setTotal(total);
    output->setLimit(limit);
    output->setPreload(preload);
    output->registerObservers(status);
    output->commit(status);
    cdo->setModeFlag(1, status, 0);
    cdo->commit(status);
    cdo->arm(status);
    output->arm(status);
    output->start(status);
    ASSERT_EQ(status.code, 0);
    clearLogs();
  }
  // Events set since the sync log was cleared.
  static int sets() {
    int found = 0;
    for (const auto& record : nQoSim::syncLog())
      found += record.operation == nQoSim::tSyncRecord::kSet ? 1 : 0;
    return found;
  }
  void outputInterrupt(int chunks) {
    for (int chunk = 0; chunk < chunks; ++chunk) fifos->scriptStatus({kOutputCondition, 0});
    fifos->scriptStatus({0});
    board->primaryHandlers[kCDOFIFO].load()->handleInterrupt();
  }
};

TEST_F(tCDIOOutputInterruptTest, AFiniteOutputPreloadsMovesChunksAndTheTail) {
  runOutput(0, 16, 0, 32);
  EXPECT_EQ(log.calls, (tStrings{"data 128"}));
  EXPECT_EQ(output->transferred(), 32u);
  cdo->disarm(status);
  cdo->uncommit(status);
  output->stop(status);
  output->disarm(status);
  output->uncommit(status);
  output->unregisterObservers(status);

  log.calls.clear();
  runOutput(1, 16, 80, 32);
  outputInterrupt(2);
  EXPECT_EQ(log.calls, (tStrings{"data 128", "data 64", "data 64"}));
  // 64 transferred: 16 remain, not below the chunk; then 0 remain: the tail.
  fifos->scriptStatus({kOutputCondition, 0, kOutputCondition});
  board->primaryHandlers[kCDOFIFO].load()->handleInterrupt();
  EXPECT_EQ(output->transferred(), 80u);
  EXPECT_EQ(windows.writes(), (tLog{wrote32(0x224, 0x800)}));  // the FIFO interrupt disabled
  output->stop(status);                                        // the FIFO never ran empty
  EXPECT_EQ(status.code, 200010);
  EXPECT_TRUE(loggedAt(200010, kOutputFile, 297));
  EXPECT_EQ(log.endings(), 1);
  cdo->disarm(status);
  status.clear();
  cdo->uncommit(status);
}

// A finite output started again is a run of its own: the FIFO running empty
// in the run before does not spare its early stop the warning.
TEST_F(tCDIOOutputInterruptTest, AnOutputStartedAgainWarnsWhenStoppedBeforeItsOwnFIFORanEmpty) {
  runOutput(1, 16, 20, 20);
  outputInterrupt(1);  // nothing remains: the tail ends the FIFO interrupt
  output->handleFIFOSecondary(cdo, status);
  EXPECT_EQ(cdo->waitForDone(5000, status), 1u);
  EXPECT_EQ(log.calls, (tStrings{"data 80", "ended 0"}))
      << "the polling thread saw the FIFO run empty";
  output->stop(status);
  EXPECT_EQ(status.code, 0);
  output->start(status);
  output->stop(status);
  EXPECT_EQ(status.code, 200010);
  EXPECT_TRUE(loggedAt(200010, kOutputFile, 297));
  EXPECT_EQ(log.calls, (tStrings{"data 80", "ended 0", "ended 200010"}));
  status.clear();
  cdo->disarm(status);
  cdo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tCDIOOutputInterruptTest, AnOutputDestroyedInAnyStateLeavesTheFIFOWithoutObservers) {
  for (uint32_t state = 2; state <= 4; ++state) {
    SCOPED_TRACE(state);
    auto* transfer = new tBaseCDOInterruptTransferPrimitive(&deviceInfo, &description, cdo, status);
    transfer->setSource(&source);
    transfer->setSampleMode(0);
    transfer->registerObservers(status);
    if (state >= 3) transfer->commit(status);
    if (state == 4) transfer->arm(status);
    ASSERT_EQ(transfer->state(), state);
    delete transfer;
    cdo->setModeFlag(1, status, 0);
    cdo->commit(status);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(board->primaryHandlers[kCDOFIFO], nullptr);
    EXPECT_EQ(board->primaryHandlers[kCDOOverrun], nullptr);
    cdo->uncommit(status);
  }
}

// A second registration adds no record: one unregistration takes every
// record out of the FIFO's lists, in both directions.
TEST_F(tCDIOOutputInterruptTest, ASecondRegistrationAddsNoRecordInEitherDirection) {
  input->registerObservers(status);
  input->registerObservers(status);
  EXPECT_EQ(input->state(), 2u);
  input->unregisterObservers(status);
  cdi->setModeFlag(1, status, 0);
  cdi->commit(status);
  EXPECT_EQ(board->primaryHandlers[kCDIFIFO], nullptr);
  EXPECT_EQ(board->primaryHandlers[kCDIOverrun], nullptr);
  cdi->uncommit(status);

  output->setSource(&source);
  output->setSampleMode(1);
  output->registerObservers(status);
  output->registerObservers(status);
  output->unregisterObservers(status);
  EXPECT_FALSE(cdo->hasPolledObserver());
  cdo->setModeFlag(1, status, 0);
  cdo->commit(status);
  EXPECT_EQ(board->primaryHandlers[kCDOFIFO], nullptr);
  EXPECT_EQ(board->primaryHandlers[kCDOOverrun], nullptr);
  cdo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A mode given while the observers are registered counts from the next
// registration: unregistering takes out what registering added.
TEST_F(tCDIOOutputInterruptTest, UnregisteringTakesOutWhatRegisteringAddedAfterAModeChange) {
  output->setSource(&source);
  output->setSampleMode(1);
  output->registerObservers(status);
  ASSERT_TRUE(cdo->hasPolledObserver());
  output->setSampleMode(tBaseCDOInterruptTransferPrimitive::kUnwatched);
  output->unregisterObservers(status);
  EXPECT_FALSE(cdo->hasPolledObserver());
  cdo->setModeFlag(1, status, 0);
  cdo->commit(status);
  EXPECT_EQ(board->primaryHandlers[kCDOFIFO], nullptr) << "no FIFO observer left";
  cdo->uncommit(status);

  // Registered unwatched, unregistered after a change to finite.
  output->registerObservers(status);
  output->setSampleMode(1);
  output->unregisterObservers(status);
  EXPECT_EQ(status.code, 0) << "nothing taken out that was not added";
  cdo->commit(status);
  EXPECT_EQ(board->primaryHandlers[kCDOOverrun], nullptr);
  cdo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tCDIOOutputInterruptTest, OutputLoopFailures) {
  runOutput(0, 16, 0, 1, 32);
  log.calls.clear();
  log.answers = {0};
  fifos->setOutputBits(kOutputCondition);
  board->primaryHandlers[kCDOFIFO].load()->handleInterrupt();
  EXPECT_EQ(log.calls, (tStrings{"data 64", "ended -200290"}));
  EXPECT_TRUE(loggedAt(-200290, kOutputFile, 453));
  output->start(status);
  log.calls.clear();
  board->primaryHandlers[kCDOFIFO].load()->handleInterrupt();
  EXPECT_EQ(log.calls, (tStrings{"data 64", "data 64", "ended -200322"}));
  EXPECT_TRUE(loggedAt(-200322, kOutputFile, 519));
  output->start(status);
  log.calls.clear();
  fifos->setOutputBits(kOutputCondition | 0x10);
  board->primaryHandlers[kCDOFIFO].load()->handleInterrupt();
  EXPECT_EQ(log.calls, (tStrings{"data 64", "ended -200016"}));
  EXPECT_TRUE(loggedAt(-200016, kOutputFile, 463));
  fifos->setOutputBits(0);
  output->start(status);
  log.calls.clear();
  output->handleOverrun(cdo, status);  // the pass that asks for the secondary one
  output->handleOverrunSecondary(cdo, status);
  EXPECT_EQ(log.calls, (tStrings{"ended -200716"}));
  EXPECT_TRUE(loggedAt(-200716, kOutputFile, 617));
  cdo->disarm(status);
  cdo->uncommit(status);
}

// The chunk that brings a notification's count to the limit ends it normally
// when the FIFO asks for no more.
TEST_F(tCDIOOutputInterruptTest, TheLimitEndsANotificationOnlyWhenTheFIFOAsksForMore) {
  runOutput(0, 16, 0, 1, 32);
  log.calls.clear();
  outputInterrupt(2);
  EXPECT_EQ(log.calls, (tStrings{"data 64", "data 64"}));
  EXPECT_FALSE(loggedAt(-200322, kOutputFile, 519));

  log.calls.clear();
  outputInterrupt(3);
  EXPECT_EQ(log.calls, (tStrings{"data 64", "data 64", "ended -200322"}));
  EXPECT_TRUE(loggedAt(-200322, kOutputFile, 519));
  cdo->disarm(status);
  cdo->uncommit(status);
}

// A chunk or preload of 0x40000001 samples of 4 bytes does not fit in 32
// bits: commit refuses the chunk before it sets the FIFO's transfer-mode
// flag, arm the preload before it resets the FIFO or asks the source, each
// with -50175 and the state unchanged. A chunk set after the commit reaches
// neither the arm nor the run: they go by the commit's.
TEST_F(tCDIOOutputInterruptTest, AnOutputChunkOrPreloadWhoseBytesDoNotFitIsRefused) {
  output->setSource(&source);
  output->setSampleMode(tBaseCDOInterruptTransferPrimitive::kUnwatched);
  output->setChunkSize(0x40000001);
  output->setTotal(100);
  output->setLimit(1000000);
  output->setPreload(0x40000001);
  output->registerObservers(status);
  ASSERT_EQ(status.code, 0);
  tStatus2 committed;
  output->commit(committed);
  EXPECT_EQ(committed.code, -50175);
  EXPECT_TRUE(loggedAt(-50175, kOutputFile, 170));
  EXPECT_EQ(output->state(), 2u);
  EXPECT_EQ(map->CDO_Mode.getRegister() & 0x100, 0u);

  output->setChunkSize(16);
  output->setSampleMode(0);  // continuous: the preload is not cut to the total
  output->commit(status);
  ASSERT_EQ(status.code, 0);
  clearLogs();
  tStatus2 preloaded;
  output->arm(preloaded);
  EXPECT_EQ(preloaded.code, -50175);
  EXPECT_TRUE(loggedAt(-50175, kOutputFile, 185));
  EXPECT_EQ(output->state(), 3u);
  EXPECT_TRUE(log.calls.empty());
  EXPECT_TRUE(windows.writes().empty());

  // A finite output preloads no more than its total, by the commit's mode
  // and total.
  output->setSampleMode(tBaseCDOInterruptTransferPrimitive::kUnwatched);
  output->commit(status);
  output->setChunkSize(0x40000001);
  output->setSampleMode(0);
  output->setTotal(200);
  output->arm(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(log.calls, (tStrings{"data 400"}));
  output->disarm(status);
  output->uncommit(status);
  output->unregisterObservers(status);

  runOutput(0, 16, 0, 1);
  log.calls.clear();
  output->setChunkSize(0x40000001);
  outputInterrupt(2);
  EXPECT_EQ(log.calls, times(2, "data 64"));
  EXPECT_FALSE(loggedAt(-50175, kOutputFile, 440));
  EXPECT_EQ(output->transferred(), 33u);
  cdo->disarm(status);
  cdo->uncommit(status);
}

// A deploy under a run (chunk, mode, total, limit, preload) reaches neither
// the run, which moves the arm's chunks up to the arm's total and ends as
// the finite run it was armed for, nor an arm with no commit between (but
// for the preload, which the arm takes); the next commit takes it all.
TEST_F(tCDIOOutputInterruptTest, ADeployUnderARunReachesOnlyTheNextCommitAndArm) {
  runOutput(1, 16, 80, 32);
  output->setChunkSize(8);
  output->setSampleMode(0);
  output->setTotal(1000);
  output->setLimit(16);
  output->setPreload(4);
  log.calls.clear();
  outputInterrupt(2);
  EXPECT_EQ(log.calls, times(2, "data 64"));
  fifos->scriptStatus({kOutputCondition, 0, kOutputCondition});
  board->primaryHandlers[kCDOFIFO].load()->handleInterrupt();
  EXPECT_EQ(output->transferred(), 80u);
  EXPECT_EQ(windows.writes(), (tLog{wrote32(0x224, 0x800)}));  // the tail: the interrupt off
  output->handleFIFOSecondary(cdo, status);
  EXPECT_EQ(cdo->waitForDone(5000, status), 1u);
  EXPECT_EQ(log.calls, times(3, "data 64") + tStrings{"ended 0"});
  output->stop(status);
  EXPECT_EQ(status.code, 0) << "its FIFO ran empty";

  log.calls.clear();
  output->arm(status);  // the commit's mode and total, the deployed preload
  EXPECT_EQ(log.calls, tStrings{"data 16"});
  output->disarm(status);
  output->commit(status);
  EXPECT_FALSE(cdo->hasPolledObserver()) << "the commit's continuous mode polls nothing";
  output->arm(status);
  output->start(status);
  ASSERT_EQ(status.code, 0);
  log.calls.clear();
  outputInterrupt(3);
  EXPECT_EQ(log.calls, (tStrings{"data 32", "data 32", "ended -200322"}));
  EXPECT_TRUE(loggedAt(-200322, kOutputFile, 519));
  cdo->disarm(status);
  cdo->uncommit(status);
}

// A source that notes, at each call, the register writes made so far.
struct tWriteNotingSource : tBaseCDOInterruptTransferPrimitive::iSource {
  explicit tWriteNotingSource(tSimRegisterWindows& board) : windows(board) {}
  uint32_t transferData(uint32_t bytes, tStatus2&) override {
    calls.push_back({"data " + std::to_string(bytes), windows.writes()});
    return bytes;
  }
  void transferEnded(tStatus2& status) override {
    calls.push_back({"ended " + std::to_string(status.code), windows.writes()});
  }
  tSimRegisterWindows& windows;
  std::vector<std::pair<std::string, tLog>> calls;
};

// Code 4100 under a run stops the run first, with its report: the FIFO
// stopped and its interrupt off, the end reported, and only then the FIFO
// reset and the new run's preload asked for.
TEST_F(tCDIOOutputInterruptTest, ARearmUnderARunStopsTheRunBeforeItResetsAndPreloads) {
  tWriteNotingSource noting(windows);
  runOutput(0, 16, 0, 32);
  output->setSource(&noting);
  ASSERT_TRUE(output->isRunning());
  clearLogs();
  output->arm(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_FALSE(output->isRunning());
  const tLog stopped = {wrote32(0x224, 0x1), wrote32(0x224, 0x800)};
  const tLog stoppedAndReset =  // then the reset
      {wrote32(0x224, 0x1), wrote32(0x224, 0x800), wrote32(0x224, 0x10)};
  ASSERT_EQ(noting.calls.size(), 2u);
  EXPECT_EQ(noting.calls[0].first, "ended 0");
  EXPECT_EQ(noting.calls[0].second, stopped);
  EXPECT_EQ(noting.calls[1].first, "data 128");
  EXPECT_EQ(noting.calls[1].second, stoppedAndReset);
  cdo->disarm(status);
  cdo->uncommit(status);
}

// Registered while the settings asked for a continuous output, then given a
// finite one: the commit gives the FIFO the polled record its run ends by,
// and the FIFO running empty ends the run. Back to continuous, and then
// unwatched, each commit takes out the records its mode does not use.
TEST_F(tCDIOOutputInterruptTest, ACommitGivesTheFIFOTheRecordsOfItsOwnMode) {
  output->setSource(&source);
  output->setSampleMode(0);
  output->registerObservers(status);
  ASSERT_FALSE(cdo->hasPolledObserver());
  output->setSampleMode(1);
  output->setChunkSize(16);
  output->setTotal(20);
  output->setLimit(1000);
  output->setPreload(4);
  output->commit(status);
  EXPECT_TRUE(cdo->hasPolledObserver());
  EXPECT_EQ(output->state(), 3u);
  cdo->setModeFlag(1, status, 0);
  cdo->commit(status);
  cdo->arm(status);
  output->arm(status);
  output->start(status);
  ASSERT_EQ(status.code, 0);
  outputInterrupt(1);
  output->handleFIFOSecondary(cdo, status);
  EXPECT_EQ(cdo->waitForDone(5000, status), 1u);
  EXPECT_EQ(log.calls, (tStrings{"data 16", "data 64", "ended 0"}));
  output->stop(status);
  EXPECT_EQ(status.code, 0);
  cdo->disarm(status);
  cdo->uncommit(status);
  output->disarm(status);

  output->setSampleMode(0);
  output->commit(status);
  EXPECT_FALSE(cdo->hasPolledObserver());
  output->setSampleMode(tBaseCDOInterruptTransferPrimitive::kUnwatched);
  output->commit(status);
  EXPECT_EQ(output->state(), 3u);
  cdo->commit(status);
  EXPECT_EQ(board->primaryHandlers[kCDOFIFO], nullptr) << "no FIFO record left";
  EXPECT_NE(board->primaryHandlers[kCDOOverrun], nullptr);
  cdo->uncommit(status);
  output->uncommit(status);
  output->unregisterObservers(status);
  EXPECT_FALSE(cdo->hasObservers());
  EXPECT_EQ(status.code, 0);
}

// A secondary pass acts only on the run its primary pass served: the FIFO's
// and the overrun's, asked for in one run and overtaken by a 4100 and a
// start, wake no polling thread and end nothing of the new run; its own
// passes reach it.
TEST_F(tCDIOOutputInterruptTest, ASecondaryPassOvertakenByAnotherRunLeavesThatRunAlone) {
  runOutput(1, 16, 64, 16);
  output->handleFIFO(cdo, status);
  output->handleOverrun(cdo, status);
  output->arm(status);
  EXPECT_EQ(status.code, 200010) << "the run stopped before its FIFO ran empty";
  status.clear();
  output->start(status);
  nQoSim::clearSyncLog();
  output->handleFIFOSecondary(cdo, status);
  output->handleOverrunSecondary(cdo, status);
  EXPECT_EQ(sets(), 0) << "the polling thread woken";
  EXPECT_TRUE(output->isRunning());
  EXPECT_EQ(log.calls, (tStrings{"data 64", "ended 200010", "data 64"}));

  output->handleFIFO(cdo, status);
  output->handleFIFOSecondary(cdo, status);
  EXPECT_EQ(cdo->waitForDone(5000, status), 1u);
  EXPECT_EQ(log.calls, (tStrings{"data 64", "ended 200010", "data 64", "ended 0"}));
  cdo->disarm(status);
  cdo->uncommit(status);

  log.calls.clear();
  runInput(0, 8, 0);
  input->handleOverrun(cdi, status);
  input->arm(status);
  input->start(status);
  input->handleOverrunSecondary(cdi, status);
  EXPECT_TRUE(input->isRunning());
  EXPECT_EQ(log.calls, tStrings{"ended 0"});
  input->handleOverrun(cdi, status);
  input->handleOverrunSecondary(cdi, status);
  EXPECT_EQ(log.calls, (tStrings{"ended 0", "ended -200715"}));
  EXPECT_EQ(status.code, 0);
}

// The FIFO's polling thread, held as it lets the end lock go after it found a
// finite output's FIFO run empty, and a code 3 and a code 2 in that time: its
// stop was the old run's, so the new run goes on, its FIFO started, and
// reports no end of its own.
TEST_F(tCDIOOutputInterruptTest, APollingStopThatAStopAndAStartOvertookLeavesTheNewRunRunning) {
  runOutput(1, 16, 20, 20);
  outputInterrupt(1);  // nothing remains: the tail ends the FIFO interrupt
  nQoSim::clearSyncLog();
  output->handleFIFOEmptyPolled(cdo, status);  // no wake asked for: the end lock alone
  const iSync* endLock = nullptr;
  for (const nQoSim::tSyncRecord& record : nQoSim::syncLog())
    if (record.operation == nQoSim::tSyncRecord::kRelease) endLock = record.object;
  ASSERT_NE(endLock, nullptr);
  tHeldCall held(tHeldCall::kGuard);
  const uint64_t testThread = nQoKAL100_getThreadHandle();
  nQoSim::onSyncSet([&](const iSync* object, bool set) {
    if (set && object == endLock && nQoKAL100_getThreadHandle() != testThread) held.hold();
  });
  output->handleFIFOSecondary(cdo, status);
  EXPECT_TRUE(held.waitUntilInside()) << "the polling thread never took the run's end";
  tStatus2 stopped;
  output->stop(stopped);
  output->start(status);
  held.letGo();
  EXPECT_EQ(cdo->waitForDone(5000, status), 1u);
  nQoSim::onSyncSet({});
  EXPECT_EQ(stopped.code, 0) << "its FIFO ran empty";
  ASSERT_EQ(status.code, 0);
  EXPECT_TRUE(output->isRunning()) << "the polling thread stopped the new run";
  EXPECT_TRUE(fifos->outputStarted());
  EXPECT_EQ(log.calls, (tStrings{"data 80", "ended 0"}));
  output->stop(status);
  EXPECT_EQ(status.code, 200010);
  status.clear();
  cdo->disarm(status);
  cdo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A source that moves what it is asked for into the FIFO, and the ends it
// hears.
struct tFIFOSource : tBaseCDOInterruptTransferPrimitive::iSource {
  explicit tFIFOSource(nQoUdP100::tBaseCDO_FIFOPrimitive* fifo) : fifo(fifo) {}
  uint32_t transferData(uint32_t bytes, tStatus2& status) override {
    const std::vector<uint8_t> data(bytes, 0x5A);
    return fifo->writeSamples(data.data(), bytes, status);
  }
  void transferEnded(tStatus2& status) override { ends.push_back(status.code); }
  nQoUdP100::tBaseCDO_FIFOPrimitive* fifo;
  std::vector<int> ends;
};

// A FIFO pass between the arm and the start (the FIFO's condition is on
// since the FIFO's arm, and the preload stays below it) hands over the last
// of a finite output's data and switches the FIFO's interrupt off. Its second
// half, before the start or after it, belongs to the run that start begins:
// it wakes the polling thread, which ends the run once the FIFO has run
// empty.
TEST_F(tCDIOOutputInterruptTest, APassBetweenTheArmAndTheStartBelongsToTheRunThatStartBegins) {
  tFIFOSource filling(cdo);
  fifos->setOutputDepth(64);
  cdo->setModeFlag(1, status, 0);
  for (const bool beforeTheStart : {true, false}) {
    SCOPED_TRACE(beforeTheStart ? "the second half before the start" : "after the start");
    status.clear();
    filling.ends.clear();
    output->setSource(&filling);
    output->setSampleMode(1);
    output->setChunkSize(16);
    output->setTotal(20);
    output->setLimit(1000);
    output->setPreload(4);
    output->registerObservers(status);
    output->commit(status);
    cdo->commit(status);
    cdo->arm(status);
    output->arm(status);
    ASSERT_EQ(status.code, 0);
    // A chunk of 16, then the tail with nothing left: the FIFO interrupt off.
    fifos->scriptStatus({kOutputCondition, 0, kOutputCondition});
    board->primaryHandlers[kCDOFIFO].load()->handleInterrupt();
    EXPECT_EQ(output->transferred(), 20u);
    EXPECT_EQ(fifos->output().size(), 20u);
    if (beforeTheStart) output->handleFIFOSecondary(cdo, status);
    output->start(status);
    if (!beforeTheStart) output->handleFIFOSecondary(cdo, status);
    for (int word = 0; word < 20; ++word) cdo->stepFIFO(status);
    ASSERT_EQ(status.code, 0);
    EXPECT_EQ(cdo->waitForDone(1000, status), 1u) << "no pass woke the polling thread";
    EXPECT_EQ(filling.ends, std::vector<int>{0});
    EXPECT_FALSE(output->isRunning());
    status.clear();
    output->stop(status);
    EXPECT_EQ(status.code, 0) << "its FIFO ran empty";
    cdo->disarm(status);
    cdo->uncommit(status);
    output->disarm(status);
    output->uncommit(status);
    output->unregisterObservers(status);
    EXPECT_EQ(status.code, 0);
  }
}

// Five chunks of 0x3FFFFFFF samples pass a limit of 0xFFFFFFFF: the sixth
// check ends the notification with -200322, the count not wrapped round.
TEST_F(tCDIOOutputInterruptTest, TheNotificationCountDoesNotWrapPastTheLimit) {
  runOutput(0, 0x3FFFFFFF, 0, 1, 0xFFFFFFFF);
  log.calls.clear();
  log.answers = std::deque<uint32_t>(8, 0xFFFFFFFC);
  log.answers.push_back(0);  // a wrapped count would end with nothing to write here
  fifos->setOutputBits(kOutputCondition);
  board->primaryHandlers[kCDOFIFO].load()->handleInterrupt();
  fifos->setOutputBits(0);
  EXPECT_EQ(log.calls, times(5, "data 4294967292") + tStrings{"ended -200322"});
  EXPECT_TRUE(loggedAt(-200322, kOutputFile, 519));
  cdo->disarm(status);
  cdo->uncommit(status);
}

TEST_F(tCDIOOutputInterruptTest, AShortTailAndTheUnwatchedMode) {
  runOutput(1, 16, 20, 5);
  log.answers = {56};  // 14 of the 15 remaining samples
  fifos->scriptStatus({kOutputCondition, 0});
  board->primaryHandlers[kCDOFIFO].load()->handleInterrupt();
  EXPECT_EQ(log.calls, (tStrings{"data 20", "data 60", "ended -200222"}));
  EXPECT_TRUE(loggedAt(-200222, kOutputFile, 487));
  cdo->disarm(status);
  cdo->uncommit(status);
  output->disarm(status);
  output->uncommit(status);
  output->unregisterObservers(status);

  log.calls.clear();
  runOutput(2, 16, 20, 20);
  EXPECT_EQ(board->primaryHandlers[kCDOFIFO], nullptr);
  EXPECT_NE(board->primaryHandlers[kCDOOverrun], nullptr);
  EXPECT_EQ(map->CDO_Mode.getRegister() & 0x100, 0x100u);
  clearLogs();
  output->stop(status);
  EXPECT_EQ(windows.writes(), (tLog{wrote32(0x224, 0x1)}));  // no FIFO-interrupt disable
  EXPECT_EQ(log.calls, (tStrings{"data 80", "ended 0"}));
  cdo->disarm(status);
  cdo->uncommit(status);
}

// A commit or an arm that came before the registration leaves it its work:
// the registration puts the records in and keeps the state, the FIFO's
// interrupt moves data, and the destructor takes the records out.
TEST_F(tCDIOOutputInterruptTest, ARegistrationAfterACommitOrAnArmRegistersAndKeepsTheState) {
  input->setDestination(&destination);
  input->setSampleMode(0);
  input->setChunkSize(64);
  input->setLimit(1000);
  input->commit(status);
  input->arm(status);
  input->registerObservers(status);
  EXPECT_EQ(input->state(), 4u);
  cdi->setModeFlag(1, status, 0);
  cdi->commit(status);
  cdi->arm(status);
  input->start(status);
  ASSERT_EQ(status.code, 0);
  ASSERT_NE(board->primaryHandlers[kCDIFIFO], nullptr);
  inputInterrupt(2);
  EXPECT_EQ(log.calls, times(2, "data 256"));
  input->stop(status);
  cdi->disarm(status);
  cdi->uncommit(status);
  delete input;
  input = nullptr;
  cdi->commit(status);
  EXPECT_EQ(board->primaryHandlers[kCDIFIFO], nullptr);
  EXPECT_EQ(board->primaryHandlers[kCDIOverrun], nullptr);
  cdi->uncommit(status);

  output->setSource(&source);
  output->setSampleMode(1);
  output->commit(status);
  output->registerObservers(status);
  EXPECT_EQ(output->state(), 3u);
  EXPECT_TRUE(cdo->hasPolledObserver());
  cdo->setModeFlag(1, status, 0);
  cdo->commit(status);
  EXPECT_NE(board->primaryHandlers[kCDOFIFO], nullptr);
  EXPECT_NE(board->primaryHandlers[kCDOOverrun], nullptr);
  cdo->uncommit(status);
  delete output;
  output = nullptr;
  EXPECT_FALSE(cdo->hasPolledObserver());
  EXPECT_FALSE(cdo->hasObservers());
  EXPECT_EQ(status.code, 0);
}

}  // namespace
}  // namespace nQoTest
