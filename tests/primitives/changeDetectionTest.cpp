// The change-detection read over a chip double: the interrupt side is played
// by the test (latch, fill the half, signal), the chip's sequence numbers are
// scripted.
#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <string>
#include <thread>
#include <vector>

#include "frame/tClassRegistration.h"
#include "primitives/dio/tChangeDetectionPrimitive.h"
#include "primitives/dio/tPCITavikChangeDetectionPrimitive.h"
#include "primitives/dio/tTavikImmedDigPrimitive.h"
#include "primitives/dioFixture.h"
#include "sim/simAllocator.h"
#include "sim/simDigitalDoubles.h"
#include "sim/simStatusLog.h"
#include "sim/simSync.h"
#include "sim/simTime.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::tChangeDetectionPrimitive;

class tChipDouble : public tChangeDetectionPrimitive {
 public:
  tChipDouble(const nQoORB100::tGUID& guid, const nQoUdP100::tDeviceInfo& info)
      : tChangeDetectionPrimitive(guid, info) {}

  // One change, as the interrupt side makes it: every line latched, the
  // sample into the half the counter selects, the sequence advanced.
  void change(uint8_t byte) {
    tStatus2 status;
    for (uint32_t i = 0; i < lineCount(); ++i) lines()[i]->latch(status);
    countChange(true);
    fillSample([&](uint8_t* half, uint32_t size) {
      for (uint32_t b = 0; b < size; ++b) half[b] = byte;
    });
    signalChange();
  }
  bool hasBuffer() {
    return fillSample([](uint8_t*, uint32_t) {});
  }
  void start(tStatus2&) override {}
  void stop(tStatus2&) override {}
  // Its changes come from the test's own thread.
  void waitForInterruptPasses() override {}

  std::vector<std::string> calls;
  std::deque<uint64_t> sequences;
  std::deque<uint8_t> pending;
  std::deque<int> captureCodes;  // one per capture; 0 (or none left) succeeds
  int attachFails = 0;
  int detachFails = 0;

 protected:
  void attach(tStatus2& status) override {
    calls.push_back("attach");
    if (attachFails != 0) status.setCode(attachFails, "test", "chip", 1);
  }
  void detach(tStatus2& status) override {
    calls.push_back("detach");
    if (detachFails != 0) status.setCode(detachFails, "test", "chip", 3);
  }
  // As the board's: the masks are left alone on an error status.
  void setFirstEdgeMask(uint32_t mask, uint32_t value, tStatus2& status) override {
    if (status.isNotFatal())
      calls.push_back("first:" + std::to_string(mask) + ":" + std::to_string(value));
  }
  void setSecondEdgeMask(uint32_t mask, uint32_t value, tStatus2& status) override {
    if (status.isNotFatal())
      calls.push_back("second:" + std::to_string(mask) + ":" + std::to_string(value));
  }
  // A change waiting in pending comes in during the capture.
  void captureSample(uint64_t* sequence, tStatus2& status) override {
    if (!captureCodes.empty()) {
      if (captureCodes.front() != 0) status.setCode(captureCodes.front(), "test", "chip", 2);
      captureCodes.pop_front();
    }
    *sequence = sequences.empty() ? 0 : sequences.front();
    if (!sequences.empty()) sequences.pop_front();
    if (!pending.empty()) {
      change(pending.front());
      pending.pop_front();
    }
  }
};

using tSink = nQoSim::tSimTimeStampSink;
using tDoneTarget = nQoSim::tSimDoneTarget;

class tChangeDetectionTest : public tDIOTest {
 protected:
  void SetUp() override {
    tDIOTest::SetUp();
    nQoSim::useTestClock(1'000'000);
    port = new nQoUdP100::tTavikImmedDigPrimitive(*map, status);
    latching = new nQoUdP100::tImmedDigLatchingPrimitive(port);
    detector = new tChipDouble({0x1234, 0x5678}, deviceInfo);
    detector->initialize(&latching, 1, status);
    detector->allocateBuffer(1, status);
    detector->enableLines(0x0F, 0xF0, status);
    // Reads take samples of a run, as a start begins one.
    detector->clearForStart();
    ASSERT_EQ(status.code, 0);
  }
  void TearDown() override {
    delete detector;
    delete latching;
    delete port;
    nQoSim::resetTime();
    tDIOTest::TearDown();
  }

  // Returns once a reader started since the sync log was cleared blocks on
  // the change event (or has finished).
  static void untilTheReaderWaits(const std::atomic<bool>& finished) {
    const iSync* event = nullptr;
    while (event == nullptr) {
      for (const auto& record : nQoSim::syncLog())
        if (record.operation == nQoSim::tSyncRecord::kWait) event = record.object;
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    while (nQoSim::syncBlocked(event) == 0 && !finished)
      std::this_thread::sleep_for(std::chrono::microseconds(100));
  }

  nQoUdP100::tDeviceInfo deviceInfo;
  nQoUdP100::tTavikImmedDigPrimitive* port = nullptr;
  nQoUdP100::tImmedDigLatchingPrimitive* latching = nullptr;
  tChipDouble* detector = nullptr;
  uint8_t samples[8] = {};
};

TEST_F(tChangeDetectionTest, ACastByIdentityAnswersTheClassOrTheObjectPartOrNull) {
  nQoUdR100::tPCITavikChangeDetectionPrimitive chip;
  void* unrelated = nullptr;
  const nQoORB100::tObject* chipObject = &chip;
  const nQoORB100::tObject* detectorObject = detector;
  const struct {
    const char* name;
    tChangeDetectionPrimitive* primitive;
    const void* own;
    void* const* ownID;
    const nQoORB100::tObject* object;
  } rows[] = {
      {"tChangeDetectionPrimitive", detector, static_cast<tChangeDetectionPrimitive*>(detector),
       &tChangeDetectionPrimitive::___classID, detectorObject},
      {"tPCITavikChangeDetectionPrimitive", &chip, &chip,
       &nQoUdR100::tPCITavikChangeDetectionPrimitive::___classID, chipObject},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const tChangeDetectionPrimitive& constant = *row.primitive;
    EXPECT_EQ(row.primitive->___CPPKRLDynamicCast(&unrelated), nullptr);
    EXPECT_EQ(constant.___CPPKRLDynamicCast(&unrelated), nullptr);
    EXPECT_EQ(row.primitive->___CPPKRLDynamicCast(&nQoORB100::tObject::___classID), row.object);
    EXPECT_EQ(constant.___CPPKRLDynamicCast(&nQoORB100::tObject::___classID), row.object);
    EXPECT_EQ(row.primitive->___CPPKRLDynamicCast(row.ownID), row.own);
    EXPECT_EQ(constant.___CPPKRLDynamicCast(row.ownID), row.own);
    EXPECT_EQ(row.primitive->___CPPKRLDynamicCast(&tChangeDetectionPrimitive::___classID),
              static_cast<tChangeDetectionPrimitive*>(row.primitive));
  }
}

TEST_F(tChangeDetectionTest, EnableProgramsTheEdgesAndFailureDisablesAgain) {
  EXPECT_EQ(detector->calls,
            (std::vector<std::string>{"first:4294967295:0", "second:4294967295:0",
                                      "first:15:4294967295", "second:240:4294967295", "attach"}));
  EXPECT_EQ(detector->enabledLines(), 0xFFu);
  detector->calls.clear();
  detector->attachFails = -50352;
  detector->enableLines(0x1, 0x2, status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_EQ(detector->calls,
            (std::vector<std::string>{"first:1:4294967295", "second:2:4294967295", "attach",
                                      "detach", "first:1:0", "second:2:0"}));
}

// A detach that fails still leaves both edge masks cleared, and its error
// is what disableLines reports.
TEST_F(tChangeDetectionTest, AFailedDetachStillClearsBothEdgeMasks) {
  detector->calls.clear();
  detector->detachFails = -50001;
  tStatus2 disabled;
  detector->disableLines(0x0F, 0xF0, disabled);
  EXPECT_EQ(disabled.code, -50001);
  EXPECT_EQ(detector->calls, (std::vector<std::string>{"detach", "first:15:0", "second:240:0"}));
}

TEST_F(tChangeDetectionTest, ReadsSamplesThroughTheMaskAndCountsOverflow) {
  EXPECT_EQ(detector->read(0, 100, samples, nullptr, nullptr, status), 0u);  // no wait
  detector->change(0xA5);
  detector->sequences = {1};
  const uint8_t mask[1] = {0x0F};
  EXPECT_EQ(detector->read(1, 100, samples, mask, nullptr, status), 1u);
  EXPECT_EQ(samples[0], 0x05);
  EXPECT_FALSE(detector->overflow());

  detector->change(0x3C);  // into the other half
  detector->sequences = {3};
  EXPECT_EQ(detector->read(1, 100, samples, nullptr, nullptr, status), 1u);
  EXPECT_EQ(samples[0], 0x3C);
  EXPECT_TRUE(detector->overflow());
  EXPECT_EQ(status.code, 0);
}

// Changes a run left unread are no overflow of the run started after it;
// the flags the run before left stay for the next query.
TEST_F(tChangeDetectionTest, ARestartedRunReportsNoOverflowOfTheRunBefore) {
  detector->clearForStart();
  detector->change(0x11);
  detector->sequences = {1};
  EXPECT_EQ(detector->read(1, 100, samples, nullptr, nullptr, status), 1u);
  detector->change(0x22);  // never read
  detector->change(0x33);
  detector->clearForStart();
  EXPECT_TRUE(detector->takeErrorFlags()) << "the change status seen before the start";
  detector->change(0x44);
  detector->sequences = {4};
  EXPECT_EQ(detector->read(1, 100, samples, nullptr, nullptr, status), 1u);
  EXPECT_EQ(samples[0], 0x44);
  EXPECT_FALSE(detector->overflow()) << "change 4 follows the 3 before the start";
  EXPECT_EQ(status.code, 0);
}

// Each sticky flag, set before a restart and not yet queried, survives the
// start and is answered (and cleared) by the next query; enableLines clears
// both for a new task.
TEST_F(tChangeDetectionTest, TheStickyFlagsOutliveARestartUntilQueried) {
  detector->change(0x11);  // the change status: one flag
  detector->sequences = {1};
  EXPECT_EQ(detector->read(1, 100, samples, nullptr, nullptr, status), 1u);
  detector->clearForStart();
  EXPECT_TRUE(detector->takeErrorFlags());
  EXPECT_FALSE(detector->takeErrorFlags());

  detector->change(0x22);
  EXPECT_TRUE(detector->takeErrorFlags());
  detector->sequences = {3};  // a jump: the read overflow alone
  EXPECT_EQ(detector->read(1, 100, samples, nullptr, nullptr, status), 1u);
  ASSERT_TRUE(detector->overflow());
  detector->clearForStart();
  EXPECT_TRUE(detector->overflow());
  EXPECT_TRUE(detector->takeErrorFlags());
  EXPECT_FALSE(detector->overflow());
  EXPECT_FALSE(detector->takeErrorFlags());

  detector->change(0x33);
  detector->sequences = {9};
  EXPECT_EQ(detector->read(1, 100, samples, nullptr, nullptr, status), 1u);
  detector->disableLines(0x0F, 0xF0, status);
  detector->enableLines(0x0F, 0xF0, status);
  EXPECT_FALSE(detector->overflow());
  EXPECT_FALSE(detector->takeErrorFlags());
  EXPECT_EQ(status.code, 0);
}

TEST_F(tChangeDetectionTest, FiniteAcquisitionStopsAtItsTotalThenRefusesReads) {
  tDoneTarget target;
  detector->setAcquisition(true, 2, &target);
  detector->change(0x11);
  detector->pending = {0x22, 0x33};
  EXPECT_EQ(detector->read(3, 100, samples, nullptr, nullptr, status), 2u);
  EXPECT_EQ(samples[0], 0x11);
  EXPECT_EQ(samples[1], 0x22);
  EXPECT_TRUE(detector->done());
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(detector->read(1, 100, samples, nullptr, nullptr, status), 0u);
  EXPECT_EQ(lastReport(), "-200278 qoudrk tChangeDetectionPrimitive 279");

  tStatus2 completion, reported;
  detector->signalDone(completion, reported);
  detector->signalDone(completion, reported);
  EXPECT_EQ(target.posted, (std::vector<std::string>{"1:0"}));
}

// As the supervisor drives it: the task's set-up after enableLines, then per
// start clearForStart and per stop signalDone.
TEST_F(tChangeDetectionTest, EachStartStopCycleAndEachNextTaskPostDoneOnce) {
  tDoneTarget target;
  const tStatus2 completion;
  tStatus2 reported;
  detector->setAcquisition(false, 0, &target);
  for (int cycle = 0; cycle < 2; ++cycle) {
    detector->clearForStart();
    detector->signalDone(completion, reported);
    detector->signalDone(completion, reported);
  }
  EXPECT_EQ(target.posted, (std::vector<std::string>{"1:0", "1:0"}));

  // The next task on the board, with no start of its own before its stop.
  detector->disableLines(0x0F, 0xF0, status);
  detector->enableLines(0x0F, 0xF0, status);
  tDoneTarget next;
  detector->setAcquisition(true, 4, &next);
  detector->signalDone(completion, reported);
  detector->signalDone(completion, reported);
  EXPECT_EQ(next.posted, (std::vector<std::string>{"1:0"}));
  EXPECT_EQ(target.posted.size(), 2u);
  EXPECT_EQ(reported.code, 0);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tChangeDetectionTest, DoneStartsClearAndAFailedCompletionPostsItsStatusFirst) {
  // No set-up by a supervisor but a start's: the first read of the run is
  // served.
  tChipDouble fresh({1, 2}, deviceInfo);
  fresh.initialize(&latching, 1, status);
  fresh.allocateBuffer(1, status);
  fresh.clearForStart();
  fresh.change(0x7E);
  EXPECT_EQ(fresh.read(1, 100, samples, nullptr, nullptr, status), 1u);
  EXPECT_EQ(samples[0], 0x7E);
  EXPECT_EQ(status.code, 0);

  tDoneTarget target;
  fresh.setAcquisition(false, 0, &target);
  tStatus2 completion, reported;
  completion.setCode(-200474, "test", "test", 1);
  fresh.signalDone(completion, reported);
  EXPECT_EQ(target.posted, (std::vector<std::string>{"2:-200474", "1:-200474"}));
  fresh.releaseBuffer(status);
}

// A transfer lock that refused is reported at its site and posts nothing; the
// done report is still owed to the next stop. An error the caller holds
// stays, under the refusal reported all the same.
TEST_F(tChangeDetectionTest, ADoneReportWhoseLockRefusesIsReportedAndStillOwed) {
  tDoneTarget target;
  detector->setAcquisition(false, 0, &target);
  const tStatus2 completion;
  for (const int refusal : {-50103, 50001, 0}) {
    SCOPED_TRACE(refusal);
    if (refusal != 0)
      nQoSim::failNextAcquire(refusal);
    else
      nQoSim::refuseNextAcquire();
    nQoSim::clearStatusLog();
    tStatus2 reported;
    detector->signalDone(completion, reported);
    EXPECT_EQ(reported.code, refusal < 0 ? refusal : -50150);
    // The refusal at its site, then its merge into the caller's status.
    const auto log = nQoSim::statusLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log.front().code, reported.code);
    EXPECT_EQ(log.front().file, "tChangeDetectionPrimitive");
    EXPECT_EQ(log.front().line, 140u);
    EXPECT_EQ(log.back().file, "assign");
    EXPECT_TRUE(target.posted.empty());
  }
  tStatus2 holding;
  holding.setCode(-200010, "test", "caller", 1);
  nQoSim::failNextAcquire(-50103);
  nQoSim::clearStatusLog();
  detector->signalDone(completion, holding);
  EXPECT_EQ(holding.code, -200010);
  ASSERT_EQ(nQoSim::statusLog().size(), 1u);
  EXPECT_EQ(nQoSim::statusLog().front().code, -50103);
  EXPECT_EQ(nQoSim::statusLog().front().line, 140u);
  EXPECT_TRUE(target.posted.empty());
  tStatus2 reported;
  detector->signalDone(completion, reported);
  EXPECT_EQ(target.posted, (std::vector<std::string>{"1:0"}));
  EXPECT_EQ(reported.code, 0);
}

TEST_F(tChangeDetectionTest, RefusesBadReadsAndTheOtherStreamOperation) {
  EXPECT_EQ(detector->read(1, 100, nullptr, nullptr, nullptr, status), 0u);
  EXPECT_EQ(lastReport(), "-224629 qoudrk tChangeDetectionPrimitive 273");
  status.clear();
  EXPECT_EQ(detector->readAvailable(1, samples, status), 0u);
  EXPECT_EQ(lastReport(), "-200455 qoudrk tChangeDetectionPrimitive 396");

  int code = 0;
  EXPECT_EQ(nQoUdR100::tClassRegistration<tChangeDetectionPrimitive>::factory(code), nullptr);
  EXPECT_EQ(code, -88306);
  code = 0;
  nQoUdR100::tClassRegistration<tChangeDetectionPrimitive>::destroy(detector, code);
  EXPECT_EQ(code, -88306);
  code = -1;
  nQoUdR100::tClassRegistration<tChangeDetectionPrimitive>::destroy(detector, code);
  EXPECT_EQ(code, -1);
}

TEST_F(tChangeDetectionTest, TimedOutWaitKeepsTheSamplesAlreadyCopied) {
  detector->change(0x42);
  nQoSim::clearSyncLog();
  tSink sink;
  std::atomic<bool> finished{false};
  uint32_t got = 0;
  std::thread reader([&] {
    got = detector->read(2, 10, samples, nullptr, &sink, status);
    finished = true;
  });
  // The clock moves only once the reader waits for the second change.
  untilTheReaderWaits(finished);
  while (!finished) {
    nQoSim::advanceClock(5'000'000);
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  reader.join();
  EXPECT_EQ(got, 1u);
  EXPECT_EQ(samples[0], 0x42);
  EXPECT_EQ(status.code, -200474);
  EXPECT_EQ(lastReport(), "-200474 qoudrk tChangeDetectionPrimitive 313");
  EXPECT_EQ(sink.log, (std::vector<uint64_t>{1'000'000, tSink::kFinished}));
  status.clear();  // drops the device description
}

// A cancel's wake that no read took goes with the next start: the first read
// of the new run waits for a change of its own instead of answering the
// sample the run before left.
TEST_F(tChangeDetectionTest, AStartDropsTheWakeThatACancelLeft) {
  detector->change(0x42);
  EXPECT_EQ(detector->read(1, 0, samples, nullptr, nullptr, status), 1u);
  detector->abort();
  detector->signalReaders();
  detector->clearForStart();
  samples[0] = 0xEE;
  EXPECT_EQ(detector->read(1, 0, samples, nullptr, nullptr, status), 0u);
  EXPECT_EQ(samples[0], 0xEE);
  EXPECT_EQ(status.code, -200474);
  status.clear();  // drops the device description
}

TEST_F(tChangeDetectionTest, ACancelOrAFailedCaptureKeepsTheSamplesAlreadyCopied) {
  detector->abort();  // before any sample: nothing
  EXPECT_EQ(detector->read(2, 100, samples, nullptr, nullptr, status), 0u);
  EXPECT_EQ(status.code, 0);

  // Cancelled while the read waits for the second change.
  detector->clearForStart();
  detector->change(0x42);
  nQoSim::clearSyncLog();
  std::atomic<bool> finished{false};
  uint32_t got = 0;
  std::thread reader([&] {
    got = detector->read(2, 100, samples, nullptr, nullptr, status);
    finished = true;
  });
  untilTheReaderWaits(finished);
  detector->abort();
  detector->signalReaders();
  reader.join();
  EXPECT_EQ(got, 1u);
  EXPECT_EQ(samples[0], 0x42);
  EXPECT_EQ(status.code, 0);

  // The second capture fails: its code stays, the first sample is answered.
  detector->clearForStart();
  detector->change(0x11);
  detector->pending = {0x22};
  detector->captureCodes = {0, -50103};
  samples[1] = 0xEE;
  EXPECT_EQ(detector->read(2, 100, samples, nullptr, nullptr, status), 1u);
  EXPECT_EQ(status.code, -50103);
  EXPECT_EQ(samples[0], 0x11);
  EXPECT_EQ(samples[1], 0xEE);
  EXPECT_EQ(detector->samplesRead(), 1u);
}

TEST_F(tChangeDetectionTest, TheSinkHearsOfReadsWithSamplesOnlyAndItsStatusIsMerged) {
  tSink sink;
  sink.finishCode = -50150;
  EXPECT_EQ(detector->read(0, 0, samples, nullptr, &sink, status), 0u);
  EXPECT_TRUE(sink.log.empty());
  nQoSim::setClock(7'000'000);
  detector->change(0x5);
  EXPECT_EQ(detector->read(1, 0, samples, nullptr, &sink, status), 1u);
  EXPECT_EQ(sink.log, (std::vector<uint64_t>{7'000'000, tSink::kFinished}));
  EXPECT_EQ(status.code, -50150);
}

// A second allocation frees the buffer held; without a buffer a change
// stores nothing and a read is refused. A read that waits while the buffer
// goes is ended by its release: it answers the samples it copied before.
TEST_F(tChangeDetectionTest, ABufferIsNeverLostAndAReadWithoutOneIsRefused) {
  const int64_t live = nQoSim::liveAllocations();
  detector->allocateBuffer(2, status);
  EXPECT_EQ(nQoSim::liveAllocations(), live);
  detector->releaseBuffer(status);
  detector->releaseBuffer(status);
  EXPECT_EQ(nQoSim::liveAllocations(), live - 1);
  EXPECT_FALSE(detector->hasBuffer());
  detector->change(0x42);
  samples[0] = 0xEE;
  EXPECT_EQ(detector->read(1, 100, samples, nullptr, nullptr, status), 0u);
  EXPECT_EQ(lastReport(), "-50150 qoudrk tChangeDetectionPrimitive 276");
  EXPECT_EQ(samples[0], 0xEE);
  ASSERT_EQ(status.code, -50150);

  status.clear();
  detector->allocateBuffer(1, status);
  detector->change(0x42);
  nQoSim::clearSyncLog();
  std::atomic<bool> finished{false};
  uint32_t got = 0;
  tStatus2 read;
  samples[1] = 0xEE;
  std::thread reader([&] {
    got = detector->read(2, 100, samples, nullptr, nullptr, read);
    finished = true;
  });
  untilTheReaderWaits(finished);
  detector->releaseBuffer(status);
  detector->change(0x43);
  reader.join();
  EXPECT_EQ(got, 1u);
  EXPECT_EQ(samples[0], 0x42);
  EXPECT_EQ(samples[1], 0xEE);
  EXPECT_EQ(read.code, 0);
  EXPECT_EQ(status.code, 0);
}

// Without a buffer and with no change pending, a read is refused before it
// waits: it answers at once, copies nothing and never waits for a change.
TEST_F(tChangeDetectionTest, AReadWithoutABufferIsRefusedBeforeItWaits) {
  detector->releaseBuffer(status);
  nQoSim::clearSyncLog();
  samples[0] = 0xEE;
  tStatus2 read;
  std::atomic<bool> finished{false};
  uint32_t got = 99;
  std::thread reader([&] {
    got = detector->read(1, 100, samples, nullptr, nullptr, read);
    finished = true;
  });
  // A read that waits for a change times out on the test clock; the guard
  // against a hang is elapsed time.
  const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!finished && std::chrono::steady_clock::now() < guard) {
    nQoSim::advanceClock(5'000'000);
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  if (!finished) {  // let a read that still waits go
    detector->abort();
    detector->signalReaders();
  }
  reader.join();
  bool waited = false;
  for (const auto& record : nQoSim::syncLog())
    waited = waited || record.operation == nQoSim::tSyncRecord::kWait ||
             record.operation == nQoSim::tSyncRecord::kTimeout;
  EXPECT_FALSE(waited);
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(read.code, -50150);
  EXPECT_EQ(lastReport(), "-50150 qoudrk tChangeDetectionPrimitive 276");
  EXPECT_EQ(samples[0], 0xEE);
  EXPECT_EQ(detector->samplesRead(), 0u);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tChangeDetectionTest, TheBufferSizeDoesNotWrap) {
  detector->releaseBuffer(status);
  detector->allocateBuffer(0x80000000u, status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_FALSE(detector->hasBuffer());
}

}  // namespace
}  // namespace nQoTest
