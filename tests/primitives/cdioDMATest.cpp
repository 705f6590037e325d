// The correlated DMA transfers over the real FIFO primitives and dispatcher.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "primitives/cdio/tBaseCDI_DMATransferPrimitive.h"
#include "primitives/cdio/tBaseCDO_DMATransferPrimitive.h"
#include "primitives/cdioFixture.h"
#include "primitives/cdioPartners.h"
#include "support/statusRecords.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tBaseCDI_DMATransferPrimitive;
using nQoUdP100::tBaseCDO_DMATransferPrimitive;
using tStrings = std::vector<std::string>;

class tCDIODMATest : public tCDIOTest {
 protected:
  void SetUp() override {
    tCDIOTest::SetUp();
    input = new tBaseCDI_DMATransferPrimitive(&deviceInfo, cdi, &identity, status);
    output = new tBaseCDO_DMATransferPrimitive(&deviceInfo, cdo, &identity, status);
    ASSERT_EQ(status.code, 0);
  }
  void TearDown() override {
    delete output;
    delete input;
    tCDIOTest::TearDown();
  }
  // Registered, the FIFO committed and armed, the transfer linked and started.
  void runInput(uint32_t mode) {
    input->setDestination(&destination, status);
    input->setSampleMode(mode, status);
    input->setDMAChannel(&channel);
    input->registerObservers(status);
    cdi->setModeFlag(1, status, 0);
    cdi->commit(status);
    cdi->arm(status);
    input->commit(status);
    input->linkDMA(status);
    input->start(status);
    ASSERT_EQ(status.code, 0);
    clearLogs();
  }

  tPartnerLog log;
  tDMAPartner<tBaseCDI_DMATransferPrimitive::iDestination, tBaseCDI_DMATransferPrimitive>
      destination{&log};
  tDMAPartner<tBaseCDO_DMATransferPrimitive::iSource, tBaseCDO_DMATransferPrimitive> source{&log};
  tDMAChannel channel{3};
  tBaseCDI_DMATransferPrimitive* input = nullptr;
  tBaseCDO_DMATransferPrimitive* output = nullptr;

  // After a transfer went with its unlink refused: the select kept its
  // channel, no lock was given back, the FIFO's next commit attaches no
  // handler of either source, and an interrupt of both calls nothing.
  template <class tFIFO>
  void expectNothingLeftIn(tFIFO* fifo, uint32_t first, uint32_t second, uint32_t both) {
    EXPECT_TRUE(at(windows.writes(), 0x07).empty());
    EXPECT_TRUE(lockOrder(*map).empty());
    fifo->commit(status);
    fifo->arm(status);
    EXPECT_EQ(board->primaryHandlers[first], nullptr);
    EXPECT_EQ(board->primaryHandlers[second], nullptr);
    windows.setRead(window, 0x88, 8, 0x01);
    fifos->scriptStatus({both});
    bus.raise(kIrq);
    bus.pumpSecondary();
    EXPECT_EQ(log.calls, tStrings{});
    fifo->disarm(status);
    fifo->uncommit(status);
    EXPECT_EQ(status.code, 0);
  }
};

TEST_F(tCDIODMATest, AnOverrunIsAcknowledgedAndEndsTheInputOnceFromTheSecondaryPass) {
  runInput(0);
  EXPECT_EQ(log.calls, tStrings{});
  windows.setRead(window, 0x88, 8, 0x01);
  fifos->scriptStatus({0x80000});
  EXPECT_EQ(bus.raise(kIrq), 1u);
  EXPECT_EQ(windows.writes(), (tLog{wrote32(0x224, 0x8000)}));
  EXPECT_EQ(log.calls, tStrings{});  // nothing at interrupt level
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  EXPECT_EQ(log.calls, tStrings{"ended -200715"});
  EXPECT_TRUE(loggedAt(-200715, "source/qomiop/cdio/tBaseCDI_DMATransferPrimitive", 352));
  EXPECT_EQ(at(windows.writes(), 0x224),
            (tLog{wrote32(0x224, 0x8000), wrote32(0x224, 0x4), wrote32(0x224, 0x20)}));

  fifos->scriptStatus({0x80000});
  bus.raise(kIrq);
  bus.pumpSecondary();
  input->stop(status);
  EXPECT_EQ(log.calls, tStrings{"ended -200715"});
  EXPECT_EQ(status.code, 0);
}

TEST_F(tCDIODMATest, AFiniteStopBeforeTheDataAreDoneWarnsOnlyOnACleanStatus) {
  runInput(1);
  input->stop(status);
  EXPECT_EQ(status.code, 200010);
  EXPECT_TRUE(loggedAt(200010, "source/qomiop/cdio/tBaseCDI_DMATransferPrimitive", 282));
  EXPECT_EQ(log.calls, (tStrings{"bind", "ended 200010"}));
  EXPECT_EQ(windows.writes(), (tLog{wrote32(0x224, 0x4), wrote32(0x224, 0x20)}));

  log.calls.clear();
  input->linkDMA(status);  // a new run
  tStatus2 warned(+50202);
  nQoSim::clearStatusLog();
  input->stop(warned);
  EXPECT_EQ(warned.code, 50202);
  EXPECT_FALSE(loggedAt(200010, "source/qomiop/cdio/tBaseCDI_DMATransferPrimitive", 282));

  log.calls.clear();
  status.clear();
  input->linkDMA(status);
  input->markDataDone(status);
  input->stop(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(log.calls, tStrings{"ended 0"});
}

// A stopped input started again is a run of its own: it reports its own end,
// and its stop before its data are done warns though the run before's data
// were done.
TEST_F(tCDIODMATest, AnInputStartedAgainReportsItsOwnEndAndEarlyStop) {
  runInput(1);
  input->markDataDone(status);
  input->stop(status);
  EXPECT_EQ(status.code, 0);
  input->start(status);
  input->stop(status);
  EXPECT_EQ(status.code, 200010);
  EXPECT_TRUE(loggedAt(200010, "source/qomiop/cdio/tBaseCDI_DMATransferPrimitive", 282));
  input->start(status);
  input->handleOverrun(cdi, status);  // the pass that asks for the secondary one
  input->handleOverrunSecondary(cdi, status);
  input->handleOverrunSecondary(cdi, status);
  EXPECT_EQ(log.calls, (tStrings{"bind", "ended 0", "ended 200010", "ended -200715"}));
}

TEST_F(tCDIODMATest, SettingsAreTakenOnlyBeforeRegistrationAndReadinessNeedsThem) {
  EXPECT_TRUE(input->isReady());
  input->registerObservers(status);
  EXPECT_EQ(input->state(), 2u);
  EXPECT_FALSE(input->isReady());  // no destination, no channel
  input->setDestination(&destination, status);
  EXPECT_EQ(status.code, -223748);
  EXPECT_TRUE(loggedAt(-223748, "source/qomiop/cdio/tBaseCDI_DMATransferPrimitive", 181));
  status.clear();
  input->setSampleMode(1, status);
  EXPECT_TRUE(loggedAt(-223748, "source/qomiop/cdio/tBaseCDI_DMATransferPrimitive", 235));
  status.clear();
  input->unregisterObservers(status);
  input->setDestination(&destination, status);
  input->setSampleMode(2, status);
  input->setDMAChannelNumber(5);
  input->registerObservers(status);
  EXPECT_FALSE(input->isReady());  // sample mode 2
  input->unregisterObservers(status);
  input->setSampleMode(1, status);
  input->registerObservers(status);
  EXPECT_TRUE(input->isReady());

  output->registerObservers(status);
  output->setSource(&source, status);
  EXPECT_TRUE(loggedAt(-223748, "source/qomiop/cdio/tBaseCDO_DMATransferPrimitive", 53));
  status.clear();
  output->setSampleMode(1, status);
  EXPECT_TRUE(loggedAt(-223748, "source/qomiop/cdio/tBaseCDO_DMATransferPrimitive", 109));
}

// A second registration adds no record: one unregistration takes every
// record out of the FIFO's lists, in both directions.
TEST_F(tCDIODMATest, ASecondRegistrationAddsNoRecordInEitherDirection) {
  input->registerObservers(status);
  input->registerObservers(status);
  EXPECT_EQ(input->state(), 2u);
  input->unregisterObservers(status);
  cdi->setModeFlag(1, status, 0);
  cdi->commit(status);
  EXPECT_EQ(board->primaryHandlers[kFIFOOverflow], nullptr);
  EXPECT_EQ(board->primaryHandlers[kCDIOverrun], nullptr);
  cdi->uncommit(status);

  output->setSource(&source, status);
  output->setSampleMode(1, status);
  output->registerObservers(status);
  output->registerObservers(status);
  output->unregisterObservers(status);
  EXPECT_FALSE(cdo->hasPolledObserver());
  cdo->setModeFlag(1, status, 0);
  cdo->commit(status);
  EXPECT_EQ(board->primaryHandlers[kOutputBufferError], nullptr);
  EXPECT_EQ(board->primaryHandlers[kCDOOverrun], nullptr);
  cdo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tCDIODMATest, LinkingBothDirectionsAndTheUnwatchedOutputMode) {
  input->setDestination(&destination, status);
  input->setDMAChannelNumber(3);
  input->registerObservers(status);
  input->commit(status);
  output->setSource(&source, status);
  output->setSampleMode(2, status);
  output->setDMAChannel(&channel);
  channel.number = 0x104;  // masked to 8 bits: channel 4
  output->registerObservers(status);
  EXPECT_EQ(log.calls, tStrings{"bind"});
  output->commit(status);
  clearLogs();
  input->linkDMA(status);
  output->linkDMA(status);
  EXPECT_EQ(windows.writes(),
            (tLog{wrote(0x07, 0x08, 8), wrote32(0x224, 0x10), wrote(0x07, 0x38, 8)}));

  // Mode 2: overrun only; the FIFO's commit sets bit 8.
  cdo->setModeFlag(1, status, 0);
  clearLogs();
  cdo->commit(status);
  EXPECT_EQ(board->primaryHandlers[kOutputBufferError], nullptr);
  EXPECT_NE(board->primaryHandlers[kCDOOverrun], nullptr);
  EXPECT_EQ(at(windows.log(), 0x22C),
            (tLog{wrote32(0x22C, 0x800), wrote32(0x22C, 0x900), wrote32(0x22C, 0xB00)}));
  cdo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tCDIODMATest, AFiniteOutputEndsWhenThePollingThreadSawTheFIFORunEmpty) {
  fifos->setOutputDepth(8);
  output->setSource(&source, status);
  output->setSampleMode(1, status);
  output->setCounts(4, 4);
  output->setDMAChannelNumber(2);
  output->registerObservers(status);
  cdo->setModeFlag(1, status, 0);
  cdo->commit(status);
  cdo->arm(status);
  output->commit(status);
  output->linkDMA(status);
  output->start(status);
  EXPECT_NE(board->primaryHandlers[kOutputBufferError], nullptr);
  const uint32_t word = 7;
  cdo->writeSample(&word, status);
  output->markEndOfData(status);
  cdo->stepFIFO(status);  // the channel's last word leaves the FIFO
  EXPECT_EQ(cdo->waitForDone(5000, status), 1u);
  EXPECT_EQ(log.calls, (tStrings{"bind", "ended 0"}));
  output->stop(status);  // no warning: the FIFO ran empty; no second end
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(log.endings(), 1);
  cdo->disarm(status);
  output->unlinkDMA(status);
  output->uncommit(status);
  cdo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A finite output started again is a run of its own: the FIFO running empty
// in the run before does not spare its early stop the warning.
TEST_F(tCDIODMATest, AnOutputStartedAgainWarnsWhenStoppedBeforeItsOwnFIFORanEmpty) {
  output->setSource(&source, status);
  output->setSampleMode(1, status);
  output->setCounts(4, 4);
  output->setDMAChannelNumber(2);
  output->registerObservers(status);
  cdo->setModeFlag(1, status, 0);
  cdo->commit(status);
  cdo->arm(status);
  output->commit(status);
  output->linkDMA(status);
  output->start(status);
  output->markEndOfData(status);
  EXPECT_EQ(cdo->waitForDone(5000, status), 1u);
  output->stop(status);
  EXPECT_EQ(status.code, 0);
  output->start(status);
  output->stop(status);
  EXPECT_EQ(status.code, 200010);
  EXPECT_TRUE(loggedAt(200010, "source/qomiop/cdio/tBaseCDO_DMATransferPrimitive", 383));
  EXPECT_EQ(log.calls, (tStrings{"bind", "ended 0", "ended 200010"}));
  status.clear();
  cdo->disarm(status);
  output->unlinkDMA(status);
  output->uncommit(status);
  cdo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tCDIODMATest, AnOutputStoppedBeforeItRanEmptyWarnsAndEndsOnce) {
  output->setSource(&source, status);
  output->setSampleMode(1, status);
  output->setDMAChannelNumber(2);
  output->registerObservers(status);
  output->commit(status);
  output->linkDMA(status);
  output->start(status);
  output->stop(status);
  EXPECT_EQ(status.code, 200010);
  EXPECT_TRUE(loggedAt(200010, "source/qomiop/cdio/tBaseCDO_DMATransferPrimitive", 383));
  // Each secondary pass after the pass that asks for it.
  output->handleOverrun(cdo, status);
  output->handleOverrunSecondary(cdo, status);
  EXPECT_EQ(log.calls, (tStrings{"bind", "ended 200010"}));
  output->start(status);
  output->handleOverrun(cdo, status);
  output->handleOverrunSecondary(cdo, status);
  output->handleBufferError(cdo, status);
  output->handleBufferErrorSecondary(cdo, status);
  EXPECT_EQ(log.calls, (tStrings{"bind", "ended 200010", "ended -200716"}));
}

// The unlink at destruction cannot take the DMA select's lock; the
// transfer's records still leave the FIFO's lists.
TEST_F(tCDIODMATest, AnInputWhoseUnlinkFailsAtDestructionLeavesNoRecordInTheFIFO) {
  runInput(0);
  cdi->disarm(status);
  cdi->uncommit(status);
  clearLogs();
  nQoSim::failNextAcquire(-50001);
  delete input;
  input = nullptr;
  expectNothingLeftIn(cdi, kFIFOOverflow, kCDIOverrun, 0x180000);  // overrun and buffer error
}

TEST_F(tCDIODMATest, AnOutputWhoseUnlinkFailsAtDestructionLeavesNoRecordInTheFIFO) {
  output->setSource(&source, status);
  output->setDMAChannelNumber(2);
  output->registerObservers(status);  // continuous: buffer error and overrun
  cdo->setModeFlag(1, status, 0);
  cdo->commit(status);
  cdo->arm(status);
  output->commit(status);
  output->linkDMA(status);
  output->start(status);
  cdo->disarm(status);
  cdo->uncommit(status);
  ASSERT_EQ(status.code, 0);
  clearLogs();
  nQoSim::failNextAcquire(-50001);
  delete output;
  output = nullptr;
  expectNothingLeftIn(cdo, kOutputBufferError, kCDOOverrun, 0x18);  // buffer error and overrun
}

// An uncommit of a linked transfer takes the link down first, as code 4101
// does, and ends a run still going first, with its report: the unlink after
// it leaves the state where the uncommit put it, and a transfer destroyed
// after such an uncommit has no link left to give back.
TEST_F(tCDIODMATest, AnUncommitOfALinkedTransferUnlinksItFirstAndLeavesTheDestructorNothing) {
  runInput(0);
  input->stop(status);
  input->uncommit(status);
  EXPECT_EQ(input->state(), 2u);
  EXPECT_FALSE(input->isDMALinked());
  EXPECT_EQ(at(windows.writes(), 0x07), (tLog{wrote(0x07, 0x00, 8)}));
  clearLogs();
  input->unlinkDMA(status);
  EXPECT_EQ(input->state(), 2u) << "the unlink raised the uncommitted transfer";
  EXPECT_FALSE(input->isDMALinked());
  EXPECT_EQ(at(windows.writes(), 0x07), (tLog{wrote(0x07, 0x00, 8)}));

  input->commit(status);
  input->linkDMA(status);
  input->start(status);
  log.calls.clear();
  clearLogs();
  input->uncommit(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(log.calls, tStrings{"ended 0"}) << "the run ended first, with its report";
  EXPECT_EQ(at(windows.writes(), 0x224), (tLog{wrote32(0x224, 0x4), wrote32(0x224, 0x20)}));
  EXPECT_EQ(at(windows.writes(), 0x07), (tLog{wrote(0x07, 0x00, 8)}));
  cdi->disarm(status);
  cdi->uncommit(status);
  ASSERT_EQ(status.code, 0);
  clearLogs();
  delete input;
  input = nullptr;
  EXPECT_TRUE(at(windows.writes(), 0x07).empty());
  EXPECT_EQ(log.calls, tStrings{"ended 0"});

  output->setSource(&source, status);
  output->setDMAChannelNumber(4);
  output->registerObservers(status);
  output->commit(status);
  output->linkDMA(status);
  output->uncommit(status);
  ASSERT_EQ(status.code, 0);
  EXPECT_EQ(at(windows.writes(), 0x07), (tLog{wrote(0x07, 0x30, 8), wrote(0x07, 0x00, 8)}));
  clearLogs();
  delete output;
  output = nullptr;
  EXPECT_TRUE(at(windows.writes(), 0x07).empty());
}

// A commit or a link that came before the registration leaves it its work:
// the registration binds a finite partner and puts the records in, which the
// FIFO's commit finds, and keeps the state.
TEST_F(tCDIODMATest, ARegistrationAfterACommitOrALinkRegistersAndKeepsTheState) {
  input->setDestination(&destination, status);
  input->setSampleMode(1, status);
  input->setDMAChannelNumber(3);
  input->commit(status);
  input->linkDMA(status);
  input->registerObservers(status);
  EXPECT_EQ(input->state(), 4u);
  EXPECT_EQ(log.calls, tStrings{"bind"});
  cdi->setModeFlag(1, status, 0);
  cdi->commit(status);
  EXPECT_NE(board->primaryHandlers[kFIFOOverflow], nullptr);
  EXPECT_NE(board->primaryHandlers[kCDIOverrun], nullptr);
  cdi->uncommit(status);

  output->setSource(&source, status);
  output->setDMAChannelNumber(2);
  output->commit(status);
  output->registerObservers(status);  // continuous: buffer error and overrun
  EXPECT_EQ(output->state(), 3u);
  cdo->setModeFlag(1, status, 0);
  cdo->commit(status);
  EXPECT_NE(board->primaryHandlers[kOutputBufferError], nullptr);
  EXPECT_NE(board->primaryHandlers[kCDOOverrun], nullptr);
  cdo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

}  // namespace
}  // namespace nQoTest
