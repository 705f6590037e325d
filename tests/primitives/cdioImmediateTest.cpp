// The correlated immediate transfers: reads and writes on the caller's
// thread, their waits, time-outs and cancels, and the finite totals.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <thread>
#include <vector>

#include "kal/nQoKAL.h"
#include "primitives/cdio/tBaseCDIImmediateTransferPrimitive.h"
#include "primitives/cdio/tBaseCDOImmediateTransferPrimitive.h"
#include "primitives/cdioFixture.h"
#include "sim/simSync.h"
#include "sim/simTime.h"
#include "support/heldCall.h"
#include "support/statusRecords.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tBaseCDIImmediateTransferPrimitive;
using nQoUdP100::tBaseCDOImmediateTransferPrimitive;

constexpr char kInputFile[] = "source/qomiop/cdio/tBaseCDIImmediateTransferPrimitive";
constexpr char kOutputFile[] = "source/qomiop/cdio/tBaseCDOImmediateTransferPrimitive";
constexpr uint64_t kMillisecond = 1000000;

class tDone : public nQoUdP100::iDoneObserver {
 public:
  void notifyDone(const tStatus2& status) override { codes.push_back(status.code); }
  void notifyDoneWithStatus(const tStatus2& status, tStatus2&) override { notifyDone(status); }
  std::vector<int> codes;
};

// Holds the thread that tells it of the done (a read, the polling thread)
// until the test lets it go.
class tHeldDone : public nQoUdP100::iDoneObserver {
 public:
  explicit tHeldDone(tHeldCall& held) : _held(held) {}
  void notifyDone(const tStatus2& status) override {
    codes.push_back(status.code);
    _held.hold();
  }
  void notifyDoneWithStatus(const tStatus2& status, tStatus2&) override { notifyDone(status); }
  std::vector<int> codes;

 private:
  tHeldCall& _held;
};

class tCDIOImmediateTest : public tCDIOTest {
 protected:
  void SetUp() override {
    tCDIOTest::SetUp();
    nQoSim::resetTime();
    nQoSim::useTestClock(0);
    input =
        new tBaseCDIImmediateTransferPrimitive(&deviceInfo, &description, cdi, &identity, status);
    output =
        new tBaseCDOImmediateTransferPrimitive(&deviceInfo, &description, cdo, &identity, status);
    ASSERT_EQ(status.code, 0);
    input->setDoneObserver(&done);
    output->setDoneObserver(&done);
    for (auto step : {&tBaseCDIImmediateTransferPrimitive::commitTransfer,
                      &tBaseCDIImmediateTransferPrimitive::commitChannel,
                      &tBaseCDIImmediateTransferPrimitive::startTransfer,
                      &tBaseCDIImmediateTransferPrimitive::startChannel})
      (input->*step)(status);
    // Each status read is a millisecond.
    fifos->onStatusRead([] { nQoSim::advanceClock(kMillisecond); });
    clearLogs();
  }
  void TearDown() override {
    status.clear();  // gives the description back before the leak check
    fifos->onStatusRead(nullptr);
    delete output;
    delete input;
    nQoSim::resetTime();
    tCDIOTest::TearDown();
  }
  void startOutput() {
    for (auto step : {&tBaseCDOImmediateTransferPrimitive::commitTransfer,
                      &tBaseCDOImmediateTransferPrimitive::commitChannel,
                      &tBaseCDOImmediateTransferPrimitive::startTransfer,
                      &tBaseCDOImmediateTransferPrimitive::startChannel})
      (output->*step)(status);
    ASSERT_EQ(status.code, 0);
    clearLogs();
  }

  tDone done;
  tBaseCDIImmediateTransferPrimitive* input = nullptr;
  tBaseCDOImmediateTransferPrimitive* output = nullptr;
  uint32_t buffer[8] = {};
};

TEST_F(tCDIOImmediateTest, AZeroTimeOutOnAnEmptyFIFOFailsAtOnceNamingTheBoard) {
  input->setTimeout(0);
  EXPECT_EQ(input->read(buffer, 4, status), 0u);
  EXPECT_EQ(status.code, -200474);
  EXPECT_TRUE(loggedAt(-200474, kInputFile, 348));
  EXPECT_EQ(guidProperty(status.description, 1), identity);
  EXPECT_EQ(fifos->inputReads(), 0u);
}

TEST_F(tCDIOImmediateTest, ATimeOutKeepsTheSamplesAlreadyRead) {
  fifos->pushInput({0x11, 0x22});
  input->setTimeout(50);
  EXPECT_EQ(input->read(buffer, 4, status), 2u);
  EXPECT_EQ(status.code, -200474);
  EXPECT_EQ(buffer[0], 0x11u);
  EXPECT_EQ(buffer[1], 0x22u);
  EXPECT_GE(nQoSim::clockNanoseconds(), 50 * kMillisecond);
  EXPECT_EQ(input->samplesRead(), 2u);
}

TEST_F(tCDIOImmediateTest, ACancelDuringTheWaitReadsNothingFromTheDataPort) {
  input->setTimeout(0xFFFFFFFF);
  int reads = 0;
  fifos->onStatusRead([&] {
    if (++reads == 5) input->requestCancel();
  });
  EXPECT_EQ(input->read(buffer, 4, status), 0u);
  EXPECT_EQ(fifos->inputReads(), 0u);
  EXPECT_EQ(status.code, 0);
}

// A run that was cancelled and stopped leaves no cancel to the run started
// after it: its reads take the samples.
TEST_F(tCDIOImmediateTest, AnInputStartedAgainAfterACancelReads) {
  input->requestCancel();
  EXPECT_EQ(input->read(buffer, 2, status), 0u);
  input->stopTransfer(status);
  input->stopChannel(status);
  input->startTransfer(status);
  input->startChannel(status);
  fifos->pushInput({0x33, 0x44});
  EXPECT_EQ(input->read(buffer, 2, status), 2u);
  EXPECT_EQ(buffer[0], 0x33u);
  EXPECT_EQ(buffer[1], 0x44u);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tCDIOImmediateTest, NoSamplesAskedReadsAndDrainsNothing) {
  fifos->pushInput({1, 2, 3});
  input->setNewestSamples(1);
  EXPECT_EQ(input->read(buffer, 0, status), 0u);
  EXPECT_EQ(fifos->inputReads(), 0u);
  EXPECT_EQ(status.code, 0);

  // With samples asked, the buffer ends with the newest ones.
  fifos->pushInput({4, 5});
  EXPECT_EQ(input->read(buffer, 2, status), 2u);
  EXPECT_EQ(buffer[0], 4u);
  EXPECT_EQ(buffer[1], 5u);
  EXPECT_EQ(status.code, 209800);
  EXPECT_EQ(input->samplesRead(), 5u);
}

TEST_F(tCDIOImmediateTest, AFiniteInputEndsAtItsTotalAndRefusesMore) {
  input->setSampleMode(1);
  input->setTotal(3);
  input->setNewestSamples(1);
  fifos->pushInput({1, 2, 3, 4});
  EXPECT_EQ(input->read(buffer, 8, status), 3u);  // no drain after the total
  EXPECT_EQ(fifos->inputSize(), 1u);
  EXPECT_EQ(done.codes, std::vector<int>{0});
  EXPECT_EQ(input->read(buffer, 1, status), 0u);
  EXPECT_EQ(status.code, -200278);
  EXPECT_TRUE(loggedAt(-200278, kInputFile, 326));
  EXPECT_EQ(guidProperty(status.description, 1), identity);
  status.clear();

  // A start after the done begins the next run, on a FIFO stopped and reset
  // first, with a done report of its own.
  clearLogs();
  input->startTransfer(status);
  input->startChannel(status);
  EXPECT_EQ(at(windows.writes(), 0x224),
            (tLog{wrote32(0x224, 0x4), wrote32(0x224, 0x20), wrote32(0x224, 0x8)}));
  fifos->pushInput({5, 6});
  EXPECT_EQ(input->read(buffer, 8, status), 3u);
  EXPECT_EQ(done.codes, (std::vector<int>{0, 0}));

  input->stopTransfer(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(done.codes, (std::vector<int>{0, 0}));
}

// A read that takes the last sample of a finite input ends the run between
// the two steps of a start, held as it reports the done: the transfer's step
// kept the run it found under way, and the channel's step begins the next
// run, whose reads take its own samples.
TEST_F(tCDIOImmediateTest, AReadEndingTheRunBetweenTheStepsOfAStartLeavesTheNextRunReading) {
  tHeldCall held(tHeldCall::kGuard);
  tHeldDone heldDone(held);
  input->setDoneObserver(&heldDone);
  input->setSampleMode(1);
  input->setTotal(2);
  input->setTimeout(50);
  fifos->pushInput({1, 2});
  input->startTransfer(status);
  uint32_t last[2] = {};
  uint32_t read = 0;
  tStatus2 reading;
  std::thread reader([&] { read = input->read(last, 2, reading); });
  EXPECT_TRUE(held.waitUntilInside()) << "the read never ended the run";
  input->startChannel(status);
  held.letGo();
  reader.join();
  EXPECT_EQ(read, 2u);
  EXPECT_EQ(reading.code, 0);
  EXPECT_EQ(last[1], 2u);
  EXPECT_EQ(status.code, 0);

  fifos->pushInput({3, 4});
  EXPECT_EQ(input->read(buffer, 2, status), 2u);
  EXPECT_EQ(status.code, 0) << "the new run refuses its reads";
  EXPECT_EQ(buffer[0], 3u);
  EXPECT_EQ(buffer[1], 4u);
  EXPECT_EQ(heldDone.codes, (std::vector<int>{0, 0}));
  input->setDoneObserver(&done);
}

TEST_F(tCDIOImmediateTest, InputErrorsAndAnEarlyStop) {
  input->setSampleMode(1);
  input->setTotal(10);
  fifos->pushInput({1});
  fifos->setInputBits(0x80000);
  EXPECT_EQ(input->readOne(buffer, status), 1u);
  EXPECT_EQ(status.code, -200715);
  EXPECT_TRUE(loggedAt(-200715, kInputFile, 440));
  status.clear();
  fifos->pushInput({2});
  fifos->setInputBits(0x100000);
  input->readOne(buffer, status);
  EXPECT_TRUE(loggedAt(-200010, kInputFile, 443));
  status.clear();
  input->stopTransfer(status);
  EXPECT_EQ(status.code, 200010);
  EXPECT_TRUE(loggedAt(200010, kInputFile, 187));
  EXPECT_EQ(done.codes, std::vector<int>{200010});
}

TEST_F(tCDIOImmediateTest, AWaitEachWriteWhoseSecondSampleNeverLeavesReturnsTwo) {
  startOutput();
  fifos->setOutputDepth(8);
  output->setWriteMode(1);
  output->setTimeout(50);
  fifos->onStatusRead([&] {
    nQoSim::advanceClock(kMillisecond);
    if (fifos->lines().empty()) fifos->stepOutput();  // only the first goes out
  });
  const uint32_t samples[3] = {7, 8, 9};
  EXPECT_EQ(output->write(3, samples, status), 2u);
  EXPECT_EQ(status.code, -200474);
  EXPECT_TRUE(loggedAt(-200474, kOutputFile, 413));
  EXPECT_EQ(fifos->lines(), std::vector<uint32_t>{7});
}

TEST_F(tCDIOImmediateTest, BufferedWritesWriteWhileThereIsRoomAndEndAtTheTotal) {
  startOutput();
  fifos->setOutputDepth(2);
  output->setTimeout(0);
  output->setSampleMode(1);
  output->setTotal(2);
  const uint32_t samples[3] = {1, 2, 3};
  EXPECT_EQ(output->write(2, samples, status), 2u);  // a zero time-out writes with room
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(output->write(1, samples, status), 0u);
  EXPECT_EQ(status.code, -200288);
  EXPECT_TRUE(loggedAt(-200288, kOutputFile, 308));
  status.clear();
  output->stopTransfer(status);  // the FIFO has not run empty yet
  EXPECT_EQ(status.code, 200010);
  EXPECT_TRUE(loggedAt(200010, kOutputFile, 212));

  status.clear();
  output->setSampleMode(3);
  output->startChannel(status);
  EXPECT_EQ(output->write(3, samples, status), 1u);  // full at the first
  EXPECT_EQ(status.code, -200795);
  EXPECT_TRUE(loggedAt(-200795, kOutputFile, 327));
}

// A finite output started again counts its own total from 0, and a cancel of
// the run before does not end its writes.
TEST_F(tCDIOImmediateTest, AnOutputStartedAgainCountsItsOwnTotal) {
  startOutput();
  fifos->setOutputDepth(8);
  output->setTimeout(0);
  output->setSampleMode(1);
  output->setTotal(2);
  const uint32_t samples[3] = {1, 2, 3};
  EXPECT_EQ(output->write(1, samples, status), 1u);
  output->requestCancel();
  const auto restart = [&] {
    tStatus2 stopped;
    output->stopTransfer(stopped);
    EXPECT_EQ(stopped.code, 200010);
    output->stopChannel(status);
    output->startTransfer(status);
    output->startChannel(status);
  };
  restart();
  EXPECT_EQ(output->write(1, samples, status), 1u) << "no cancel left";
  EXPECT_EQ(output->samplesWritten(), 1u);
  restart();
  EXPECT_EQ(output->write(3, samples, status), 2u);
  EXPECT_EQ(output->samplesWritten(), 2u);
  EXPECT_EQ(output->write(1, samples, status), 0u);
  EXPECT_EQ(status.code, -200288) << "all of this run's total written";

  // Once its FIFO ran empty and the done came, a start with no stop begins
  // the next run, which counts its own total too.
  status.clear();
  output->handleFIFOEmptyPolled(cdo, status);
  EXPECT_EQ(done.codes, (std::vector<int>{200010, 200010, 0}));
  output->startTransfer(status);
  output->startChannel(status);
  EXPECT_EQ(output->write(3, samples, status), 2u);
  EXPECT_EQ(output->samplesWritten(), 2u);
  EXPECT_EQ(status.code, 0);
}

// The FIFO's polling thread stops a finite output that ran empty between
// the two steps of a start, held as it reports the done: the transfer's step
// kept the run it found under way, and the channel's step begins the next
// run, which counts its own total from 0 and ends at it.
TEST_F(tCDIOImmediateTest, APollingStopBetweenTheStepsOfAStartLeavesTheNextRunItsOwnTotal) {
  tHeldCall held(tHeldCall::kGuard);
  tHeldDone heldDone(held);
  output->setDoneObserver(&heldDone);
  startOutput();
  fifos->setOutputDepth(8);
  output->setTimeout(0);
  output->setSampleMode(1);
  output->setTotal(2);
  cdo->commit(status);  // the polling thread
  cdo->arm(status);
  ASSERT_EQ(status.code, 0);
  const uint32_t samples[3] = {1, 2, 3};
  ASSERT_EQ(output->write(2, samples, status), 2u);
  output->startTransfer(status);
  cdo->stepFIFO(status);
  cdo->stepFIFO(status);
  EXPECT_TRUE(held.waitUntilInside()) << "the polling thread never stopped the run";
  output->startChannel(status);
  held.letGo();
  EXPECT_EQ(cdo->waitForDone(5000, status), 1u);
  EXPECT_EQ(heldDone.codes, std::vector<int>{0});
  ASSERT_EQ(status.code, 0);

  EXPECT_EQ(output->write(3, samples, status), 2u);
  EXPECT_EQ(output->samplesWritten(), 2u);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(output->write(1, samples, status), 0u);
  EXPECT_EQ(status.code, -200288) << "a write past the new run's total";
  EXPECT_EQ(fifos->output(), (std::deque<uint32_t>{1, 2}));
  status.clear();
  cdo->disarm(status);
  cdo->uncommit(status);
  EXPECT_EQ(status.code, 0);
  output->setDoneObserver(&done);
}

// The FIFO's polling thread, held as it lets the transfer's lock go after it
// found a finite output's FIFO run empty, and a code 3 and a whole code 2 in
// that time: the polling thread's stop was the old run's, so the new run
// keeps its FIFO started, takes its own total, and no done report of its
// own comes.
TEST_F(tCDIOImmediateTest, APollingStopThatAStopAndAStartOvertookLeavesTheNewRunRunning) {
  startOutput();
  fifos->setOutputDepth(8);
  output->setTimeout(0);
  output->setSampleMode(1);
  output->setTotal(2);
  cdo->commit(status);  // the polling thread
  cdo->arm(status);
  ASSERT_EQ(status.code, 0);
  const uint32_t samples[2] = {1, 2};
  nQoSim::clearSyncLog();
  ASSERT_EQ(output->write(2, samples, status), 2u);
  const iSync* transferLock = nullptr;
  for (const nQoSim::tSyncRecord& record : nQoSim::syncLog())
    if (record.operation == nQoSim::tSyncRecord::kRelease) transferLock = record.object;
  ASSERT_NE(transferLock, nullptr);
  tHeldCall held(tHeldCall::kGuard);
  const uint64_t testThread = nQoKAL100_getThreadHandle();
  nQoSim::onSyncSet([&](const iSync* object, bool set) {
    if (set && object == transferLock && nQoKAL100_getThreadHandle() != testThread) held.hold();
  });
  cdo->stepFIFO(status);
  cdo->stepFIFO(status);
  EXPECT_TRUE(held.waitUntilInside()) << "the polling thread never took the run's end";
  tStatus2 stopped;
  output->stopTransfer(stopped);
  output->stopChannel(status);
  output->startTransfer(status);
  output->startChannel(status);
  held.letGo();
  EXPECT_EQ(cdo->waitForDone(5000, status), 1u);
  nQoSim::onSyncSet({});
  EXPECT_EQ(stopped.code, 0);
  ASSERT_EQ(status.code, 0);
  EXPECT_TRUE(fifos->outputStarted()) << "the polling thread stopped the new run";
  EXPECT_EQ(done.codes, std::vector<int>{0}) << "a done report of the new run";

  EXPECT_EQ(output->write(2, samples, status), 2u);
  EXPECT_EQ(output->samplesWritten(), 2u);
  EXPECT_EQ(status.code, 0);
  cdo->disarm(status);
  cdo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tCDIOImmediateTest, ASingleWriteDropsStaleSamplesAndAcknowledgesABufferError) {
  startOutput();
  fifos->setOutputDepth(4);
  const uint32_t stale = 5;
  cdo->writeSample(&stale, status);
  output->setWriteMode(1);
  fifos->setOutputBits(0x10);
  const uint8_t sample[2] = {0x34, 0x12};
  description.sampleWidth = 2;
  clearLogs();
  EXPECT_EQ(output->write(1, sample, status), 1u);
  EXPECT_EQ(fifos->lines(), std::vector<uint32_t>{5});
  EXPECT_EQ(fifos->output().back(), 0x1234u);
  EXPECT_EQ(status.code, 209801);
  EXPECT_TRUE(loggedAt(209801, kOutputFile, 452));
  EXPECT_EQ(at(windows.writes(), 0x224), (tLog{wrote32(0x224, 0x80000), wrote32(0x224, 0x4000)}));
}

// Destroyed committed or running, the output takes its record out of the
// FIFO's polled list, so the polling thread never calls it.
TEST_F(tCDIOImmediateTest, ADestroyedOutputLeavesNoPolledObserverInTheFIFO) {
  output->commitTransfer(status);
  ASSERT_TRUE(cdo->hasPolledObserver());
  delete output;
  output = nullptr;
  EXPECT_FALSE(cdo->hasPolledObserver());

  output =
      new tBaseCDOImmediateTransferPrimitive(&deviceInfo, &description, cdo, &identity, status);
  startOutput();
  ASSERT_EQ(output->state(), 4u);
  delete output;
  output = nullptr;
  EXPECT_FALSE(cdo->hasPolledObserver());
  EXPECT_EQ(status.code, 0);
}

// A second commit, as a second control code 1 makes it, adds no polled
// record: the uncommit takes the one record out.
TEST_F(tCDIOImmediateTest, ASecondCommitAddsNoPolledRecord) {
  for (int commit = 0; commit < 2; ++commit) {
    output->commitTransfer(status);
    output->commitChannel(status);
  }
  EXPECT_EQ(output->state(), 3u);
  output->uncommitTransfer(status);
  output->uncommitChannel(status);
  EXPECT_FALSE(cdo->hasPolledObserver());
  EXPECT_EQ(status.code, 0);
}

// A start and an uncommit, then a stop that came late, leave the state above
// a commit's: the commit still registers the output with the FIFO's polled
// list, and the uncommit takes the record out.
TEST_F(tCDIOImmediateTest, ACommitAfterALateStopRegistersThePolledRecord) {
  startOutput();
  output->uncommitTransfer(status);
  output->uncommitChannel(status);
  ASSERT_FALSE(cdo->hasPolledObserver());
  output->stopTransfer(status);
  output->stopChannel(status);
  ASSERT_EQ(output->state(), 3u);
  status.clear();  // the early stop's warning
  output->commitTransfer(status);
  output->commitChannel(status);
  EXPECT_TRUE(cdo->hasPolledObserver());
  output->uncommitTransfer(status);
  output->uncommitChannel(status);
  EXPECT_FALSE(cdo->hasPolledObserver());
  EXPECT_EQ(status.code, 0);
}

}  // namespace
}  // namespace nQoTest
