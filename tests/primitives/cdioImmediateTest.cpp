// The correlated immediate transfers: reads and writes on the caller's
// thread, their waits, time-outs and cancels, and the finite totals.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <initializer_list>
#include <optional>
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

// Runs the transfer's steps in order on one status; answers its code.
template <class tTransfer>
int runSteps(tTransfer& transfer, std::initializer_list<void (tTransfer::*)(tStatus2&)> steps) {
  tStatus2 status;
  for (auto step : steps) (transfer.*step)(status);
  return status.code;
}

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
  // The input's run of SetUp stops, unreported, and a run of the settings
  // given since begins on an empty FIFO.
  void restartInput() {
    tStatus2 scratch;
    input->setDoneObserver(nullptr);
    input->stopTransfer(scratch);
    input->stopChannel(scratch);
    input->setDoneObserver(&done);
    input->startTransfer(status);
    input->startChannel(status);
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
  input->setNewestSamples(1);
  restartInput();
  fifos->pushInput({1, 2, 3});
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
  restartInput();
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
  input->setSampleMode(1);
  input->setTotal(2);
  restartInput();
  input->setDoneObserver(&heldDone);
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

// The CDI FIFO, its calls passed on, with hooks after each empty test and
// each data word, where the register windows' lock is free: a test holds a
// read there while it runs steps on its own thread.
class tWatchedCDI_FIFO : public nQoUdP100::tBaseCDI_FIFOPrimitive {
 public:
  tWatchedCDI_FIFO(nQoUdP100::tBaseCDI_FIFOPrimitive& fifo,
                   const nQoUdP100::tCDIODescription* description, tStatus2& status)
      : tBaseCDI_FIFOPrimitive(nullptr, description, status), _fifo(fifo) {}
  uint32_t isFIFOEmpty(tStatus2& s) override {
    const uint32_t empty = _fifo.isFIFOEmpty(s);
    if (afterEmptyTest) afterEmptyTest(empty);
    return empty;
  }
  uint32_t readSamples(void* b, uint32_t n, tStatus2& s) override {
    if (beforeWord) beforeWord();
    const uint32_t bytes = _fifo.readSamples(b, n, s);
    if (afterWord) afterWord();
    return bytes;
  }
  uint32_t isBufferErrorPending(tStatus2& s) override { return _fifo.isBufferErrorPending(s); }
  uint32_t isOverrunPending(tStatus2& s) override { return _fifo.isOverrunPending(s); }
  uint32_t reserved7(tStatus2& s) override { return _fifo.reserved7(s); }
  uint32_t isFIFOConditionPending(tStatus2& s) override { return _fifo.isFIFOConditionPending(s); }
  void startFIFO(tStatus2& s) override { _fifo.startFIFO(s); }
  void stopFIFO(tStatus2& s) override { _fifo.stopFIFO(s); }
  void resetFIFO(tStatus2& s) override { _fifo.resetFIFO(s); }
  uint32_t getModeFlagBit(tStatus2& s) override { return _fifo.getModeFlagBit(s); }
  void linkDMAChannel(uint32_t c, tStatus2& s) override { _fifo.linkDMAChannel(c, s); }
  void unlinkDMAChannel(tStatus2& s) override { _fifo.unlinkDMAChannel(s); }
  void applyModeFlag(uint32_t f, tStatus2& s) override { _fifo.applyModeFlag(f, s); }
  void applySecondaryModeFlag(uint32_t f, tStatus2& s) override {
    _fifo.applySecondaryModeFlag(f, s);
  }

  std::function<void(uint32_t empty)> afterEmptyTest;
  std::function<void()> beforeWord;
  std::function<void()> afterWord;

 private:
  nQoUdP100::tBaseCDI_FIFOPrimitive& _fifo;
};

// A read held at its run's last word while a code 3 and a whole code 2 come
// in, and the new run's words with them: as it waits for the word (the first
// of a total of 1, the second of a total of 2), or with the word of a total
// of 1 taken from the data port but not yet counted. Waiting, the read counts
// no word after its run was overtaken, marks no done, and ends as the stop
// ended its run, answering what it read with no code. At its data port it is a read
// under way: the stop waits for it (the hold lets it go by its bound), so
// the word it took is its run's, counted, and the run was done when the stop
// ended it. The new run reads its own words, and its done is its own.
TEST_F(tCDIOImmediateTest, AReadThatAStopAndAStartOvertookTakesNoWordOfTheNewRun) {
  tWatchedCDI_FIFO watched(*cdi, &description, status);
  tBaseCDIImmediateTransferPrimitive overtaken(&deviceInfo, &description, &watched, &identity,
                                               status);
  overtaken.setDoneObserver(&done);
  overtaken.commitTransfer(status);
  overtaken.commitChannel(status);
  overtaken.setSampleMode(1);
  overtaken.setTimeout(50);
  const std::thread::id testThread = std::this_thread::get_id();
  struct tRow {
    uint32_t total;
    bool afterWord;
  };
  for (const tRow row : {tRow{2, false}, tRow{1, false}, tRow{1, true}}) {
    SCOPED_TRACE(testing::Message() << row.total << (row.afterWord ? " after the word" : ""));
    const uint32_t total = row.total;
    done.codes.clear();
    overtaken.setTotal(total);
    overtaken.startTransfer(status);
    overtaken.startChannel(status);
    ASSERT_EQ(status.code, 0);
    if (total == 2 || row.afterWord) fifos->pushInput({1});
    // A read at its data port holds the stop: the hold ends by its bound.
    tHeldCall held(row.afterWord ? tHeldCall::kHold : tHeldCall::kGuard);
    const auto hold = [&](bool here) {
      if (here && !held.inside() && std::this_thread::get_id() != testThread) held.hold();
    };
    watched.afterEmptyTest = [&](uint32_t empty) { hold(!row.afterWord && empty != 0); };
    watched.afterWord = [&] { hold(row.afterWord); };
    uint32_t old[2] = {};
    uint32_t read = 0;
    tStatus2 reading;
    std::thread reader([&] { read = overtaken.read(old, total, reading); });
    EXPECT_TRUE(held.waitUntilInside()) << "the read never waited for its last word";
    tStatus2 stopped;
    overtaken.stopTransfer(stopped);
    overtaken.stopChannel(status);
    EXPECT_EQ(held.expired(), row.afterWord) << "the stop's wait for the read under way";
    overtaken.startTransfer(status);
    overtaken.startChannel(status);
    fifos->pushInput(total == 2 ? std::vector<uint32_t>{3, 4} : std::vector<uint32_t>{3});
    held.letGo();
    reader.join();
    watched.afterEmptyTest = {};
    watched.afterWord = {};
    if (row.afterWord) {
      EXPECT_EQ(read, 1u);
      EXPECT_EQ(reading.code, 0);
      EXPECT_EQ(old[0], 1u);
      EXPECT_EQ(stopped.code, 0) << "the run's total was read when the stop ended it";
      EXPECT_EQ(done.codes, std::vector<int>{0});
    } else {
      EXPECT_EQ(read, total - 1) << "the old run's read took a word of the new run";
      EXPECT_EQ(reading.code, 0) << "the read waited on after the stop ended its run";
      if (total == 2) {
        EXPECT_EQ(old[0], 1u);
      }
      EXPECT_EQ(stopped.code, 200010);
      EXPECT_EQ(done.codes, std::vector<int>{200010}) << "the new run reported its done at once";
    }

    EXPECT_EQ(overtaken.read(buffer, total, status), total);
    EXPECT_EQ(status.code, 0) << "the new run refuses its reads";
    status.clear();
    EXPECT_EQ(buffer[0], 3u);
    EXPECT_EQ(buffer[total - 1], total == 2 ? 4u : 3u);
    EXPECT_EQ(overtaken.samplesRead(), total);
    EXPECT_EQ(done.codes, (std::vector<int>{row.afterWord ? 0 : 200010, 0}));
    overtaken.stopTransfer(status);
    overtaken.stopChannel(status);
    EXPECT_EQ(status.code, 0);
  }
}

// A read held at its data port, after its last look at its run, while a code
// 3 comes: the stop waits for the read before its reset empties the FIFO, so
// the client gets the board's word, counted as its run's; the code 2 after it
// begins a run whose first word the read does not take.
TEST_F(tCDIOImmediateTest, AStopWaitsForAReadAtItsDataPortBeforeItResetsTheFIFO) {
  tWatchedCDI_FIFO watched(*cdi, &description, status);
  tBaseCDIImmediateTransferPrimitive reader(&deviceInfo, &description, &watched, &identity, status);
  reader.setDoneObserver(&done);
  for (auto step : {&tBaseCDIImmediateTransferPrimitive::commitTransfer,
                    &tBaseCDIImmediateTransferPrimitive::commitChannel,
                    &tBaseCDIImmediateTransferPrimitive::startTransfer,
                    &tBaseCDIImmediateTransferPrimitive::startChannel})
    (reader.*step)(status);
  reader.setTimeout(50);
  ASSERT_EQ(status.code, 0);
  fifos->pushInput({7});
  tHeldCall held;
  const std::thread::id testThread = std::this_thread::get_id();
  watched.beforeWord = [&] {
    if (!held.inside() && std::this_thread::get_id() != testThread) held.hold();
  };
  uint32_t word = 0;
  uint32_t read = 0;
  tStatus2 reading;
  // Cleared before the read starts: a read let go by its bound before the stop
  // comes keeps its entry in the log.
  clearLogs();
  std::thread client([&] { read = reader.read(&word, 1, reading); });
  ASSERT_TRUE(held.waitUntilInside()) << "the read never came to its data port";
  reader.stopTransfer(status);
  reader.stopChannel(status);
  EXPECT_TRUE(held.expired()) << "the stop returned while the read was at its data port";
  reader.startTransfer(status);
  reader.startChannel(status);
  fifos->pushInput({9});
  held.letGo();
  client.join();
  watched.beforeWord = {};
  EXPECT_EQ(read, 1u);
  EXPECT_EQ(word, 7u);
  EXPECT_EQ(reading.code, 0);
  EXPECT_EQ(reader.samplesRead(), 0u) << "the new run counts from 0";
  const tLog log = windows.log();
  const auto dataRead = std::find(log.begin(), log.end(), read32(0x220, 7));
  const auto reset = std::find(log.begin(), log.end(), wrote32(0x224, 0x20));
  EXPECT_TRUE(dataRead < reset) << "the data port was read after the stop's reset";
  EXPECT_EQ(reader.read(&word, 1, status), 1u);
  EXPECT_EQ(word, 9u);
  EXPECT_EQ(status.code, 0);
  reader.stopTransfer(status);
  reader.stopChannel(status);
  EXPECT_EQ(status.code, 0);
}

// A read that took its finite run's last word, held at the lock under which
// it claims the run's end: before it takes the lock, while a code 3 and a
// whole code 2 run; or holding it, while a start comes. The read claims only
// its own run, and only while it is live: the stop claims and reports the run
// whose total was read, and the new run reads its own word. A start decides
// under that lock: it waits for the claim and begins the next run.
TEST_F(tCDIOImmediateTest, AReadClaimsTheEndOfItsOwnRunOnlyUnderTheLockAStartTakes) {
  tWatchedCDI_FIFO watched(*cdi, &description, status);
  tBaseCDIImmediateTransferPrimitive reader(&deviceInfo, &description, &watched, &identity, status);
  reader.setDoneObserver(&done);
  reader.commitTransfer(status);
  reader.commitChannel(status);
  reader.setSampleMode(1);
  reader.setTotal(1);
  reader.setTimeout(50);
  for (const bool holdingTheLock : {false, true}) {
    SCOPED_TRACE(holdingTheLock ? "holding the lock" : "before the lock");
    done.codes.clear();
    reader.startTransfer(status);
    reader.startChannel(status);
    ASSERT_EQ(status.code, 0);
    fifos->pushInput({1});
    tHeldCall held(tHeldCall::kGuard);
    std::atomic<std::thread::id> readerThread{};
    std::atomic<bool> lastWordTaken{false};
    std::atomic<const iSync*> lock{nullptr};
    watched.afterWord = [&] { lastWordTaken = true; };
    nQoSim::onSyncAcquire([&](const iSync* object, bool acquired) {
      if (std::this_thread::get_id() != readerThread.load() || !lastWordTaken || held.inside() ||
          acquired != holdingTheLock)
        return;
      lock = object;
      held.hold();
    });
    uint32_t word = 0;
    uint32_t read = 0;
    tStatus2 reading;
    std::thread client([&] {
      readerThread = std::this_thread::get_id();
      read = reader.read(&word, 1, reading);
    });
    ASSERT_TRUE(held.waitUntilInside()) << "the read never came to its claim";
    tStatus2 stopped;
    if (!holdingTheLock) {
      reader.stopTransfer(stopped);
      reader.stopChannel(status);
      reader.startTransfer(status);
      reader.startChannel(status);
      held.letGo();
      client.join();
    } else {
      std::atomic<bool> started{false};
      std::thread starter([&] {
        reader.startTransfer(status);
        started = true;
      });
      const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
      while (!started && nQoSim::syncBlocked(lock) == 0 && std::chrono::steady_clock::now() < guard)
        std::this_thread::yield();
      EXPECT_FALSE(started) << "the start decided while the read held the lock";
      held.letGo();
      client.join();
      starter.join();
      EXPECT_TRUE(reader.runUnderWay()) << "the start kept the run the read then ended";
    }
    nQoSim::onSyncAcquire(nullptr);
    watched.afterWord = {};
    EXPECT_EQ(read, 1u);
    EXPECT_EQ(word, 1u);
    EXPECT_EQ(reading.code, 0);
    EXPECT_EQ(stopped.code, 0) << "the run's total was read when the stop ended it";
    EXPECT_EQ(done.codes, std::vector<int>{0}) << "a run's end was reported twice";

    fifos->pushInput({3});
    EXPECT_EQ(reader.read(&word, 1, status), 1u);
    EXPECT_EQ(status.code, 0) << "the new run lost its reads";
    status.clear();
    EXPECT_EQ(word, 3u);
    EXPECT_EQ(done.codes, (std::vector<int>{0, 0}));
    reader.stopTransfer(status);
    reader.stopChannel(status);
    EXPECT_EQ(status.code, 0);
  }
}

// A read given before the start, with no time-out limit, held at its first
// look at the empty FIFO while the test's thread runs steps and the board's
// samples come: it takes the run that the start begins, stamped with that
// run. A stop or an uncommit before its samples came ends it, also before the
// start: it answers 0 with no code, and the next run's read takes them.
TEST_F(tCDIOImmediateTest, AReadGivenBeforeAStartTakesTheRunTheStartBegins) {
  using T = tBaseCDIImmediateTransferPrimitive;
  tWatchedCDI_FIFO watched(*cdi, &description, status);
  T reader(&deviceInfo, &description, &watched, &identity, status);
  reader.setDoneObserver(&done);
  reader.commitTransfer(status);
  reader.commitChannel(status);
  const tPALTime128 period{0, 3};
  reader.setSamplePeriod(period);
  reader.setTimeout(0xFFFFFFFF);
  const std::thread::id testThread = std::this_thread::get_id();
  struct tRow {
    const char* name;
    std::initializer_list<void (T::*)(tStatus2&)> steps;
  };
  const auto start = {&T::startTransfer, &T::startChannel};
  for (const tRow& row : {
           tRow{"a start", start},
           tRow{"a start, a stop, a start",
                {&T::startTransfer, &T::startChannel, &T::stopTransfer, &T::stopChannel,
                 &T::startTransfer, &T::startChannel}},
           tRow{"a stop, a start",
                {&T::stopTransfer, &T::stopChannel, &T::startTransfer, &T::startChannel}},
           tRow{"an uncommit, a commit, a start",
                {&T::uncommitTransfer, &T::uncommitChannel, &T::commitTransfer, &T::commitChannel,
                 &T::startTransfer, &T::startChannel}},
       }) {
    SCOPED_TRACE(row.name);
    const bool takes = row.steps.size() == 2;
    tHeldCall held(tHeldCall::kGuard);
    std::atomic<bool> letGo{false}, cancelled{false};
    std::atomic<int> looksAfter{0};
    // A read that waits on once its samples came is cancelled after many looks.
    watched.afterEmptyTest = [&](uint32_t) {
      if (std::this_thread::get_id() == testThread) return;
      if (!held.inside()) held.hold();
      if (letGo && ++looksAfter > 1000 && !cancelled.exchange(true)) reader.requestCancel();
    };
    uint32_t words[2] = {};
    uint32_t read = 0;
    tStatus2 reading;
    T::tRunStamp stamp;
    std::thread client([&] { read = reader.read(words, 2, reading, &stamp); });
    EXPECT_TRUE(held.waitUntilInside()) << "the read never looked at the FIFO";
    runSteps(reader, row.steps);
    fifos->pushInput({0x21, 0x22, 0x23});
    letGo = true;
    held.letGo();
    client.join();
    watched.afterEmptyTest = {};
    EXPECT_FALSE(cancelled) << "the read waited on once the samples came";
    EXPECT_EQ(reading.code, 0);
    if (takes) {
      EXPECT_EQ(read, 2u);
      EXPECT_EQ(words[0], 0x21u);
      EXPECT_EQ(words[1], 0x22u);
      EXPECT_EQ(reader.samplesRead(), 2u);
      EXPECT_EQ(stamp.clock.period, period);
    } else {
      EXPECT_EQ(read, 0u) << "the read took a word of a run begun after what ended it";
      EXPECT_EQ(reader.samplesRead(), 0u);
    }
    // The run's next read takes the samples left, stamped as the same run.
    T::tRunStamp next;
    uint32_t left[3] = {};
    EXPECT_EQ(reader.read(left, takes ? 1 : 3, status, &next), takes ? 1u : 3u);
    EXPECT_EQ(left[0], takes ? 0x23u : 0x21u);
    EXPECT_NE(next.run, 0u);
    if (takes) {
      EXPECT_EQ(next.run, stamp.run) << "the read was stamped with another run than its own";
    }
    EXPECT_EQ(runSteps<T>(reader, {&T::stopTransfer, &T::stopChannel}), 0);
    ASSERT_EQ(status.code, 0);
  }
}

// A code 2 whose transfer step is held as it lets the transfer's lock go,
// and a code 3 in that time: the run the start decided on is numbered under
// that lock, so the stop ends it and reports its done, and no run is left
// live with the FIFO stopped.
TEST_F(tCDIOImmediateTest, AStopRightAfterAStartsLockedStepLeavesNoRunLive) {
  tBaseCDIImmediateTransferPrimitive reader(&deviceInfo, &description, cdi, &identity, status);
  reader.setDoneObserver(&done);
  reader.commitTransfer(status);
  reader.commitChannel(status);
  ASSERT_EQ(status.code, 0);
  tHeldCall held(tHeldCall::kGuard);
  std::atomic<std::thread::id> starter{};
  std::atomic<const iSync*> lock{nullptr};
  nQoSim::onSyncAcquire([&](const iSync* object, bool acquired) {
    const iSync* none = nullptr;
    if (acquired && std::this_thread::get_id() == starter.load())
      lock.compare_exchange_strong(none, object);
  });
  nQoSim::onSyncSet([&](const iSync* object, bool set) {
    if (set && object == lock.load() && std::this_thread::get_id() == starter.load()) held.hold();
  });
  tStatus2 starting;
  std::thread client([&] {
    starter = std::this_thread::get_id();
    reader.startTransfer(starting);
  });
  EXPECT_TRUE(held.waitUntilInside()) << "the start never let its lock go";
  tStatus2 stopped;
  reader.stopTransfer(stopped);
  reader.stopChannel(stopped);
  held.letGo();
  client.join();
  nQoSim::onSyncAcquire(nullptr);
  nQoSim::onSyncSet(nullptr);
  EXPECT_EQ(starting.code, 0);
  EXPECT_EQ(stopped.code, 0);
  EXPECT_FALSE(reader.runUnderWay()) << "a run left live after the stop answered 0";
  EXPECT_FALSE(fifos->inputStarted());
  EXPECT_EQ(done.codes, std::vector<int>{0});
}

// A read that keeps the newest samples, held after its drain emptied the
// FIFO, while a code 3 and a code 2 come and the new run's FIFO overruns: the
// errors the read looks at after its drain are its own run's, so it answers
// its samples with the drain's warning, and the overrun is the new run's,
// which its first read reports. By read and by readOne.
TEST_F(tCDIOImmediateTest, TheErrorsADrainingReadLooksAtAreItsOwnRuns) {
  tWatchedCDI_FIFO watched(*cdi, &description, status);
  tBaseCDIImmediateTransferPrimitive reader(&deviceInfo, &description, &watched, &identity, status);
  reader.setNewestSamples(1);
  for (auto step : {&tBaseCDIImmediateTransferPrimitive::commitTransfer,
                    &tBaseCDIImmediateTransferPrimitive::commitChannel})
    (reader.*step)(status);
  reader.setTimeout(50);
  const std::thread::id testThread = std::this_thread::get_id();
  for (const bool one : {false, true}) {
    SCOPED_TRACE(one ? "readOne" : "read");
    reader.startTransfer(status);
    reader.startChannel(status);
    ASSERT_EQ(status.code, 0);
    fifos->pushInput({1, 2, 3});
    tHeldCall held(tHeldCall::kGuard);
    watched.afterEmptyTest = [&](uint32_t empty) {
      if (empty != 0 && !held.inside() && std::this_thread::get_id() != testThread) held.hold();
    };
    uint32_t word = 0;
    uint32_t read = 0;
    tStatus2 reading;
    std::thread client(
        [&] { read = one ? reader.readOne(&word, reading) : reader.read(&word, 1, reading); });
    ASSERT_TRUE(held.waitUntilInside()) << "the read never emptied the FIFO";
    for (auto step : {&tBaseCDIImmediateTransferPrimitive::stopTransfer,
                      &tBaseCDIImmediateTransferPrimitive::stopChannel,
                      &tBaseCDIImmediateTransferPrimitive::startTransfer,
                      &tBaseCDIImmediateTransferPrimitive::startChannel})
      (reader.*step)(status);
    fifos->setInputBits(0x80000);
    held.letGo();
    client.join();
    watched.afterEmptyTest = {};
    EXPECT_EQ(read, 1u);
    EXPECT_EQ(word, 3u);
    EXPECT_EQ(reading.code, 209800) << "the read took the new run's overrun as its own";

    fifos->pushInput({4});
    EXPECT_EQ(reader.read(&word, 1, status), 1u);
    EXPECT_EQ(status.code, -200715);
    status.clear();
    fifos->setInputBits(0);
    reader.stopTransfer(status);
    reader.stopChannel(status);
    EXPECT_EQ(status.code, 0);
  }
}

// A fresh transfer has reported no done: a stop after its commit with no
// start reports one, a second stop none, and a run begun since reports its
// own end once. An uncommit makes it fresh again: a finite commit's stop
// reports with its warning. An uncommit that stops nothing, and a
// destruction, report nothing. Input and output alike.
template <class tTransfer>
void expectAStopAfterACommitToReportTheDoneOnce(std::optional<tTransfer>& transfer) {
  using T = tTransfer;
  tDone reports;
  transfer->setDoneObserver(&reports);
  EXPECT_EQ(runSteps<T>(*transfer, {&T::commitTransfer, &T::commitChannel}), 0);
  EXPECT_EQ(runSteps<T>(*transfer, {&T::stopTransfer, &T::stopChannel}), 0);
  EXPECT_EQ(reports.codes, std::vector<int>{0}) << "a stop after a commit reported no done";
  EXPECT_EQ(runSteps<T>(*transfer, {&T::stopTransfer, &T::stopChannel}), 0);
  EXPECT_EQ(reports.codes, std::vector<int>{0}) << "a second stop reported a done";
  EXPECT_EQ(runSteps<T>(*transfer, {&T::startTransfer, &T::startChannel, &T::stopTransfer,
                                    &T::stopChannel, &T::stopTransfer}),
            0);
  EXPECT_EQ(reports.codes, (std::vector<int>{0, 0}));
  transfer->setSampleMode(1);
  transfer->setTotal(4);
  EXPECT_EQ(runSteps<T>(*transfer, {&T::uncommitTransfer, &T::uncommitChannel, &T::commitTransfer,
                                    &T::commitChannel, &T::stopTransfer, &T::stopChannel}),
            200010);
  EXPECT_EQ(reports.codes, (std::vector<int>{0, 0, 200010}));
  EXPECT_EQ(runSteps<T>(*transfer, {&T::uncommitTransfer, &T::uncommitChannel, &T::commitTransfer,
                                    &T::commitChannel, &T::uncommitTransfer, &T::uncommitChannel,
                                    &T::commitTransfer, &T::commitChannel}),
            0);
  transfer.reset();
  EXPECT_EQ(reports.codes, (std::vector<int>{0, 0, 200010}));
}

TEST_F(tCDIOImmediateTest, AStopAfterACommitWithNoStartReportsTheDoneOnce) {
  std::optional<tBaseCDIImmediateTransferPrimitive> fresh;
  fresh.emplace(&deviceInfo, &description, cdi, &identity, status);
  {
    SCOPED_TRACE("input");
    expectAStopAfterACommitToReportTheDoneOnce(fresh);
  }
  SCOPED_TRACE("output");
  std::optional<tBaseCDOImmediateTransferPrimitive> freshOutput;
  freshOutput.emplace(&deviceInfo, &description, cdo, &identity, status);
  expectAStopAfterACommitToReportTheDoneOnce(freshOutput);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tCDIOImmediateTest, InputErrorsAndAnEarlyStop) {
  input->setSampleMode(1);
  input->setTotal(10);
  restartInput();
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
  output->setWriteMode(1);
  startOutput();
  fifos->setOutputDepth(8);
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
  output->setSampleMode(1);
  output->setTotal(2);
  startOutput();
  fifos->setOutputDepth(2);
  output->setTimeout(0);
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
  output->setSampleMode(1);
  output->setTotal(2);
  startOutput();
  fifos->setOutputDepth(8);
  output->setTimeout(0);
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
  output->setSampleMode(1);
  output->setTotal(2);
  startOutput();
  fifos->setOutputDepth(8);
  output->setTimeout(0);
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
  output->setSampleMode(1);
  output->setTotal(2);
  startOutput();
  fifos->setOutputDepth(8);
  output->setTimeout(0);
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

// A write given with no live run (before the first start, or after a stop)
// is refused at once, whatever its mode, count and time-out: -50150 naming
// the board, no look at the FIFO and nothing written. The start that begins
// the next run resets the FIFO, so nothing written before it could reach the
// lines. (A write that waited for a run is cancelled after many looks.)
TEST_F(tCDIOImmediateTest, AWriteGivenWithNoLiveRunIsRefusedAtOnce) {
  fifos->setOutputDepth(8);
  int looks = 0;
  fifos->onStatusRead([&] {
    if (++looks > 1000) output->requestCancel();
  });
  const uint32_t samples[3] = {1, 2, 3};
  using T = tBaseCDOImmediateTransferPrimitive;
  for (const uint32_t mode : {0u, 1u}) {
    output->setWriteMode(mode);
    ASSERT_EQ(runSteps<T>(*output, {&T::commitTransfer, &T::commitChannel}), 0);
    for (const bool stopped : {false, true}) {
      if (stopped)
        runSteps<T>(*output,
                    {&T::startTransfer, &T::startChannel, &T::stopTransfer, &T::stopChannel});
      for (const uint32_t count : {3u, 1u})
        for (const uint32_t timeout : {0u, 50u, 0xFFFFFFFFu}) {
          SCOPED_TRACE(testing::Message() << "mode " << mode << (stopped ? " stopped" : "") << ", "
                                          << count << " samples, time-out " << timeout);
          clearLogs();
          looks = 0;
          output->setTimeout(timeout);
          tStatus2 refused;
          EXPECT_EQ(output->write(count, samples, refused), 0u);
          EXPECT_EQ(refused.code, -50150);
          EXPECT_TRUE(loggedAt(-50150, kOutputFile, 304));
          EXPECT_EQ(guidProperty(refused.description, 1), identity);
          EXPECT_EQ(looks, 0) << "the write looked at the FIFO";
          EXPECT_TRUE(at(windows.writes(), 0x220).empty()) << "the write wrote its data port";
        }
    }
    runSteps<T>(*output, {&T::uncommitTransfer, &T::uncommitChannel});
  }
  fifos->onStatusRead(nullptr);
  EXPECT_TRUE(fifos->output().empty());
}

// A wait-each write whose first sample never leaves the FIFO, with no
// time-out limit, while a code 3 comes on the test's thread: the stop ends
// its run, so the write answers the one sample it wrote, with no code, and
// waits no more. (One that waited on is cancelled after many looks.)
TEST_F(tCDIOImmediateTest, AWriteWaitingForItsSampleToLeaveReturnsWhenAStopEndsItsRun) {
  output->setWriteMode(1);
  startOutput();
  fifos->setOutputDepth(8);
  output->setTimeout(0xFFFFFFFF);
  std::atomic<int> looks{0}, looksAfterTheStop{0};
  std::atomic<bool> stopped{false}, cancelled{false};
  fifos->onStatusRead([&] {
    ++looks;
    if (stopped && ++looksAfterTheStop > 1000 && !cancelled.exchange(true)) output->requestCancel();
  });
  const uint32_t samples[3] = {7, 8, 9};
  uint32_t written = 0;
  tStatus2 writing;
  std::thread client([&] { written = output->write(3, samples, writing); });
  EXPECT_TRUE(boundedUntil([&] { return !fifos->output().empty() && looks > 1; }))
      << "the write never waited for its first sample";
  tStatus2 stop;
  output->stopTransfer(stop);
  output->stopChannel(stop);
  stopped = true;
  client.join();
  fifos->onStatusRead(nullptr);
  EXPECT_FALSE(cancelled) << "the write waited on after the stop ended its run";
  EXPECT_EQ(written, 1u);
  EXPECT_EQ(writing.code, 0);
  EXPECT_TRUE(fifos->output().empty());
  EXPECT_TRUE(fifos->lines().empty());
}

// A finite output's writer, held after its run's last sample as it goes for
// the lock under which its end becomes pending, while a code 3 and a whole
// code 2 come: the end it makes pending is its own run's, which the stop
// ended, so the FIFO running empty (as the polling thread tells it) stops
// nothing of the new run, which writes its own total.
TEST_F(tCDIOImmediateTest, AWritersLastSampleMakesOnlyItsOwnRunsEndPending) {
  output->setSampleMode(1);
  output->setTotal(2);
  startOutput();
  fifos->setOutputDepth(8);
  output->setTimeout(0xFFFFFFFF);
  // The transfer's lock: the first that the channel's start takes.
  nQoSim::clearSyncLog();
  output->startChannel(status);
  ASSERT_EQ(status.code, 0);
  const iSync* transferLock = nullptr;
  for (const nQoSim::tSyncRecord& record : nQoSim::syncLog())
    if (record.operation == nQoSim::tSyncRecord::kAcquire && transferLock == nullptr)
      transferLock = record.object;
  ASSERT_NE(transferLock, nullptr);
  tHeldCall held(tHeldCall::kGuard);
  std::atomic<std::thread::id> writer{};
  nQoSim::onSyncAcquire([&](const iSync* object, bool acquired) {
    if (!acquired && object == transferLock && std::this_thread::get_id() == writer.load())
      held.hold();
  });
  const uint32_t samples[2] = {1, 2};
  uint32_t written = 0;
  tStatus2 writing;
  std::thread client([&] {
    writer = std::this_thread::get_id();
    written = output->write(2, samples, writing);
  });
  EXPECT_TRUE(held.waitUntilInside()) << "the write never went for its end";
  EXPECT_EQ(fifos->output(), (std::deque<uint32_t>{1, 2}));
  tStatus2 stopped;
  output->stopTransfer(stopped);
  output->stopChannel(status);
  output->startTransfer(status);
  output->startChannel(status);
  held.letGo();
  client.join();
  nQoSim::onSyncAcquire(nullptr);
  EXPECT_EQ(written, 2u);
  EXPECT_EQ(writing.code, 0);
  EXPECT_EQ(stopped.code, 0) << "all of the run was written when the stop ended it";
  EXPECT_EQ(done.codes, std::vector<int>{0});

  output->handleFIFOEmptyPolled(cdo, status);
  EXPECT_TRUE(output->runUnderWay()) << "the old run's end stopped the new run";
  EXPECT_TRUE(fifos->outputStarted());
  EXPECT_EQ(done.codes, std::vector<int>{0}) << "a done report of the new run";
  EXPECT_EQ(output->write(2, samples, status), 2u);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(fifos->output(), (std::deque<uint32_t>{1, 2}));
}

// The newest-samples option and the write mode given under a run, as a
// deploy gives them, change nothing the run's reads and writes do; the next
// run takes them.
TEST_F(tCDIOImmediateTest, TheNewestSamplesAndTheWriteModeGivenUnderARunWaitForTheNextRun) {
  input->setNewestSamples(1);
  fifos->pushInput({1, 2, 3});
  EXPECT_EQ(input->read(buffer, 2, status), 2u);
  EXPECT_EQ(status.code, 0) << "the run drained by an option given since";
  EXPECT_EQ(buffer[1], 2u);
  EXPECT_EQ(fifos->inputSize(), 1u);
  restartInput();
  fifos->pushInput({4, 5, 6});
  EXPECT_EQ(input->read(buffer, 2, status), 2u);
  EXPECT_EQ(status.code, 209800);
  EXPECT_EQ(buffer[1], 6u);
  status.clear();

  startOutput();
  fifos->setOutputDepth(8);
  output->setTimeout(0);
  output->setWriteMode(1);
  const uint32_t samples[3] = {1, 2, 3};
  EXPECT_EQ(output->write(3, samples, status), 3u)
      << "the run waited on each by a mode given since";
  EXPECT_EQ(status.code, 0);
  output->stopTransfer(status);
  output->stopChannel(status);
  output->startTransfer(status);
  output->startChannel(status);
  EXPECT_EQ(output->write(3, samples, status), 1u);
  EXPECT_EQ(status.code, -200474);
  EXPECT_TRUE(loggedAt(-200474, kOutputFile, 413));
}

TEST_F(tCDIOImmediateTest, ASingleWriteDropsStaleSamplesAndAcknowledgesABufferError) {
  output->setWriteMode(1);
  startOutput();
  fifos->setOutputDepth(4);
  const uint32_t stale = 5;
  cdo->writeSample(&stale, status);
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

// Uncommitted after a finite run that took its whole total, as the release
// leaves it, a transfer keeps nothing of the run: a read or write before the
// next run is not refused as past a total; a read waits for a run (a zero
// time-out: -200474 at once), a write is refused as given with no run
// (-50150), and a late stop warns of no finite run.
TEST_F(tCDIOImmediateTest, AnUncommittedTransferKeepsNothingOfItsRuns) {
  input->setSampleMode(1);
  input->setTotal(1);
  restartInput();
  fifos->pushInput({5});
  EXPECT_EQ(input->read(buffer, 1, status), 1u);
  input->uncommitTransfer(status);
  input->uncommitChannel(status);
  ASSERT_EQ(status.code, 0);
  input->setTimeout(0);
  fifos->pushInput({6});
  EXPECT_EQ(input->read(buffer, 1, status), 0u);
  EXPECT_EQ(status.code, -200474) << "refused as a read past the total of a run gone";
  status.clear();
  input->stopTransfer(status);
  EXPECT_EQ(status.code, 0);

  output->setSampleMode(1);
  output->setTotal(1);
  startOutput();
  output->setTimeout(0);
  const uint32_t sample = 7;
  EXPECT_EQ(output->write(1, &sample, status), 1u);
  output->uncommitTransfer(status);
  output->uncommitChannel(status);
  status.clear();  // the stop's warning: the FIFO never ran empty
  EXPECT_EQ(output->write(1, &sample, status), 0u);
  EXPECT_EQ(status.code, -50150) << "not refused as a write with no run";
  EXPECT_TRUE(loggedAt(-50150, kOutputFile, 304));
  status.clear();
  output->stopTransfer(status);
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
