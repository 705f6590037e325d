// The correlated output transfers taken down while the CDO FIFO's polling
// thread is telling them that the FIFO ran empty: the destruction waits for
// the call to leave (the call is held there until the destruction returns, or
// for a bounded while), and no path leaves a record in the FIFO's lists. Of
// several outputs on one FIFO, only the one whose end woke the thread ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "primitives/cdio/tBaseCDOImmediateTransferPrimitive.h"
#include "primitives/cdio/tBaseCDOInterruptTransferPrimitive.h"
#include "primitives/cdio/tBaseCDO_DMATransferPrimitive.h"
#include "primitives/cdioFixture.h"
#include "primitives/cdioPartners.h"
#include "sim/simTime.h"
#include "support/heldCall.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tBaseCDO_DMATransferPrimitive;
using nQoUdP100::tBaseCDOImmediateTransferPrimitive;
using nQoUdP100::tBaseCDOInterruptTransferPrimitive;
using tStrings = std::vector<std::string>;

class tHeldDone : public nQoUdP100::iDoneObserver {
 public:
  explicit tHeldDone(tHeldCall* held) : _held(held) {}
  void notifyDone(const tStatus2& status) override {
    codes.push_back(status.code);
    _held->hold();
  }
  void notifyDoneWithStatus(const tStatus2& status, tStatus2&) override { notifyDone(status); }
  std::vector<int> codes;

 private:
  tHeldCall* _held;
};

class tCDOTeardownTest : public tCDIOTest {
 protected:
  void SetUp() override {
    tCDIOTest::SetUp();
    nQoSim::resetTime();
    nQoSim::useTestClock(0);
    log.held = &held;
  }
  void TearDown() override {
    nQoSim::resetTime();
    tCDIOTest::TearDown();
  }
  void runFIFO() {
    cdo->setModeFlag(1, status, 0);
    cdo->commit(status);  // a polled observer: the polling thread starts
    cdo->arm(status);
  }
  // The transfer is destroyed while the polling thread is held inside it;
  // then the FIFO's action has ended and no polled observer is left.
  template <class tTransfer>
  void destroyWhileHeld(tTransfer* transfer) {
    ASSERT_TRUE(held.waitUntilInside());
    delete transfer;
    held.letGo();
    EXPECT_TRUE(held.expired()) << "the destruction returned while the call was inside";
    EXPECT_FALSE(cdo->hasPolledObserver());
    EXPECT_EQ(cdo->waitForDone(5000, status), 1u);
    cdo->disarm(status);
    cdo->uncommit(status);
    EXPECT_EQ(status.code, 0);
  }

  tHeldCall held;
  tPartnerLog log;
};

TEST_F(tCDOTeardownTest, AnImmediateOutputDestroyedWhileItsEndIsReportedWaitsForTheReport) {
  tHeldDone done{&held};
  auto* output =
      new tBaseCDOImmediateTransferPrimitive(&deviceInfo, &description, cdo, &identity, status);
  output->setDoneObserver(&done);
  output->setSampleMode(1);
  output->setTotal(1);
  output->commitTransfer(status);
  runFIFO();
  output->commitChannel(status);
  output->startTransfer(status);
  output->startChannel(status);
  fifos->setOutputDepth(4);
  const uint32_t sample = 9;
  EXPECT_EQ(output->write(1, &sample, status), 1u);  // the last one: the polling thread wakes
  cdo->stepFIFO(status);                             // and sees the FIFO run empty
  destroyWhileHeld(output);
  EXPECT_EQ(done.codes, std::vector<int>{0});
  EXPECT_EQ(fifos->lines(), std::vector<uint32_t>{9});
}

TEST_F(tCDOTeardownTest, ADMAOutputDestroyedWhileItsEndIsReportedWaitsForTheReport) {
  tDMAPartner<tBaseCDO_DMATransferPrimitive::iSource, tBaseCDO_DMATransferPrimitive> source{&log};
  auto* output = new tBaseCDO_DMATransferPrimitive(&deviceInfo, cdo, &identity, status);
  output->setSource(&source, status);
  output->setSampleMode(1, status);
  output->setDMAChannelNumber(2);
  output->registerObservers(status);
  runFIFO();
  output->commit(status);
  output->linkDMA(status);
  output->start(status);
  output->markEndOfData(status);  // the FIFO is empty: the polling thread ends the output
  destroyWhileHeld(output);
  EXPECT_EQ(log.calls, (tStrings{"bind", "ended 0"}));
}

TEST_F(tCDOTeardownTest, AnInterruptOutputDestroyedWhileItsEndIsReportedWaitsForTheReport) {
  tDataPartner<tBaseCDOInterruptTransferPrimitive::iSource> source{&log};
  auto* output = new tBaseCDOInterruptTransferPrimitive(&deviceInfo, &description, cdo, status);
  output->setSource(&source);
  output->setSampleMode(1);
  output->setChunkSize(16);
  output->setTotal(8);
  output->setLimit(1000);
  output->setPreload(8);
  output->registerObservers(status);
  output->commit(status);
  runFIFO();
  output->arm(status);
  output->start(status);
  output->handleFIFO(cdo, status);           // the pass that asks for the secondary one
  output->handleFIFOSecondary(cdo, status);  // all handed over: the polling thread wakes
  destroyWhileHeld(output);
  EXPECT_EQ(log.calls, (tStrings{"data 32", "ended 0"}));
}

// Settings deployed while observing may change the mode: the polled record
// registered for a finite output leaves all the same.
TEST_F(tCDOTeardownTest, AnInterruptOutputWhoseModeChangedWhileObservingLeavesNoPolledRecord) {
  tDataPartner<tBaseCDOInterruptTransferPrimitive::iSource> source{&log};
  tBaseCDOInterruptTransferPrimitive output(&deviceInfo, &description, cdo, status);
  output.setSource(&source);
  output.setSampleMode(1);
  output.registerObservers(status);
  ASSERT_TRUE(cdo->hasPolledObserver());
  output.setSampleMode(2);
  output.unregisterObservers(status);
  EXPECT_FALSE(cdo->hasPolledObserver());
  cdo->setModeFlag(1, status, 0);
  cdo->commit(status);
  EXPECT_EQ(board->primaryHandlers[kCDOFIFO], nullptr);
  EXPECT_EQ(board->primaryHandlers[kCDOOverrun], nullptr);
  cdo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// Every output transfer of one FIFO hears that it ran empty; only the one
// whose end woke the polling thread ends, the others run on to their own.
TEST_F(tCDOTeardownTest, OutputsOnOneFIFOEndEachOnlyAtItsOwnWake) {
  held.letGo();
  tPartnerLog dmaLog, interruptLog;
  tDMAPartner<tBaseCDO_DMATransferPrimitive::iSource, tBaseCDO_DMATransferPrimitive> dmaSource{
      &dmaLog};
  tDataPartner<tBaseCDOInterruptTransferPrimitive::iSource> interruptSource{&interruptLog};
  tHeldDone done{&held};
  tBaseCDO_DMATransferPrimitive dma(&deviceInfo, cdo, &identity, status);
  dma.setSource(&dmaSource, status);
  dma.setSampleMode(1, status);
  dma.setDMAChannelNumber(2);
  dma.registerObservers(status);
  tBaseCDOInterruptTransferPrimitive interrupt(&deviceInfo, &description, cdo, status);
  interrupt.setSource(&interruptSource);
  interrupt.setSampleMode(1);
  interrupt.setChunkSize(16);
  interrupt.setTotal(8);
  interrupt.setLimit(1000);
  interrupt.setPreload(8);
  interrupt.registerObservers(status);
  interrupt.commit(status);
  tBaseCDOImmediateTransferPrimitive immediate(&deviceInfo, &description, cdo, &identity, status);
  immediate.setDoneObserver(&done);
  immediate.setSampleMode(1);
  immediate.setTotal(1);
  immediate.commitTransfer(status);
  runFIFO();
  dma.commit(status);
  dma.linkDMA(status);
  dma.start(status);
  interrupt.arm(status);
  interrupt.start(status);
  immediate.commitChannel(status);
  immediate.startTransfer(status);
  immediate.startChannel(status);
  ASSERT_EQ(status.code, 0);

  fifos->setOutputDepth(4);
  const uint32_t sample = 9;
  EXPECT_EQ(immediate.write(1, &sample, status), 1u);  // the immediate output's wake
  cdo->stepFIFO(status);
  EXPECT_EQ(cdo->waitForDone(5000, status), 1u);
  EXPECT_EQ(done.codes, std::vector<int>{0});
  EXPECT_EQ(dmaLog.calls, tStrings{"bind"});
  EXPECT_EQ(interruptLog.calls, tStrings{"data 32"});
  ASSERT_TRUE(dma.isRunning() && interrupt.isRunning()) << "ended by a wake not theirs";

  cdo->arm(status);                            // the polling thread ready again
  interrupt.handleFIFO(cdo, status);           // the pass that asks for the secondary one
  interrupt.handleFIFOSecondary(cdo, status);  // the interrupt output's wake
  EXPECT_EQ(cdo->waitForDone(5000, status), 1u);
  EXPECT_EQ(interruptLog.calls, (tStrings{"data 32", "ended 0"}));
  EXPECT_EQ(dmaLog.calls, tStrings{"bind"});
  ASSERT_TRUE(dma.isRunning()) << "ended by a wake not its own";

  cdo->arm(status);
  dma.markEndOfData(status);  // the DMA output's wake
  EXPECT_EQ(cdo->waitForDone(5000, status), 1u);
  EXPECT_EQ(dmaLog.calls, (tStrings{"bind", "ended 0"}));
  EXPECT_EQ(done.codes, std::vector<int>{0});
  EXPECT_EQ(status.code, 0);
  cdo->disarm(status);
  cdo->uncommit(status);
}

}  // namespace
}  // namespace nQoTest
