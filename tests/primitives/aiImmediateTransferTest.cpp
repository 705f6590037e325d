// The AI immediate transfer over the real timing controller, front end,
// converter and FIFO model: set lists from the timing and channel list,
// reads by set with waiters and time-outs, finite runs, overrun, the
// client's socket requests and the refused shapes.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "primitives/ai/tAIScanningFrontEndPrimitive.h"
#include "primitives/ai/tBaseAIImmediateTransferPrimitive.h"
#include "primitives/aiTransferFixture.h"
#include "sim/simAllocator.h"
#include "sim/simKal.h"
#include "sim/simScriptedDoubles.h"
#include "sim/simSocketListeners.h"
#include "sim/simStatusLog.h"
#include "sim/simSync.h"
#include "support/heldCall.h"
#include "support/statusRecords.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tBaseAIImmediateTransferPrimitive;
using iWaiterKind = nQoUdP100::iWaiter;

constexpr const char kFile[] = "qomiop/ai/tBaseAIImmediateTransferPrimitive";
constexpr nQoORB100::tGUID kDevice{0x1122, 0x3344};
constexpr uint64_t kKey = 0x0123456789ABCDEF;

class tImmediateTest : public tAIRoadTest {
 protected:
  void SetUp() override {
    tAIRoadTest::SetUp();
    deviceInfo.identity = &kDevice;
    frontEndDescription.rangeCodes = &anyRange;
    frontEnd = std::make_unique<nQoUdP100::tAIScanningFrontEndPrimitive>(&frontEndDescription, map,
                                                                         helper, status);
    wfnsc = std::make_unique<nQoUdP100::tBaseAI_WFNSCPrimitive>(timing, converter);
    description.fifo = &fifoDescription;
    description.firstEntry = &entry;
    immediate = std::make_unique<tBaseAIImmediateTransferPrimitive>(
        &bus, &deviceInfo, frontEnd.get(), wfnsc.get(), converter, timing, fifo, &description,
        status);
    ASSERT_EQ(status.code, 0);
    ASSERT_TRUE(immediate->isReady());
  }
  void TearDown() override {
    status.clear();
    immediate.reset();
    wfnsc.reset();
    frontEnd.reset();
    tAIRoadTest::TearDown();
  }
  // Timing mode 2 with routing kind 19 over channels whose flags end sets;
  // bit n of excluded makes channel n one of type 271, which takes no sample.
  void channels(std::initializer_list<uint32_t> flags, uint32_t perChannel = 1,
                uint32_t excluded = 0) {
    nQoUdP100::tAITimingControllerPrimitiveConfig config;
    config.timing.timingMode = 2;
    config.timing.strobeLoadValue = perChannel;
    config.hasRouting = 1;
    config.routing.words[7] = 19;
    commitTiming(config);
    nQoUdP100::tAIScanningFrontEndPrimitiveConfig frontEndConfig;
    for (uint32_t flag : flags) {
      nQoUdP100::tAIScanningFrontEndConfig channel;
      channel.channelFlags = flag;
      if ((excluded & 1u << frontEndConfig.channels.size()) != 0)
        channel.positiveInputCode = tBaseAIImmediateTransferPrimitive::kExcludedChannelType;
      frontEndConfig.channels.append(channel);
    }
    commitChannels(*frontEnd, frontEndConfig);
    ASSERT_EQ(status.code, 0);
  }
  void run() {
    immediate->reserveTransfer(status);
    immediate->commitTransfer(status);
    immediate->armTransfer(status);
    immediate->startTransfer(status);
    ASSERT_EQ(status.code, 0);
  }

  nQoUdP100::tAIFrontEndDescription frontEndDescription;
  nQoUdP100::tAIDescription description;
  std::unique_ptr<nQoUdP100::tAIScanningFrontEndPrimitive> frontEnd;
  std::unique_ptr<nQoUdP100::tBaseAI_WFNSCPrimitive> wfnsc;
  std::unique_ptr<tBaseAIImmediateTransferPrimitive> immediate;
  uint32_t buffer[64] = {};
};

TEST_F(tImmediateTest, NoWaitingOnAnEmptyFIFOTimesOutAtOnceWithTheDevice) {
  channels({1});
  run();
  uint32_t bytes = 99;
  EXPECT_EQ(immediate->read(buffer, 1, status, &bytes, 0, kTimerTimeUnitMillisecond), 0u);
  EXPECT_EQ(bytes, 0u);
  EXPECT_EQ(status.code, -200474);
  EXPECT_TRUE(loggedAt(-200474, kFile, 1546));
  EXPECT_EQ(guidProperty(status.description, 1), kDevice);
}

// A read without a limit that polls an empty FIFO when a cancel comes, then
// at once a start from the cancelling thread before the read looks again:
// the start waits for the read, which answers as the cancel ends it (no set,
// no byte, no code) instead of polling on into the new run. The same with no
// cancel, the read held at its look at the converter after the FIFO's, where
// it holds the set bookkeeping of its run but no look at the FIFO: the start
// ends it as a cancel would and waits for it.
TEST_F(tImmediateTest, ACancelReachesAPollingReadWhateverStartFollowsBeforeItLooks) {
  channels({1});
  run();
  for (const unsigned holdAt : {1u, 2u}) {
    SCOPED_TRACE(holdAt == 1 ? "cancelled, at the FIFO" : "at the converter");
    tHeldCall held;
    std::atomic<unsigned> looks{0};
    windows.setReadCallback(window, nQoSim::tSimAIFifo::kStatusOffset, [&](unsigned) {
      if (++looks == holdAt) held.hold();  // the read's first looks at the status
      return nQoSim::tSimAIFifo::kEmptyBit;
    });
    uint32_t sets = 99, bytes = 99;
    tStatus2 readStatus;
    std::atomic<bool> left{false};
    std::thread reader([&] {
      sets = immediate->read(buffer, 1, readStatus, &bytes, 0xFFFFFFFF, kTimerTimeUnitMillisecond);
      left = true;
    });
    ASSERT_TRUE(held.waitUntilInside());
    if (holdAt == 1) immediate->requestCancel();
    immediate->startTransfer(status);
    held.letGo();
    const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
    while (!left && std::chrono::steady_clock::now() < guard) std::this_thread::yield();
    const bool leftInTime = left;
    if (!leftInTime) immediate->requestCancel();  // only once the check has failed
    reader.join();
    windows.setReadCallback(window, nQoSim::tSimAIFifo::kStatusOffset,
                            [](unsigned) { return nQoSim::tSimAIFifo::kEmptyBit; });
    EXPECT_TRUE(leftInTime) << "the read polled on into the new run";
    EXPECT_TRUE(held.expired()) << "the start did not wait for the read";
    EXPECT_EQ(sets, 0u);
    EXPECT_EQ(bytes, 0u);
    EXPECT_EQ(readStatus.code, 0);

    tStatus2 timedOut;
    EXPECT_EQ(immediate->read(buffer, 1, timedOut, nullptr, 0, kTimerTimeUnitMillisecond), 0u);
    EXPECT_EQ(timedOut.code, -200474) << "the cancel outlasted the start";
  }
}

// A read held at the FIFO's data port, after its look at the FIFO, while a
// stop (then a start) or a disarm (then an arm and a start) comes: the step
// waits for the read, which hands the board's word; the FIFO reset and the
// start after the step reach no read of the run before: the read ends, as a
// cancel ends it, with the one word, and the next run's word is left for the
// next run's read.
TEST_F(tImmediateTest, AStopOrDisarmWaitsForAReadAtTheDataPortAndTheReadTakesNoLaterWord) {
  using tStep = void (tBaseAIImmediateTransferPrimitive::*)(tStatus2&);
  constexpr uint32_t kResetWord = 0xDEAD;  // what the data port gives from an empty FIFO
  for (const tStep step : {&tBaseAIImmediateTransferPrimitive::stopTransfer,
                           &tBaseAIImmediateTransferPrimitive::disarmTransfer}) {
    SCOPED_TRACE(step == &tBaseAIImmediateTransferPrimitive::stopTransfer ? "stop" : "disarm");
    channels({0, 1});
    immediate->reserveTransfer(status);
    immediate->commitTransfer(status);
    immediate->armTransfer(status);
    immediate->startTransfer(status);
    ASSERT_EQ(status.code, 0);
    std::mutex lock;
    std::deque<uint32_t> board{7};
    tHeldCall held;
    const std::thread::id testThread = std::this_thread::get_id();
    windows.setReadCallback(window, nQoSim::tSimAIFifo::kStatusOffset, [&](unsigned) {
      const std::lock_guard<std::mutex> guard(lock);
      return board.empty() ? nQoSim::tSimAIFifo::kEmptyBit : 0u;
    });
    windows.setReadCallback(window, nQoSim::tSimAIFifo::kDataOffset, [&](unsigned) {
      if (!held.inside() && std::this_thread::get_id() != testThread) held.hold();
      const std::lock_guard<std::mutex> guard(lock);
      if (board.empty()) return kResetWord;
      const uint32_t word = board.front();
      board.pop_front();
      return word;
    });
    uint32_t words[2] = {0, 0};
    uint32_t sets = 99, bytes = 99;
    tStatus2 readStatus;
    std::atomic<bool> left{false};
    std::thread reader([&] {
      sets = immediate->read(words, 1, readStatus, &bytes, 0xFFFFFFFF, kTimerTimeUnitMillisecond);
      left = true;
    });
    ASSERT_TRUE(held.waitUntilInside()) << "the read never came to the data port";
    (immediate.get()->*step)(status);
    EXPECT_TRUE(held.expired()) << "the step returned while the read was at the data port";
    {
      const std::lock_guard<std::mutex> guard(lock);
      board.clear();  // the FIFO reset of the next arm
    }
    if (step == &tBaseAIImmediateTransferPrimitive::disarmTransfer) immediate->armTransfer(status);
    immediate->startTransfer(status);
    {
      const std::lock_guard<std::mutex> guard(lock);
      board.push_back(9);  // the next run's first word
    }
    held.letGo();
    const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
    while (!left && std::chrono::steady_clock::now() < guard) std::this_thread::yield();
    const bool leftInTime = left;
    if (!leftInTime) immediate->requestCancel();  // only once the check has failed
    reader.join();
    EXPECT_TRUE(leftInTime) << "the read went on into the next run";
    EXPECT_EQ(sets, 0u);
    EXPECT_EQ(bytes, 4u);
    EXPECT_EQ(words[0], 7u) << "the read took a word of the reset FIFO";
    EXPECT_EQ(words[1], 0u) << "the read took a word of the next run";
    EXPECT_EQ(readStatus.code, 0);
    EXPECT_EQ(status.code, 0);

    // The next run's read begins its own set with the next run's word.
    uint32_t next[2] = {0, 0};
    {
      const std::lock_guard<std::mutex> guard(lock);
      board.push_back(10);
    }
    EXPECT_EQ(immediate->read(next, 1, status, &bytes, 0, kTimerTimeUnitMillisecond), 1u);
    EXPECT_EQ(next[0], 9u);
    EXPECT_EQ(next[1], 10u);
    EXPECT_EQ(status.code, 0);
    windows.setReadCallback(window, nQoSim::tSimAIFifo::kStatusOffset,
                            [](unsigned) { return nQoSim::tSimAIFifo::kEmptyBit; });
    windows.setReadCallback(window, nQoSim::tSimAIFifo::kDataOffset, [](unsigned) { return 0u; });
    immediate->stopTransfer(status);
    immediate->disarmTransfer(status);
    immediate->uncommitTransfer(status);
    immediate->unreserveTransfer(status);
    ASSERT_EQ(status.code, 0);
  }
}

// A read given with no live run looks at no FIFO: what the FIFO still
// holds (a reset FIFO's word, or the run before's) is no sample of a run.
// Without waiting it times out at once, with no byte. Only a start begins a
// run: an arm or a commit under one ends it.
TEST_F(tImmediateTest, AReadWithNoLiveRunTakesNothingOfTheFIFO) {
  constexpr uint32_t kLeftover = 0xDEAD;
  channels({1});
  immediate->reserveTransfer(status);
  const std::pair<const char*, std::function<void()>> steps[] = {
      {"committed", [&] { immediate->commitTransfer(status); }},
      {"armed", [&] { immediate->armTransfer(status); }},
      {"stopped",
       [&] {
         immediate->startTransfer(status);
         immediate->stopTransfer(status);
       }},
      {"disarmed", [&] { immediate->disarmTransfer(status); }},
      {"armed under a run",
       [&] {
         immediate->startTransfer(status);
         immediate->armTransfer(status);
       }},
      {"committed under a run", [&] {
         immediate->startTransfer(status);
         immediate->commitTransfer(status);
       }}};
  model.push(kLeftover);
  for (const auto& [name, step] : steps) {
    SCOPED_TRACE(name);
    step();
    ASSERT_EQ(status.code, 0);
    nQoSim::clearStatusLog();
    tStatus2 read;
    uint32_t bytes = 99;
    buffer[0] = 0;
    EXPECT_EQ(immediate->read(buffer, 1, read, &bytes, 0, kTimerTimeUnitMillisecond), 0u);
    EXPECT_EQ(read.code, -200474);
    EXPECT_TRUE(loggedAt(-200474, kFile, 1546));
    EXPECT_EQ(bytes, 0u);
    EXPECT_EQ(buffer[0], 0u);
    EXPECT_EQ(model.size(), 1u) << "the read took the FIFO's word";
  }
}

// A release hands the transfer back with the default wait: the next
// reservation's commit, which comes before that reservation's read
// configuration, makes a polling waiter (no event), not a blocking one of the
// wait mode the reservation before deployed.
TEST_F(tImmediateTest, AReleaseHandsBackTheDefaultWaitMode) {
  channels({1});
  immediate->setWaitMode(iWaiterKind::kBlocking);
  run();
  immediate->stopTransfer(status);
  immediate->disarmTransfer(status);
  immediate->uncommitTransfer(status);
  immediate->unreserveTransfer(status);
  nQoSim::clearSyncLog();
  immediate->reserveTransfer(status);
  immediate->commitTransfer(status);
  ASSERT_EQ(status.code, 0);
  int opened = 0;
  for (const nQoSim::tSyncRecord& record : nQoSim::syncLog())
    if (record.operation == nQoSim::tSyncRecord::kOpen) ++opened;
  EXPECT_EQ(opened, 0) << "the commit made a blocking waiter";
}

// A copy of the stamp clock made before a start, on another thread: the
// start waits for the copies of its run before it takes the next run's
// clock. Nothing else orders the two (the test hands over by a relaxed
// flag), so the thread sanitizer reports a start that does not wait.
TEST_F(tImmediateTest, AStartWaitsForTheStampClockCopiesOfTheRunBefore) {
  channels({1});
  immediate->setStampClock({false, {0, 3}});
  run();
  std::atomic<bool> copied{false};
  uint32_t copiedRun = 0;
  tBaseAIImmediateTransferPrimitive::tStampClock clock;
  std::thread reader([&] {
    clock = immediate->runClock(copiedRun);
    copied.store(true, std::memory_order_relaxed);
  });
  while (!copied.load(std::memory_order_relaxed)) std::this_thread::yield();
  immediate->setStampClock({true, {0, 5}});
  immediate->startTransfer(status);
  reader.join();
  EXPECT_FALSE(clock.softwareStamp);
  EXPECT_EQ(clock.interval.integer, 3);
  uint32_t next = 0;
  const tBaseAIImmediateTransferPrimitive::tStampClock taken = immediate->runClock(next);
  EXPECT_EQ(next, copiedRun + 1);
  EXPECT_TRUE(taken.softwareStamp);
  EXPECT_EQ(taken.interval.integer, 5);
}

TEST_F(tImmediateTest, SetListThreeAndFiveIsReadSetBySet) {
  channels({0, 0, 1, 0, 0, 0, 0, 1});
  run();
  EXPECT_EQ(immediate->setCount(), 2u);
  for (uint32_t sample = 1; sample <= 16; ++sample) model.push(sample);
  std::vector<uint32_t> sizes;
  for (int read = 0; read < 4; ++read) {
    uint32_t bytes = 0;
    EXPECT_EQ(immediate->read(buffer, 1, status, &bytes, 0xFFFFFFFF, kTimerTimeUnitMillisecond),
              1u);
    sizes.push_back(bytes / 4);
  }
  EXPECT_EQ(sizes, (std::vector<uint32_t>{3, 5, 3, 5}));
  EXPECT_EQ(buffer[0], 12u) << "the fourth read starts at sample 12";
  EXPECT_EQ(status.code, 0);
}

TEST_F(tImmediateTest, FiniteRunFinishesWithTheLastSetAndRefusesTheNextRead) {
  nQoUdP100::tAITimingControllerPrimitiveConfig config;
  config.timing.timingMode = 3;
  config.timing.acquisitionType = 2;
  config.timing.firstCount = 2;
  config.hasRouting = 1;
  config.routing.words[7] = 19;
  timing->setConfiguration(config, status);
  timing->commit(status);
  nQoUdP100::tAIScanningFrontEndPrimitiveConfig frontEndConfig;
  nQoUdP100::tAIScanningFrontEndConfig channel;
  channel.channelFlags = 1;
  frontEndConfig.channels.append(channel);
  commitChannels(*frontEnd, frontEndConfig);
  run();
  model.push({5, 6, 7});
  EXPECT_EQ(immediate->read(buffer, 1, status, nullptr, 0, kTimerTimeUnitMillisecond), 1u);
  EXPECT_FALSE(immediate->isFinished());
  EXPECT_EQ(immediate->read(buffer, 1, status, nullptr, 0, kTimerTimeUnitMillisecond), 1u);
  EXPECT_TRUE(immediate->isFinished());
  EXPECT_EQ(status.code, 0);
  uint32_t bytes = 7;
  EXPECT_EQ(immediate->read(buffer, 1, status, &bytes, 0, kTimerTimeUnitMillisecond), 0u);
  EXPECT_EQ(status.code, -200278);
  EXPECT_EQ(bytes, 0u);
  EXPECT_TRUE(loggedAt(-200278, kFile, 1921));
}

// A finite run of 3 sets, and a count of 1 with a retriggerable run given to
// the engine after the first read: the reads deliver the 3 sets and then
// refuse, and the done posts go as the run was armed (the sample end's
// post, none from code 3 without option 1, which is set again too late).
TEST_F(tImmediateTest, AFiniteRunReadsAndReportsAsItsArmTookIt) {
  nQoUdP100::tAITimingControllerPrimitiveConfig config;
  config.timing.timingMode = 3;
  config.timing.acquisitionType = 2;
  config.timing.firstCount = 3;
  config.hasRouting = 1;
  config.routing.words[7] = 19;
  timing->setConfiguration(config, status);
  timing->commit(status);
  nQoUdP100::tAIScanningFrontEndPrimitiveConfig frontEndConfig;
  nQoUdP100::tAIScanningFrontEndConfig channel;
  channel.channelFlags = 1;
  frontEndConfig.channels.append(channel);
  commitChannels(*frontEnd, frontEndConfig);
  immediate->setReadOption1(false);
  run();
  model.push({5, 6, 7, 8});
  std::vector<uint32_t> read;
  for (int set = 0; set < 3; ++set) {
    SCOPED_TRACE(set);
    EXPECT_EQ(immediate->read(buffer, 1, status, nullptr, 0, kTimerTimeUnitMillisecond), 1u);
    EXPECT_EQ(status.code, 0);
    read.push_back(buffer[0]);
    config.timing.firstCount = 1;
    config.timing.retriggerable = 1;
    timing->setConfiguration(config, status);
  }
  EXPECT_EQ(read, (std::vector<uint32_t>{5, 6, 7}));
  EXPECT_TRUE(immediate->isFinished());
  EXPECT_EQ(immediate->read(buffer, 1, status, nullptr, 0, kTimerTimeUnitMillisecond), 0u);
  EXPECT_EQ(status.code, -200278);

  nQoSim::tCallLog log;
  nQoSim::tScriptedEvent event(log, "event");
  tStatus2 posted;
  immediate->setDoneTarget(&event, posted);
  immediate->setReadOption1(true);
  immediate->notifyDone(posted);
  EXPECT_EQ(log.operations(), "");
  immediate->sampleEndedSecondary(timing, posted);
  EXPECT_EQ(log.operations(), "event.post 1 0");
  EXPECT_EQ(posted.code, 0);
}

// A finite run of 2 sets of 1 sample that the engine's commit programmed,
// then 5 retriggerable sets of 3 samples given to the engine with no commit,
// and the transfer armed again: the run goes by what the board runs. It
// reads sets of 1 sample, finishes with its 2 sets (no read waits for sets
// the board never makes), refuses the next read
// past its total, and its sample end posts done as for a run that is not
// retriggerable.
TEST_F(tImmediateTest, ARearmGoesByTheEnginesCommitNotByAConfigurationGivenSince) {
  nQoUdP100::tAITimingControllerPrimitiveConfig config;
  config.timing.timingMode = 3;
  config.timing.acquisitionType = 2;
  config.timing.firstCount = 2;
  config.hasRouting = 1;
  config.routing.words[7] = 19;
  timing->setConfiguration(config, status);
  timing->commit(status);
  nQoUdP100::tAIScanningFrontEndPrimitiveConfig frontEndConfig;
  nQoUdP100::tAIScanningFrontEndConfig channel;
  channel.channelFlags = 1;
  frontEndConfig.channels.append(channel);
  commitChannels(*frontEnd, frontEndConfig);
  immediate->setReadOption1(false);
  run();
  config.timing.firstCount = 5;
  config.timing.retriggerable = 1;
  config.timing.strobeLoadValue = 3;
  timing->setConfiguration(config, status);
  immediate->disarmTransfer(status);
  immediate->armTransfer(status);
  immediate->startTransfer(status);
  ASSERT_EQ(status.code, 0);
  model.push({5, 6, 7});
  std::vector<uint32_t> read;
  for (int set = 0; set < 2; ++set) {
    EXPECT_EQ(immediate->read(buffer, 1, status, nullptr, 0, kTimerTimeUnitMillisecond), 1u);
    read.push_back(buffer[0]);
  }
  EXPECT_EQ(read, (std::vector<uint32_t>{5, 6}));
  EXPECT_EQ(status.code, 0);
  EXPECT_TRUE(immediate->isFinished());
  uint32_t bytes = 7;
  EXPECT_EQ(immediate->read(buffer, 1, status, &bytes, 0, kTimerTimeUnitMillisecond), 0u);
  EXPECT_EQ(status.code, -200278);
  EXPECT_EQ(bytes, 0u);
  EXPECT_EQ(model.size(), 1u);

  nQoSim::tCallLog log;
  nQoSim::tScriptedEvent event(log, "event");
  tStatus2 posted;
  immediate->setDoneTarget(&event, posted);
  immediate->sampleEndedSecondary(timing, posted);
  EXPECT_EQ(log.operations(), "event.post 1 0");
  EXPECT_EQ(posted.code, 0);
}

// A wait mode given between the reservation and the arm reaches that run's
// reads, and the client's query answers it: no waiting (0) after a
// reservation that made a polling waiter answers an empty FIFO at once with
// nothing and no code, whatever the read's time-out. Polling given again for
// the next arm: the read polls until its time-out (-200474). A read that
// polls on is let go by the test clock.
TEST_F(tImmediateTest, AWaitModeGivenBeforeTheArmReachesItsReads) {
  channels({1});
  immediate->setListenerKey(kKey);
  immediate->reserveTransfer(status);
  immediate->commitTransfer(status);
  std::atomic<unsigned> looks{0};
  windows.setReadCallback(window, nQoSim::tSimAIFifo::kStatusOffset, [&](unsigned) {
    ++looks;
    return nQoSim::tSimAIFifo::kEmptyBit;
  });
  struct tRead {
    bool polledOn;
    uint32_t sets;
    int code;
  };
  const auto armAndRead = [&](uint32_t mode) {
    immediate->setWaitMode(mode);
    immediate->disarmTransfer(status);
    immediate->armTransfer(status);
    immediate->startTransfer(status);
    EXPECT_EQ(status.code, 0);
    looks = 0;
    std::atomic<bool> back{false};
    tRead read{false, 99, 0};
    std::thread reader([&] {
      tStatus2 readStatus;
      read.sets = immediate->read(buffer, 1, readStatus, nullptr, 10, kTimerTimeUnitMillisecond);
      read.code = readStatus.code;
      back = true;
    });
    EXPECT_TRUE(boundedUntil([&] { return back || looks > 100; }));
    read.polledOn = !back;
    nQoSim::advanceClock(20'000'000);
    reader.join();
    return read;
  };
  const tRead none = armAndRead(iWaiterKind::kNone);
  EXPECT_FALSE(none.polledOn);
  EXPECT_EQ(none.sets, 0u);
  EXPECT_EQ(none.code, 0);
  uint32_t request[4] = {static_cast<uint32_t>(kKey), static_cast<uint32_t>(kKey >> 32), 0, 1};
  uint32_t reply[9] = {};
  uint32_t size = 0;
  tStatus2 query;
  immediate->listener().handleRequest(request, sizeof request, reply, sizeof reply, &size,
                                      tBaseAIImmediateTransferPrimitive::kReadConfiguration, 0,
                                      query);
  EXPECT_EQ(query.code, 0);
  EXPECT_EQ(reply[5], iWaiterKind::kNone) << "the query's wait mode";

  const tRead polling = armAndRead(iWaiterKind::kNop);
  windows.setReadCallback(window, nQoSim::tSimAIFifo::kStatusOffset,
                          [](unsigned) { return nQoSim::tSimAIFifo::kEmptyBit; });
  EXPECT_TRUE(polling.polledOn);
  EXPECT_EQ(polling.sets, 0u);
  EXPECT_EQ(polling.code, -200474);
  EXPECT_TRUE(loggedAt(-200474, kFile, 1546));
}

// A blocking read woken with its set short takes only the samples that the
// FIFO holds: a set of 3 with 1 sample in the FIFO blocks, a sample end wakes
// it with 2, and it reads on without waiting until its time-out (-200474 at
// the blocking site), with the 2 samples and no word of the empty FIFO.
TEST_F(tImmediateTest, AWokenBlockingReadTakesOnlyTheSamplesTheFIFOHolds) {
  channels({0, 0, 1});
  immediate->setWaitMode(iWaiterKind::kBlocking);
  nQoSim::clearSyncLog();
  run();
  const iSync* event = nullptr;
  for (const nQoSim::tSyncRecord& record : nQoSim::syncLog())
    if (record.operation == nQoSim::tSyncRecord::kOpen && record.param.option == 44)
      event = record.object;
  ASSERT_NE(event, nullptr);
  timing->commit(status);
  timing->arm(status);
  ASSERT_EQ(status.code, 0);
  ASSERT_NE(dispatcher->primaryHandlers[7], nullptr);
  model.push(0x11);
  std::atomic<bool> back{false};
  uint32_t sets = 99, bytes = 99;
  tStatus2 readStatus;
  std::thread reader([&] {
    sets = immediate->read(buffer, 1, readStatus, &bytes, 10, kTimerTimeUnitMillisecond);
    back = true;
  });
  EXPECT_TRUE(boundedUntil([&] { return nQoSim::syncBlocked(event) != 0 || back; }));
  model.push(0x22);
  dispatcher->primaryHandlers[7].load()->handleInterrupt();
  EXPECT_TRUE(boundedUntil([&] { return nQoSim::syncBlocked(event) == 0 || back; }));
  // The woken read polls the FIFO until its time-out, which the test clock brings.
  nQoSim::advanceClock(20'000'000);
  const bool leftInTime = boundedUntil([&] { return back.load(); });
  if (!leftInTime) immediate->requestCancel();  // only once the check has failed
  reader.join();
  EXPECT_TRUE(leftInTime);
  EXPECT_EQ(sets, 0u);
  EXPECT_EQ(bytes, 8u);
  EXPECT_EQ(buffer[0], 0x11u);
  EXPECT_EQ(buffer[1], 0x22u);
  EXPECT_EQ(readStatus.code, -200474);
  EXPECT_TRUE(loggedAt(-200474, kFile, 1598));
  timing->disarm(status);
  timing->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tImmediateTest, ConverterOverrunAndFIFOOverflowEndTheRead) {
  channels({0, 1});
  run();
  model.push({1, 2});
  model.setStatusBits(0x0800);
  EXPECT_EQ(immediate->read(buffer, 1, status, nullptr, 0xFFFFFFFF, kTimerTimeUnitMillisecond), 1u);
  EXPECT_EQ(status.code, -200019);
  EXPECT_TRUE(loggedAt(-200019, kFile, 1475));
  model.setStatusBits(0x0400);
  tStatus2 overflow;
  immediate->read(buffer, 1, overflow, nullptr, 0, kTimerTimeUnitMillisecond);
  EXPECT_EQ(overflow.code, -200010);
  EXPECT_TRUE(loggedAt(-200010, kFile, 1478));
  overflow.clear();
}

TEST_F(tImmediateTest, AnEmptySetListOrAZeroSampleWidthIsRefused) {
  nQoUdP100::tAITimingControllerPrimitiveConfig config;
  config.timing.timingMode = 0;
  commitTiming(config);
  run();
  EXPECT_EQ(immediate->setCount(), 0u);
  EXPECT_EQ(immediate->read(buffer, 1, status, nullptr, 0, kTimerTimeUnitMillisecond), 0u);
  EXPECT_EQ(status.code, -50150);

  nQoUdP100::tAIFIFODescription zeroWidth{4096, 0, 77};
  nQoUdP100::tAIDescription other = description;
  other.fifo = &zeroWidth;
  tStatus2 refused;
  tBaseAIImmediateTransferPrimitive bad(&bus, &deviceInfo, frontEnd.get(), wfnsc.get(), converter,
                                        timing, fifo, &other, refused);
  EXPECT_EQ(refused.code, -50150);
  EXPECT_FALSE(bad.isReady());
}

// Routing kind 19 sums the per-channel sample count over a set's channels.
// A set that does not fit in 32 bits is refused before the commit changes
// anything; one of exactly 0xFFFFFFFF samples fits.
TEST_F(tImmediateTest, ASetOfMoreSamplesThanFitIn32BitsIsRefusedByTheCommit) {
  immediate->setWaitMode(2);
  channels({0, 0, 1}, 0x55555555);
  immediate->reserveTransfer(status);
  immediate->commitTransfer(status);
  ASSERT_EQ(status.code, 0);
  // Without a listener key the request's key is 0.
  uint32_t request[4] = {0, 0, 0, 1};
  auto setList = [&] {
    uint32_t reply[9] = {};
    uint32_t replySize = 0;
    tStatus2 local;
    immediate->listener().handleRequest(request, 16, reply, 36, &replySize, 2, 0, local);
    EXPECT_EQ(local.code, 0);
    return reply[8];
  };
  EXPECT_EQ(setList(), 0xFFFFFFFFu);

  // Two channels of 0x80000002 would wrap to a set of 4.
  channels({0, 1}, 0x80000002);
  const int openEvents = nQoSim::liveSyncObjects();
  nQoSim::clearSyncLog();
  tStatus2 refused;
  immediate->commitTransfer(refused);
  EXPECT_EQ(refused.code, -50175);
  EXPECT_TRUE(loggedAt(-50175, kFile, 796));
  EXPECT_EQ(immediate->getTransferState(), 3u);
  EXPECT_EQ(immediate->setCount(), 1u);
  EXPECT_EQ(setList(), 0xFFFFFFFFu) << "the list of the commit before stays";
  EXPECT_TRUE(nQoSim::syncLog().empty()) << "the waiter and its event stay";
  EXPECT_EQ(nQoSim::liveSyncObjects(), openEvents);
  refused.clear();

  // From the reserved state: no record in the controller, no list, no waiter.
  immediate->uncommitTransfer(status);
  ASSERT_EQ(immediate->getTransferState(), 2u);
  immediate->commitTransfer(refused);
  EXPECT_EQ(refused.code, -50175);
  EXPECT_EQ(immediate->getTransferState(), 2u);
  EXPECT_EQ(timing->findSampleEndObserver(immediate.get()), nullptr);
  refused.clear();
  immediate->read(buffer, 1, refused, nullptr, 0, kTimerTimeUnitMillisecond);
  EXPECT_EQ(refused.code, -50150) << "no waiter was made";
  refused.clear();
  EXPECT_EQ(status.code, 0);
}

// A client's query on its own thread while commits of the armed transfer
// rebuild the set list: an answer holds the whole list of one commit, or the
// query is refused (the list closed, or of another length); never a mix.
TEST_F(tImmediateTest, AQueryDuringACommitSeesOneWholeListOrIsRefused) {
  immediate->setListenerKey(kKey);
  const auto nineSets = [&] { channels({1, 1, 1, 1, 1, 1, 1, 1, 1}, 0x22); };
  nineSets();
  run();
  std::atomic<bool> stop{false};
  std::atomic<unsigned> whole{0}, mixed{0};
  std::thread client([&] {
    const uint32_t request[4] = {static_cast<uint32_t>(kKey), static_cast<uint32_t>(kKey >> 32), 0,
                                 9};
    uint32_t reply[8 + 9];
    while (!stop) {
      uint32_t replySize = 0;
      tStatus2 local;
      immediate->listener().handleRequest(request, 16, reply, sizeof reply, &replySize, 2, 0,
                                          local);
      if (local.code != 0) continue;
      bool same = true;
      for (uint32_t i = 0; i < 9; ++i) same = same && reply[8 + i] == 0x22;
      ++(same ? whole : mixed);
    }
  });
  // Bounded by elapsed time: the rounds only widen the chance of a meeting.
  const auto bound = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
  for (unsigned round = 0; std::chrono::steady_clock::now() < bound; ++round) {
    if (round % 2 == 0)
      channels({1, 1, 1, 1}, 0x11);
    else
      nineSets();
    tStatus2 commit;
    immediate->commitTransfer(commit);
    ASSERT_EQ(commit.code, 0);
  }
  stop = true;
  client.join();
  EXPECT_EQ(mixed, 0u) << "a reply mixed two commits' lists (" << whole << " whole)";
}

TEST_F(tImmediateTest, SocketRequestsCheckKeyKindAndReplyRoom) {
  immediate->setListenerKey(kKey);
  immediate->setReadCountLimit(0x55);
  immediate->setTimeout(250, 3);
  channels({1, 1, 1});
  run();
  ASSERT_EQ(immediate->setCount(), 3u);
  uint32_t request[4] = {static_cast<uint32_t>(kKey), static_cast<uint32_t>(kKey >> 32), 0, 3};
  std::vector<uint32_t> reply(11, 0xEEEEEEEE);
  uint32_t replySize = 0;
  auto ask = [&](uint32_t capacity, uint32_t kind) {
    tStatus2 local;
    immediate->listener().handleRequest(request, 16, reply.data(), capacity, &replySize, kind, 0,
                                        local);
    return local.code;
  };
  EXPECT_EQ(ask(36, 2), -223749) << "32 + 4 x 3 bytes do not fit in 36";
  EXPECT_EQ(reply[0], 0xEEEEEEEEu);
  EXPECT_EQ(ask(44, 2), 0);
  EXPECT_EQ(replySize, 44u);
  EXPECT_EQ(reply, (std::vector<uint32_t>{1, 0, 0x55, 0, 0, 1, 250, 3, 1, 1, 1}));
  EXPECT_EQ(ask(36, 1), 0);
  EXPECT_EQ(reply[0], 3u);
  EXPECT_EQ(replySize, 36u);
  request[3] = 2;
  EXPECT_EQ(ask(44, 2), -223749) << "the length word must match";
  EXPECT_EQ(ask(44, 9), -223749);
  request[0] ^= 1;
  EXPECT_EQ(ask(44, 1), -223749) << "wrong key";
}

TEST_F(tImmediateTest, ArmRegistersTheListenerUnderTheBusLocationAndDisarmRemovesIt) {
  bus.setLocation(0, 0xAB);
  bus.setLocation(1, 2);
  bus.setLocation(2, 0x3C);
  immediate->setListenerKey(kKey);
  channels({1});
  const std::string name = "0xAB::0x2::0x3C::tBaseAIImmediateTransferPrimitive::tLibSocketListener";
  immediate->reserveTransfer(status);
  immediate->commitTransfer(status);
  EXPECT_EQ(nQoSim::findSocketListener(name), nullptr);
  immediate->armTransfer(status);
  EXPECT_EQ(nQoSim::findSocketListener(name), &immediate->listener());
  immediate->disarmTransfer(status);
  EXPECT_EQ(nQoSim::findSocketListener(name), nullptr);
  // An arm again after the key was taken away takes out the listener it kept.
  immediate->armTransfer(status);
  immediate->setListenerKey(0);
  immediate->armTransfer(status);
  EXPECT_EQ(nQoSim::registeredSocketListeners(), 0);
  EXPECT_EQ(status.code, 0);
}

// A release of an armed (code 1) and started (4100) transfer: the run stops
// and the listener goes before the commit is left, so no client reaches the
// transfer once it is handed back.
TEST_F(tImmediateTest, TheBringDownOfAReleaseStopsTheRunAndTakesTheListenerOut) {
  bus.setLocation(0, 0xAB);
  bus.setLocation(1, 2);
  bus.setLocation(2, 0x3C);
  immediate->setListenerKey(kKey);
  channels({1});
  const std::string name = "0xAB::0x2::0x3C::tBaseAIImmediateTransferPrimitive::tLibSocketListener";
  immediate->reserveTransfer(status);
  immediate->commitTransfer(status);
  immediate->armTransfer(status);
  immediate->startTransfer(status);
  ASSERT_EQ(nQoSim::findSocketListener(name), &immediate->listener());
  immediate->bringDown();
  immediate->uncommitTransfer(status);
  immediate->unreserveTransfer(status);
  EXPECT_EQ(nQoSim::findSocketListener(name), nullptr);
  EXPECT_EQ(immediate->getTransferState(), 1u);
  EXPECT_EQ(timing->findSampleEndObserver(immediate.get()), nullptr);
  EXPECT_EQ(status.code, 0);
}

// Each read starts the armed engine for its set on the reader's thread
// while the codes' thread stops and then disarms it. The threads share no
// lock between those steps: the hand-over that orders them in time is
// relaxed, so it orders no memory, as two threads of a task do not; what the
// engine holds is shared only through its own atomics.
TEST_F(tImmediateTest, ReadsStartTheEngineWhileTheCodesThreadStopsAndDisarmsIt) {
  channels({1});
  immediate->reserveTransfer(status);
  immediate->commitTransfer(status);
  timing->commit(status);
  timing->arm(status);
  immediate->armTransfer(status);
  immediate->startTransfer(status);
  ASSERT_EQ(status.code, 0);
  ASSERT_TRUE(timing->isArmHeld());
  std::atomic<int> reads{0}, codes{0};
  // Until the other thread's count reaches n, or a guard of elapsed time.
  const auto reached = [](const std::atomic<int>& count, int n) {
    const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
    while (count.load(std::memory_order_relaxed) < n && std::chrono::steady_clock::now() < guard)
      std::this_thread::yield();
    return count.load(std::memory_order_relaxed) >= n;
  };
  std::vector<int> answers;
  uint32_t sets = 0;
  bool readerWaited = true;
  std::thread reader([&] {
    for (int n = 1; n <= 2; ++n) {
      tStatus2 timedOut;
      sets += immediate->read(buffer, 1, timedOut, nullptr, 0, kTimerTimeUnitMillisecond);
      answers.push_back(timedOut.code);
      reads.store(n, std::memory_order_relaxed);
      readerWaited = reached(codes, n) && readerWaited;
    }
  });
  tStatus2 stopped, disarmed;
  const bool firstRead = reached(reads, 1);
  timing->stop(stopped);
  codes.store(1, std::memory_order_relaxed);
  const bool secondRead = reached(reads, 2);
  timing->disarm(disarmed);
  codes.store(2, std::memory_order_relaxed);
  reader.join();
  EXPECT_TRUE(firstRead && secondRead && readerWaited) << "a hand-over ran into its guard";
  EXPECT_EQ(sets, 0u);
  EXPECT_EQ(answers, (std::vector<int>{-200474, -200474}));
  EXPECT_EQ(stopped.code, 0);
  EXPECT_EQ(disarmed.code, 0);
  EXPECT_FALSE(timing->isArmHeld());
  EXPECT_FALSE(timing->isRunHeld());
}

// Reads start the engine for each set on the reader's thread while the
// codes' thread stops a finite mode-3 run again and again: each stop ends on
// the record end it ran, whatever start comes between its pass and its wait,
// and warns of the early stop; a stop that no start came before since the
// record end of the stop before owes no record end and answers 0.
TEST_F(tImmediateTest, StopsOfAFiniteRunEndWhileReadsStartTheEngineForEachSet) {
  channels({1});
  armFiniteRun();
  run();
  std::atomic<bool> reading{true};
  std::thread reader([&] {
    while (reading) {
      tStatus2 timedOut;
      immediate->read(buffer, 1, timedOut, nullptr, 0, kTimerTimeUnitMillisecond);
    }
  });
  // The events a stop waits on, set by the test if a stop hangs.
  std::atomic<std::thread::id> stopper;
  std::atomic<const iSync*> events[2] = {};
  nQoSim::onSyncWait([&](const iSync* object) {
    if (std::this_thread::get_id() != stopper.load()) return;
    for (auto& event : events) {
      const iSync* none = nullptr;
      if (event.compare_exchange_strong(none, object) || none == object) return;
    }
  });
  constexpr int kStops = 1000;
  std::atomic<int> stops{0};
  std::vector<int> codes;
  auto stopping = std::async(std::launch::async, [&] {
    stopper = std::this_thread::get_id();
    for (int k = 0; k < kStops; ++k) {
      tStatus2 stopped;
      timing->stop(stopped);
      codes.push_back(stopped.code);
      ++stops;
    }
  });
  // Each stop returns within a guard of elapsed time from the one before.
  bool inTime = true;
  for (int k = 1; k <= kStops && inTime; ++k) {
    const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
    while (stops < k && std::chrono::steady_clock::now() < guard) std::this_thread::yield();
    inTime = stops >= k;
  }
  reading = false;
  while (stopping.wait_for(tHeldCall::kHold) != std::future_status::ready)
    for (const auto& event : events)
      if (event != nullptr) const_cast<iSync*>(event.load())->releaseOrSet(nullptr);
  reader.join();
  nQoSim::onSyncWait(nullptr);
  EXPECT_TRUE(inTime) << "a stop waited on a record end that a read's start cleared";
  ASSERT_EQ(codes.size(), size_t{kStops});
  EXPECT_EQ(codes[0], 200010) << "the run's stop";
  for (const int code : codes) EXPECT_TRUE(code == 200010 || code == 0) << code;
  timing->disarm(status);
  EXPECT_EQ(status.code, 0);
}

// A second commit adds no sample-end record: one uncommit takes it out.
TEST_F(tImmediateTest, ASecondCommitAddsNoRecordSoOneUncommitTakesItOut) {
  channels({1});
  immediate->reserveTransfer(status);
  immediate->commitTransfer(status);
  immediate->commitTransfer(status);
  ASSERT_EQ(status.code, 0);
  immediate->uncommitTransfer(status);
  EXPECT_EQ(timing->findSampleEndObserver(immediate.get()), nullptr);
  EXPECT_EQ(status.code, 0);
}

// Codes 4100 and 1, then the release: the commit kept the arm's listener and
// lowered the state; the bring-down takes the listener out by its
// registration, so the next reservation finds none.
TEST_F(tImmediateTest, TheBringDownTakesOutTheListenerThatACommitAfterTheArmKept) {
  immediate->setListenerKey(kKey);
  channels({1});
  immediate->reserveTransfer(status);
  immediate->commitTransfer(status);
  immediate->armTransfer(status);
  immediate->commitTransfer(status);
  ASSERT_EQ(status.code, 0);
  ASSERT_TRUE(immediate->hasListener());
  immediate->bringDown();
  immediate->uncommitTransfer(status);
  immediate->unreserveTransfer(status);
  EXPECT_FALSE(immediate->hasListener());
  EXPECT_EQ(nQoSim::registeredSocketListeners(), 0);
  EXPECT_EQ(immediate->getTransferState(), 1u);
  EXPECT_EQ(status.code, 0);
}

// A commit of an armed transfer keeps its listener registered; the
// destruction takes it out all the same.
TEST_F(tImmediateTest, ADestroyedTransferLeavesNoListenerAfterACommitWhileArmed) {
  bus.setLocation(0, 0xAB);
  bus.setLocation(1, 2);
  bus.setLocation(2, 0x3C);
  immediate->setListenerKey(kKey);
  channels({1});
  const std::string name = "0xAB::0x2::0x3C::tBaseAIImmediateTransferPrimitive::tLibSocketListener";
  immediate->reserveTransfer(status);
  immediate->commitTransfer(status);
  immediate->armTransfer(status);
  ASSERT_EQ(nQoSim::findSocketListener(name), &immediate->listener());
  immediate->commitTransfer(status);
  ASSERT_EQ(status.code, 0);
  immediate.reset();
  EXPECT_EQ(nQoSim::findSocketListener(name), nullptr);
}

// A start, then an uncommit and a stop that came late leave the state above
// a commit's: the next commit still registers the sample-end observer, and
// the destruction takes it out.
TEST_F(tImmediateTest, ACommitAfterALateStopRegistersTheSampleEndObserver) {
  channels({1});
  run();
  auto* const observer =
      static_cast<nQoUdP100::tBaseAITimingControllerPrimitive::iSampleEndObserver*>(
          immediate.get());
  immediate->uncommitTransfer(status);
  immediate->stopTransfer(status);
  ASSERT_EQ(immediate->getTransferState(), 4u);
  ASSERT_EQ(timing->findSampleEndObserver(observer), nullptr);
  immediate->commitTransfer(status);
  ASSERT_EQ(status.code, 0);
  EXPECT_NE(timing->findSampleEndObserver(observer), nullptr);
  immediate->reserveTransfer(status);  // the state below a commit's, the observer kept
  immediate.reset();
  EXPECT_EQ(timing->findSampleEndObserver(observer), nullptr);
}

TEST_F(tImmediateTest, NamingTheEventWhileAReadWaitsIsRefused) {
  immediate->setListenerKey(kKey);
  immediate->setWaitMode(2);
  channels({1});
  run();
  // The client names its event: a blocking waiter over it.
  uint32_t request[4] = {static_cast<uint32_t>(kKey), static_cast<uint32_t>(kKey >> 32), 0xAB,
                         0xCD};
  uint32_t reply[9];
  uint32_t replySize = 0;
  immediate->listener().handleRequest(request, 16, reply, 36, &replySize, 3, 0, status);
  ASSERT_EQ(status.code, 0);
  const iSync* event = nullptr;
  for (const auto& record : nQoSim::syncLog())
    if (record.operation == nQoSim::tSyncRecord::kOpen && record.option == 46 &&
        record.param.reserved[0] == 0xAB && record.param.reserved[1] == 0xCD)
      event = record.object;
  ASSERT_NE(event, nullptr);

  tStatus2 readStatus;
  std::thread reader([&] {
    immediate->read(buffer, 1, readStatus, nullptr, 0xFFFFFFFF, kTimerTimeUnitMillisecond);
  });
  while (nQoSim::syncBlocked(event) == 0) std::this_thread::yield();
  tStatus2 naming;
  immediate->listener().handleRequest(request, 16, reply, 36, &replySize, 3, 0, naming);
  EXPECT_EQ(naming.code, -223749);
  immediate->requestCancel();
  reader.join();
  EXPECT_EQ(readStatus.code, 0);
}

// The client names a second event while a cancel on another thread is
// setting the first one (held there, and let go after a bounded time). The
// waiter swaps the event in place once the cancel has left it: the first
// event is closed, the waiter stays in the armed controller's sample-end
// list, and the next sample end sets the second event.
TEST_F(tImmediateTest, NamingAnEventWhileACancelSetsTheOldOneKeepsTheWaiterInPlace) {
  immediate->setListenerKey(kKey);
  immediate->setWaitMode(2);
  channels({1});
  run();
  timing->commit(status);
  timing->arm(status);
  ASSERT_EQ(status.code, 0);
  ASSERT_TRUE(timing->state().isArmed());
  const auto name = [&](uint32_t low, uint32_t high) {
    uint32_t request[4] = {static_cast<uint32_t>(kKey), static_cast<uint32_t>(kKey >> 32), low,
                           high};
    uint32_t reply[9];
    uint32_t replySize = 0;
    immediate->listener().handleRequest(request, 16, reply, 36, &replySize, 3, 0, status);
    const iSync* opened = nullptr;
    for (const auto& record : nQoSim::syncLog())
      if (record.operation == nQoSim::tSyncRecord::kOpen && record.option == 46 &&
          record.param.reserved[0] == low && record.param.reserved[1] == high)
        opened = record.object;
    return opened;
  };
  const auto closed = [](const iSync* event) {
    for (const auto& record : nQoSim::syncLog())
      if (record.operation == nQoSim::tSyncRecord::kClose && record.object == event) return true;
    return false;
  };
  const iSync* first = name(0xAB, 0xCD);
  ASSERT_NE(first, nullptr);

  std::mutex mutex;
  std::condition_variable changed;
  bool held = false;
  bool go = false;
  struct tUnhook {
    ~tUnhook() { nQoSim::onSyncSet(nullptr); }
  } unhook;
  nQoSim::onSyncSet([&](const iSync* object, bool set) {
    if (object != first || set) return;
    std::unique_lock<std::mutex> lock(mutex);
    held = true;
    changed.notify_all();
    changed.wait_for(lock, std::chrono::milliseconds(200), [&] { return go; });
  });
  std::thread canceller([&] { immediate->requestCancel(); });
  {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return held; });
  }
  const iSync* second = name(0x12, 0x34);
  {
    const std::lock_guard<std::mutex> lock(mutex);
    go = true;
    changed.notify_all();
  }
  canceller.join();
  nQoSim::onSyncSet(nullptr);
  EXPECT_EQ(status.code, 0);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_TRUE(closed(first));
  EXPECT_FALSE(closed(second));
  EXPECT_TRUE(timing->state().isArmed()) << "naming touched no list of the controller";
  ASSERT_NE(dispatcher->primaryHandlers[7], nullptr);
  dispatcher->primaryHandlers[7].load()->handleInterrupt();
  EXPECT_EQ(nQoSim::syncSets(second), 1u) << "the sample end reached the waiter";
  timing->disarm(status);
  timing->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A committed transfer with a blocking waiter of its own event. A cancel on
// another thread is held inside the waiter, at the set of that event, while
// the test's thread takes the waiter out: the removal returns only after the
// cancel has left (the hold lets go at its bound), so the event is set before
// it is closed.
class tHeldCancelTest : public tImmediateTest {
 protected:
  void SetUp() override {
    tImmediateTest::SetUp();
    immediate->setWaitMode(2);
    channels({1});
    immediate->reserveTransfer(status);
    nQoSim::clearSyncLog();
    immediate->commitTransfer(status);
    ASSERT_EQ(status.code, 0);
    event = lastOwnEvent();
    ASSERT_NE(event, nullptr);
  }
  void TearDown() override {
    nQoSim::onSyncSet(nullptr);
    tImmediateTest::TearDown();
  }
  // The event a blocking waiter opened for itself most recently.
  static const iSync* lastOwnEvent() {
    const iSync* opened = nullptr;
    for (const auto& record : nQoSim::syncLog())
      if (record.operation == nQoSim::tSyncRecord::kOpen && record.option == 44)
        opened = record.object;
    return opened;
  }
  // The operations on the event from its open to its close, in order (a
  // later object may take its address).
  std::vector<nQoSim::tSyncRecord::tOperation> eventOperations() const {
    std::vector<nQoSim::tSyncRecord::tOperation> operations;
    for (const auto& record : nQoSim::syncLog()) {
      if (record.object != event) continue;
      operations.push_back(record.operation);
      if (record.operation == nQoSim::tSyncRecord::kClose) break;
    }
    return operations;
  }
  // Runs remove while a cancel is held inside the waiter; the remover must
  // wait for it (the hold then ends by its bound, not by the test).
  template <class tRemove>
  void removeWhileACancelIsInside(tRemove remove) {
    tHeldCall held;
    nQoSim::onSyncSet([&held, watched = event](const iSync* object, bool set) {
      if (object == watched && !set) held.hold();
    });
    std::thread canceller([&] { immediate->requestCancel(); });
    EXPECT_TRUE(held.waitUntilInside());
    remove();
    held.letGo();
    canceller.join();
    nQoSim::onSyncSet(nullptr);
    EXPECT_TRUE(held.expired()) << "the removal returned while the cancel was inside the waiter";
    EXPECT_EQ(eventOperations(), (std::vector<nQoSim::tSyncRecord::tOperation>{
                                     nQoSim::tSyncRecord::kOpen, nQoSim::tSyncRecord::kSet,
                                     nQoSim::tSyncRecord::kClose}));
  }

  const iSync* event = nullptr;
};

TEST_F(tHeldCancelTest, AnUncommitFreesTheWaiterAfterACancelInsideIt) {
  const int events = nQoSim::liveSyncObjects();
  removeWhileACancelIsInside([&] { immediate->uncommitTransfer(status); });
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(immediate->getTransferState(), 2u);
  EXPECT_EQ(nQoSim::liveSyncObjects(), events - 1);
  EXPECT_EQ(timing->findSampleEndObserver(immediate.get()), nullptr);
}

TEST_F(tHeldCancelTest, ACommitRemakesTheWaiterAfterACancelInsideTheOldOne) {
  removeWhileACancelIsInside([&] { immediate->commitTransfer(status); });
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(immediate->getTransferState(), 3u);
  const iSync* remade = lastOwnEvent();
  ASSERT_NE(remade, nullptr);
  EXPECT_EQ(nQoSim::syncSets(remade), 0u) << "the cancel set the old waiter's event only";
  immediate->requestCancel();
  EXPECT_EQ(nQoSim::syncSets(remade), 1u) << "the new waiter takes the next cancel";
}

TEST_F(tHeldCancelTest, ADestructionFreesTheWaiterAfterACancelInsideIt) {
  removeWhileACancelIsInside([&] { immediate.reset(); });
  EXPECT_EQ(eventOperations().back(), nQoSim::tSyncRecord::kClose);
}

// A read on a thread of its own, blocked in the blocking waiter's wait on its
// event: the time-out is infinite and the test clock never advances, so only
// a cancel ends it. A step on another thread then uncommits, commits or
// destroys the transfer, which must end the read, wait for it to leave and
// only then free the waiter and rebuild the list. A step that frees the
// event under the read hangs in the platform's close (it waits for the
// waiting thread), so the step runs off the test's thread and each wait here
// is guarded by elapsed time.
class tReadCutOffTest : public tHeldCancelTest {
 protected:
  void TearDown() override {
    if (_reader.joinable() || _stepper.joinable()) {
      // Still blocked: the test failed. What they hold stays.
      if (_reader.joinable()) _reader.detach();
      if (_stepper.joinable()) _stepper.detach();
      (void)immediate.release();
    }
    tHeldCancelTest::TearDown();
  }
  // Runs step on a thread of its own; true once it and the read have ended.
  template <class tStep>
  bool stepEndsTheRead(tStep step) {
    _stepper = std::thread([this, step] {
      step();
      _stepped = true;
    });
    if (!within([&] { return _stepped && _ended; })) return false;
    _stepper.join();
    _reader.join();
    return true;
  }
  // Starts the read and returns once it is blocked on the event.
  bool startBlockedRead() {
    _reader = std::thread([this] {
      sets = immediate->read(buffer, 1, readStatus, &bytes, 0xFFFFFFFF, kTimerTimeUnitMillisecond);
      _ended = true;
    });
    return within([&] { return nQoSim::syncBlocked(event) != 0; });
  }
  template <class tDone>
  static bool within(tDone done) {
    const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
      if (std::chrono::steady_clock::now() > guard) return false;
      std::this_thread::yield();
    }
    return true;
  }

  // A read ended by a step answers as after a cancel: no set, no byte, no code.
  void expectAnsweredAsACancel() const {
    EXPECT_EQ(sets, 0u);
    EXPECT_EQ(bytes, 0u);
    EXPECT_EQ(readStatus.code, 0);
  }
  // Runs step on the test's thread while the read is blocked: true when the
  // read had left its wait once the step returned. The read is cancelled if
  // it still waits, then joined.
  template <class tStep>
  bool stepEndedTheBlockedRead(tStep step) {
    step();
    const bool left = nQoSim::syncBlocked(event) == 0;
    if (!left) immediate->requestCancel();
    joinRead();
    return left;
  }
  // True when the read returned by itself; one that never does is cancelled
  // once a guard of elapsed time has passed. The read is joined.
  bool readReturned() {
    const bool returned = within([&] { return _ended.load(); });
    if (!returned) immediate->requestCancel();
    joinRead();
    return returned;
  }

  uint32_t sets = 99;
  uint32_t bytes = 99;
  tStatus2 readStatus;

 private:
  void joinRead() {
    _reader.join();
    _ended = false;
  }

  std::thread _reader;
  std::thread _stepper;
  std::atomic<bool> _ended{false};
  std::atomic<bool> _stepped{false};
};

// The read answers as after a cancel: no set, no byte, no code. A read after
// the uncommit is refused: no waiter, no list.
TEST_F(tReadCutOffTest, AnUncommitEndsAReadBlockedInItsWaitBeforeFreeingTheWaiter) {
  ASSERT_TRUE(startBlockedRead());
  ASSERT_TRUE(stepEndsTheRead([&] { immediate->uncommitTransfer(status); }))
      << "the read or the uncommit still waits";
  expectAnsweredAsACancel();
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(immediate->getTransferState(), 2u);
  EXPECT_EQ(eventOperations(), (std::vector<nQoSim::tSyncRecord::tOperation>{
                                   nQoSim::tSyncRecord::kOpen, nQoSim::tSyncRecord::kSet,
                                   nQoSim::tSyncRecord::kWait, nQoSim::tSyncRecord::kSet,
                                   nQoSim::tSyncRecord::kReset, nQoSim::tSyncRecord::kClose}))
      << "the event is set, its wait returns, passes the set on, the step's end is lifted "
         "(which clears the event once the read has left), and only then is it closed";
  tStatus2 after;
  EXPECT_EQ(immediate->read(buffer, 1, after, nullptr, 0, kTimerTimeUnitMillisecond), 0u);
  EXPECT_EQ(after.code, -50150);
}

// The recommitted transfer keeps no cancel of the step: a read on it with
// nothing in the FIFO and no waiting times out, and one with a set reads it
// once a start began a run.
TEST_F(tReadCutOffTest, ACommitEndsAReadBlockedInItsWaitAndLeavesNoCancelBehind) {
  ASSERT_TRUE(startBlockedRead());
  ASSERT_TRUE(stepEndsTheRead([&] { immediate->commitTransfer(status); }))
      << "the read or the commit still waits";
  expectAnsweredAsACancel();
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(immediate->getTransferState(), 3u);
  EXPECT_EQ(immediate->setCount(), 1u);
  EXPECT_EQ(eventOperations().back(), nQoSim::tSyncRecord::kClose);
  tStatus2 timedOut;
  EXPECT_EQ(immediate->read(buffer, 1, timedOut, nullptr, 0, kTimerTimeUnitMillisecond), 0u);
  EXPECT_EQ(timedOut.code, -200474) << "a cancel left behind would end the read with no code";
  immediate->startTransfer(status);
  model.push(0x5A);
  uint32_t read = 0;
  EXPECT_EQ(immediate->read(buffer, 1, status, &read, 0, kTimerTimeUnitMillisecond), 1u);
  EXPECT_EQ(buffer[0], 0x5Au);
  EXPECT_EQ(read, 4u);
  EXPECT_EQ(status.code, 0);
}

// A cancel requested before the step stays with the run: the step takes
// back only its own.
TEST_F(tReadCutOffTest, AStepKeepsACancelRequestedBeforeIt) {
  immediate->requestCancel();
  immediate->commitTransfer(status);
  ASSERT_EQ(status.code, 0);
  tStatus2 cancelled;
  EXPECT_EQ(immediate->read(buffer, 1, cancelled, nullptr, 0, kTimerTimeUnitMillisecond), 0u);
  EXPECT_EQ(cancelled.code, 0) << "the cancel ends the read before its time-out";
}

// The supervisor's end of the reads ends a blocked read and outlasts a start,
// which clears a cancel: a read then ends before its time-out, as after a
// cancel, until the reads are opened again.
TEST_F(tReadCutOffTest, EndedReadsStayEndedThroughAStartUntilOpened) {
  ASSERT_TRUE(startBlockedRead());
  ASSERT_TRUE(stepEndsTheRead([&] { immediate->endReads(); })) << "the read still waits";
  expectAnsweredAsACancel();
  immediate->startTransfer(status);
  tStatus2 ended, opened;
  EXPECT_EQ(immediate->read(buffer, 1, ended, nullptr, 0, kTimerTimeUnitMillisecond), 0u);
  EXPECT_EQ(ended.code, 0) << "the start lifted the end of the reads";
  immediate->openReads();
  EXPECT_EQ(immediate->read(buffer, 1, opened, nullptr, 0, kTimerTimeUnitMillisecond), 0u);
  EXPECT_EQ(opened.code, -200474);
}

TEST_F(tReadCutOffTest, ADestructionEndsAReadBlockedInItsWaitBeforeFreeingTheWaiter) {
  ASSERT_TRUE(startBlockedRead());
  ASSERT_TRUE(stepEndsTheRead([&] { immediate.reset(); }))
      << "the read or the destruction still waits";
  expectAnsweredAsACancel();
  EXPECT_EQ(eventOperations().back(), nQoSim::tSyncRecord::kClose);
}

// A read given with no live run, blocked in its wait: after an arm that no
// start followed, or after a stop. A stop or a disarm ends it as a cancel
// does and returns only once it has left its wait.
TEST_F(tReadCutOffTest, AStopOrDisarmEndsAReadGivenWithNoLiveRun) {
  using tStep = void (tBaseAIImmediateTransferPrimitive::*)(tStatus2&);
  for (const bool started : {false, true})
    for (const tStep step : {&tBaseAIImmediateTransferPrimitive::stopTransfer,
                             &tBaseAIImmediateTransferPrimitive::disarmTransfer}) {
      SCOPED_TRACE(std::string(started ? "after a stop, " : "armed, ") +
                   (step == &tBaseAIImmediateTransferPrimitive::stopTransfer ? "stop" : "disarm"));
      immediate->disarmTransfer(status);
      immediate->armTransfer(status);
      if (started) {
        immediate->startTransfer(status);
        immediate->stopTransfer(status);
      }
      sets = bytes = 99;
      ASSERT_TRUE(startBlockedRead());
      EXPECT_TRUE(stepEndedTheBlockedRead([&] { (immediate.get()->*step)(status); }))
          << "the step returned while the read went on waiting";
      expectAnsweredAsACancel();
      EXPECT_EQ(status.code, 0);
    }
}

// A read given with no live run, blocked in its wait, takes the run that a
// start on the test's thread begins: the start wakes it and it reads the
// run's first word, by the stamp clock that start took.
TEST_F(tReadCutOffTest, AReadGivenWithNoLiveRunTakesTheRunTheNextStartBegins) {
  for (const bool started : {false, true}) {
    SCOPED_TRACE(started ? "after a stop" : "before any start");
    immediate->disarmTransfer(status);
    immediate->armTransfer(status);
    if (started) {
      immediate->startTransfer(status);
      immediate->stopTransfer(status);
    }
    immediate->setStampClock({false, {0, started ? 3 : 2}});
    ASSERT_TRUE(startBlockedRead());
    model.push(0x77);
    immediate->startTransfer(status);
    EXPECT_TRUE(readReturned()) << "the read waited on";
    EXPECT_EQ(sets, 1u) << "the start ended the read";
    EXPECT_EQ(bytes, 4u);
    EXPECT_EQ(buffer[0], 0x77u);
    EXPECT_EQ(readStatus.code, 0);
    uint32_t live = 0, taken = 99;
    immediate->runClock(live);
    const auto clock = immediate->readClock(taken);
    EXPECT_EQ(taken, live);
    EXPECT_FALSE(clock.softwareStamp);
    EXPECT_EQ(clock.interval.integer, started ? 3 : 2);
    EXPECT_EQ(status.code, 0);
  }
}

TEST_F(tImmediateTest, ABlockingWaiterWithoutItsEventFailsTheCommit) {
  immediate->setWaitMode(2);
  channels({1});
  immediate->reserveTransfer(status);
  const int events = nQoSim::liveSyncObjects();
  nQoSim::failSyncOpen(1);
  immediate->commitTransfer(status);
  nQoSim::failSyncOpen(0);
  EXPECT_EQ(status.code, -50352);
  EXPECT_TRUE(loggedAt(-50352, kFile, 760));
  EXPECT_EQ(immediate->getTransferState(), 2u);
  EXPECT_EQ(nQoSim::liveSyncObjects(), events);
  EXPECT_EQ(timing->findSampleEndObserver(immediate.get()), nullptr);
  status.clear();
}

TEST_F(tImmediateTest, ABlockingWaiterWithoutANamedEventRefusesTheWait) {
  immediate->setListenerKey(kKey);
  immediate->setWaitMode(2);
  channels({1});
  run();
  immediate->read(buffer, 1, status, nullptr, 0xFFFFFFFF, kTimerTimeUnitMillisecond);
  EXPECT_EQ(status.code, -50004);
}

TEST_F(tImmediateTest, TheInterfaceAnswersItsIdentityAndDrivesTheTransfer) {
  nQoUdP100::iAIImmediateTransferPrimitive* face = immediate.get();
  EXPECT_EQ(immediate->___CPPKRLDynamicCast(&nQoUdP100::iAIImmediateTransferPrimitive::___classID),
            face);
  EXPECT_EQ(face->___CPPKRLDynamicCast(&tBaseAIImmediateTransferPrimitive::___classID),
            immediate.get());
  EXPECT_EQ(face->___CPPKRLDynamicCast(&nQoUdP100::tBaseAITimingControllerPrimitive::___classID),
            nullptr);
  const nQoUdP100::iAIImmediateTransferPrimitive* constFace = face;
  EXPECT_EQ(constFace->___CPPKRLDynamicCast(&nQoUdP100::iAIImmediateTransferPrimitive::___classID),
            constFace);

  channels({0, 0, 1});
  std::vector<uint32_t> states;
  face->reserveTransfer(status);
  states.push_back(face->getTransferState());
  face->commitTransfer(status);
  states.push_back(face->getTransferState());
  face->armTransfer(status);
  states.push_back(face->getTransferState());
  face->startTransfer(status);
  states.push_back(face->getTransferState());
  EXPECT_EQ(states, (std::vector<uint32_t>{2, 3, 4, 5}));
  model.push({0x71, 0x72, 0x73, 0x74});
  uint32_t bytes = 0;
  EXPECT_EQ(face->read(buffer, 1, status, &bytes, 0, kTimerTimeUnitMillisecond), 1u);
  EXPECT_EQ(std::vector<uint32_t>(buffer, buffer + 4),
            (std::vector<uint32_t>{0x71, 0x72, 0x73, 0}));
  EXPECT_EQ(bytes, 12u);

  nQoSim::tCallLog log;
  nQoSim::tScriptedEvent event(log, "event");
  face->setDoneTarget(&event, status);
  EXPECT_EQ(immediate->getDoneTarget(), &event);
  face->notifyDone(status);
  EXPECT_EQ(log.operations(), "event.post 1 0");
  EXPECT_EQ(status.code, 0);
}

// The queries follow the setters; the client's reply gives the read
// configuration of the run, as the arm took it.
TEST_F(tImmediateTest, ReadOptionQueriesFollowTheSettersAndTheClientsReplyTheArms) {
  immediate->setListenerKey(kKey);
  channels({1});
  run();
  uint32_t request[4] = {static_cast<uint32_t>(kKey), static_cast<uint32_t>(kKey >> 32), 0, 1};
  uint32_t reply[9] = {};
  auto words = [&] {
    uint32_t replySize = 0;
    immediate->listener().handleRequest(request, 16, reply, 36, &replySize, 2, 0, status);
    return std::vector<uint32_t>{reply[0], reply[1], reply[4]};
  };
  auto timeout = [&] {
    words();
    return std::vector<uint32_t>{reply[6], reply[7]};
  };
  auto options = [&] {
    return std::vector<uint32_t>{immediate->isReadOption1On(), immediate->isReadOption2On(),
                                 immediate->isReadOption3On()};
  };
  EXPECT_EQ(options(), (std::vector<uint32_t>{1, 0, 0}));
  EXPECT_EQ(words(), options());
  EXPECT_EQ(timeout(), (std::vector<uint32_t>{0xFFFFFFFF, kTimerTimeUnitMillisecond}));
  immediate->setReadOption1(false);
  immediate->setReadOption2(true);
  immediate->setReadOption3(true);
  immediate->setTimeout(250, kTimerTimeUnitMicrosecond);
  EXPECT_EQ(options(), (std::vector<uint32_t>{0, 1, 1}));
  EXPECT_EQ(words(), (std::vector<uint32_t>{1, 0, 0}));
  EXPECT_EQ(timeout(), (std::vector<uint32_t>{0xFFFFFFFF, kTimerTimeUnitMillisecond}))
      << "a time-out given under the run answered before the next arm";
  immediate->disarmTransfer(status);
  immediate->armTransfer(status);
  EXPECT_EQ(words(), options());
  EXPECT_EQ(timeout(), (std::vector<uint32_t>{250, kTimerTimeUnitMicrosecond}));
  EXPECT_FALSE(immediate->isDiscardingRead());
  immediate->setDiscardingRead(true);
  EXPECT_FALSE(immediate->isDiscardingRead()) << "the run reads as its arm took it";
  immediate->disarmTransfer(status);
  immediate->armTransfer(status);
  EXPECT_TRUE(immediate->isDiscardingRead());
  EXPECT_EQ(status.code, 0);
}

// Options 2 and 3 and a read-count limit of 0 given under the run reach the
// next arm only: the run reads set by set with no count check, then the
// re-armed one drains to the newest set and reports the sets left.
TEST_F(tImmediateTest, ReadOptionsGivenUnderTheRunReachTheNextArm) {
  immediate->setReadOption1(false);
  channels({1});
  run();
  immediate->setReadOption2(true);
  immediate->setReadOption3(true);
  immediate->setReadCountLimit(0);
  model.push({1, 2, 3});
  EXPECT_EQ(immediate->read(buffer, 1, status, nullptr, 0, kTimerTimeUnitMillisecond), 1u);
  EXPECT_EQ(buffer[0], 1u);
  EXPECT_EQ(status.code, 0);
  immediate->disarmTransfer(status);
  immediate->armTransfer(status);
  immediate->startTransfer(status);
  model.push(4);
  tStatus2 counted;
  EXPECT_EQ(immediate->read(buffer, 1, counted, nullptr, 0, kTimerTimeUnitMillisecond), 1u);
  EXPECT_EQ(buffer[0], 4u);
  EXPECT_EQ(model.size(), 0u);
  EXPECT_EQ(counted.code, 0) << "the read inside the limit is exempt";
}

// The run reads by the sets its arm took, each row a deploy of sets of 2 and
// 3: between the reservation and the arm it reaches the run; under the run
// it waits for the next arm, which takes it.
TEST_F(tImmediateTest, TheArmTakesTheSetsAndADeployUnderTheRunWaitsForTheNextArm) {
  using tSets = std::vector<std::vector<uint32_t>>;
  const struct {
    bool underTheRun;
    tSets run, nextRun;
  } rows[] = {{false, {{1, 2}, {3, 4, 5}, {6, 7}}, {{8}, {9}, {10}}},
              {true, {{1}, {2}, {3}}, {{4, 5}, {6, 7, 8}, {9, 10}}}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.underTheRun);
    channels({1});
    immediate->reserveTransfer(status);
    immediate->commitTransfer(status);
    if (!row.underTheRun) channels({0, 1, 0, 0, 1});
    immediate->armTransfer(status);
    immediate->startTransfer(status);
    ASSERT_EQ(status.code, 0);
    if (row.underTheRun) channels({0, 1, 0, 0, 1});
    for (uint32_t sample = 1; sample <= 10; ++sample) model.push(sample);
    const auto readThree = [&] {
      tSets sets;
      for (int read = 0; read < 3; ++read) {
        uint32_t bytes = 0;
        EXPECT_EQ(immediate->read(buffer, 1, status, &bytes, 0, kTimerTimeUnitMillisecond), 1u);
        sets.emplace_back(buffer, buffer + bytes / 4);
      }
      return sets;
    };
    EXPECT_EQ(readThree(), row.run);
    if (!row.underTheRun) channels({1});
    immediate->disarmTransfer(status);
    immediate->armTransfer(status);
    immediate->startTransfer(status);
    EXPECT_EQ(readThree(), row.nextRun);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(model.size(), 0u);
    immediate->disarmTransfer(status);
    immediate->uncommitTransfer(status);
    immediate->unreserveTransfer(status);
  }
}

// An arm whose sets do not fit 32 bits, or whose list cannot get its room, is
// refused: the run before keeps its list and its state, and no listener is
// registered.
TEST_F(tImmediateTest, AnArmWhoseSetsAreRefusedChangesNothing) {
  immediate->setListenerKey(kKey);
  channels({1});
  run();
  immediate->disarmTransfer(status);
  ASSERT_EQ(immediate->getTransferState(), 3u);
  for (const bool outOfMemory : {false, true}) {
    SCOPED_TRACE(outOfMemory);
    if (outOfMemory) {
      channels({1, 1});
      nQoSim::failAllocation(1);
    } else {
      channels({0, 1}, 0x80000002);
    }
    nQoSim::clearStatusLog();
    tStatus2 refused;
    immediate->armTransfer(refused);
    nQoSim::failAllocation(0);
    EXPECT_EQ(refused.code, outOfMemory ? -50352 : -50175);
    EXPECT_TRUE(loggedAt(refused.code, kFile, outOfMemory ? 794 : 796));
    EXPECT_EQ(immediate->setCount(), 1u);
    EXPECT_EQ(immediate->getTransferState(), 3u);
    EXPECT_FALSE(immediate->hasListener());
  }
  channels({1, 1});
  immediate->armTransfer(status);
  EXPECT_EQ(immediate->setCount(), 2u);
  EXPECT_EQ(status.code, 0);
}

// A run that timed out inside a set leaves that set behind: the restarted
// run reads whole sets from its first sample on.
TEST_F(tImmediateTest, ARestartedRunBeginsAtTheFirstSetAfterATimeOutInsideOne) {
  channels({0, 0, 1, 0, 1});  // sets of 3 and 2 samples
  run();
  model.push(0x11);
  uint32_t bytes = 0;
  tStatus2 timedOut;
  EXPECT_EQ(immediate->read(buffer, 1, timedOut, &bytes, 0, kTimerTimeUnitMillisecond), 0u);
  EXPECT_EQ(timedOut.code, -200474);
  EXPECT_EQ(bytes, 4u);
  immediate->stopTransfer(status);
  immediate->startTransfer(status);
  model.push({0x21, 0x22, 0x23, 0x24, 0x25});
  EXPECT_EQ(immediate->read(buffer, 2, status, &bytes, 0, kTimerTimeUnitMillisecond), 2u);
  EXPECT_EQ(std::vector<uint32_t>(buffer, buffer + 6),
            (std::vector<uint32_t>{0x21, 0x22, 0x23, 0x24, 0x25, 0}));
  EXPECT_EQ(bytes, 8u) << "the second set holds two samples";
  EXPECT_EQ(model.size(), 0u);
  EXPECT_EQ(status.code, 0);
}

// Timing mode 1: one sample per set.
class tDiscardingTest : public tImmediateTest {
 protected:
  void SetUp() override {
    tImmediateTest::SetUp();
    nQoUdP100::tAITimingControllerPrimitiveConfig config;
    config.timing.timingMode = 1;
    commitTiming(config);
    immediate->setDiscardingRead(true);
    immediate->setDiscardCounts(2, 0, 1, 0);
    run();
    ASSERT_EQ(immediate->setCount(), 1u);
  }
};

TEST_F(tDiscardingTest, TheFirstReadDiscardsItsLeadingAndTrailingSamples) {
  model.push({1, 2, 3, 4, 5});
  uint32_t bytes = 0;
  EXPECT_EQ(immediate->read(buffer, 1, status, &bytes, 0, kTimerTimeUnitMillisecond), 1u);
  EXPECT_EQ(buffer[0], 3u);
  EXPECT_EQ(buffer[1], 0u);
  EXPECT_EQ(bytes, 4u);
  EXPECT_EQ(model.size(), 1u) << "samples 1 to 4 left the FIFO";
  EXPECT_FALSE(immediate->isFirstRead());
  EXPECT_EQ(immediate->read(buffer, 1, status, &bytes, 0, kTimerTimeUnitMillisecond), 1u);
  EXPECT_EQ(buffer[0], 5u) << "later reads discard nothing";
  EXPECT_EQ(bytes, 4u);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tDiscardingTest, AnEmptyFIFOTimesOutAtTheDiscardingSite) {
  model.push(1);
  uint32_t bytes = 7;
  EXPECT_EQ(immediate->read(buffer, 1, status, &bytes, 0, kTimerTimeUnitMillisecond), 0u);
  EXPECT_EQ(status.code, -200474);
  EXPECT_TRUE(loggedAt(-200474, kFile, 1696));
  EXPECT_FALSE(loggedAt(-200474, kFile, 1546));
  EXPECT_EQ(guidProperty(status.description, 1), kDevice);
  EXPECT_EQ(bytes, 0u) << "a discarded sample counts no byte";
  EXPECT_EQ(model.size(), 0u);
}

// What a discarding read still owes when it times out goes with its task: the
// next task's first read discards its own samples only, and a plain read
// takes the first sample.
TEST_F(tDiscardingTest, DiscardsOwedByATimedOutReadReachNoLaterTask) {
  immediate->setDiscardCounts(2, 1, 1, 1);
  const auto timedOut = [&](uint32_t sample) {
    model.push(sample);
    tStatus2 local;
    EXPECT_EQ(immediate->read(buffer, 1, local, nullptr, 0, kTimerTimeUnitMillisecond), 0u);
    EXPECT_EQ(local.code, -200474);
  };
  const auto newTask = [&] {
    immediate->stopTransfer(status);
    immediate->disarmTransfer(status);
    immediate->uncommitTransfer(status);
    run();
  };
  timedOut(1);
  newTask();
  model.push({1, 2, 3, 4});
  uint32_t bytes = 0;
  EXPECT_EQ(immediate->read(buffer, 1, status, &bytes, 0, kTimerTimeUnitMillisecond), 1u);
  EXPECT_EQ(buffer[0], 3u);
  EXPECT_EQ(model.size(), 0u);

  timedOut(5);
  immediate->setDiscardingRead(false);
  newTask();
  model.push({7, 8});
  EXPECT_EQ(immediate->read(buffer, 1, status, &bytes, 0, kTimerTimeUnitMillisecond), 1u);
  EXPECT_EQ(buffer[0], 7u);
  EXPECT_EQ(bytes, 4u);
  EXPECT_EQ(model.size(), 1u);
  EXPECT_EQ(status.code, 0);
}

// The discards a timed-out read still owed go with its run: the restarted
// run's first read discards its own.
TEST_F(tDiscardingTest, DiscardsOwedByATimedOutReadReachNoRestartedRun) {
  model.push(1);
  tStatus2 timedOut;
  EXPECT_EQ(immediate->read(buffer, 1, timedOut, nullptr, 0, kTimerTimeUnitMillisecond), 0u);
  EXPECT_EQ(timedOut.code, -200474);
  immediate->stopTransfer(status);
  immediate->startTransfer(status);
  model.push({2, 3, 4, 5});
  uint32_t bytes = 0;
  EXPECT_EQ(immediate->read(buffer, 1, status, &bytes, 0, kTimerTimeUnitMillisecond), 1u);
  EXPECT_EQ(buffer[0], 4u) << "two leading discards, the sample, one trailing discard";
  EXPECT_EQ(bytes, 4u);
  EXPECT_EQ(model.size(), 0u);
  EXPECT_EQ(status.code, 0);
}

// A commit begins the first set again and owes no discard of a timed-out
// read: a read after it, before the next start, takes nothing (no run is
// live), and the first read of the next run discards only its own.
TEST_F(tDiscardingTest, ARecommitDropsTheDiscardsATimedOutReadOwed) {
  model.push(1);
  tStatus2 timedOut;
  EXPECT_EQ(immediate->read(buffer, 1, timedOut, nullptr, 0, kTimerTimeUnitMillisecond), 0u);
  EXPECT_EQ(timedOut.code, -200474);
  immediate->stopTransfer(status);
  immediate->commitTransfer(status);
  ASSERT_EQ(status.code, 0);
  model.push({0x31, 0x32, 0x33, 0x34});
  tStatus2 beforeTheStart;
  uint32_t bytes = 7;
  EXPECT_EQ(immediate->read(buffer, 1, beforeTheStart, &bytes, 0, kTimerTimeUnitMillisecond), 0u);
  EXPECT_EQ(beforeTheStart.code, -200474);
  EXPECT_TRUE(loggedAt(-200474, kFile, 1696));
  EXPECT_EQ(bytes, 0u);
  EXPECT_EQ(model.size(), 4u) << "a read with no live run looks at no FIFO";
  immediate->startTransfer(status);
  EXPECT_EQ(immediate->read(buffer, 1, status, &bytes, 0, kTimerTimeUnitMillisecond), 1u);
  EXPECT_EQ(buffer[0], 0x33u) << "two leading discards, the sample, one trailing discard";
  EXPECT_EQ(bytes, 4u);
  EXPECT_EQ(model.size(), 0u);
  EXPECT_EQ(status.code, 0);
}

// Discarding, its counts and the remaining check given under the run reach
// the next arm only: the run reads plain sets and reports no data left; the
// re-armed run discards around its first set and reports the sample left.
TEST_F(tImmediateTest, DiscardsAndTheRemainingCheckGivenUnderTheRunReachTheNextArm) {
  nQoUdP100::tAITimingControllerPrimitiveConfig config;
  config.timing.timingMode = 1;  // one sample per set
  commitTiming(config);
  run();
  immediate->setDiscardingRead(true);
  immediate->setDiscardCounts(2, 0, 1, 0);
  immediate->setRemainingCheckOff(0);
  model.push({1, 2, 3, 4, 5, 6});
  uint32_t bytes = 0;
  EXPECT_EQ(immediate->read(buffer, 1, status, &bytes, 0, kTimerTimeUnitMillisecond), 1u);
  EXPECT_EQ(buffer[0], 1u);
  EXPECT_EQ(bytes, 4u);
  EXPECT_EQ(status.code, 0) << "no remaining check under the run";
  EXPECT_EQ(model.size(), 5u);
  immediate->disarmTransfer(status);
  immediate->armTransfer(status);
  immediate->startTransfer(status);
  tStatus2 checked;
  EXPECT_EQ(immediate->read(buffer, 1, checked, &bytes, 0, kTimerTimeUnitMillisecond), 1u);
  EXPECT_EQ(buffer[0], 4u) << "two leading discards, the sample, one trailing discard";
  EXPECT_EQ(bytes, 4u);
  EXPECT_EQ(model.size(), 1u);
  EXPECT_EQ(checked.code, 80002);
  EXPECT_EQ(wfnsc->dataLeft(), 1u);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tImmediateTest, WithTheRemainingCheckOnEveryReadReportsDataLeft) {
  immediate->setRemainingCheckOff(0);
  channels({1});
  run();
  model.push({1, 2});
  EXPECT_EQ(immediate->read(buffer, 1, status, nullptr, 0, kTimerTimeUnitMillisecond), 1u);
  EXPECT_EQ(status.code, 80002);
  EXPECT_TRUE(loggedAt(80002, kFile, 1613));
  EXPECT_EQ(wfnsc->dataLeft(), 1u);
  nQoSim::clearStatusLog();
  tStatus2 empty;
  EXPECT_EQ(immediate->read(buffer, 1, empty, nullptr, 0, kTimerTimeUnitMillisecond), 1u);
  EXPECT_EQ(empty.code, 0);
  EXPECT_EQ(wfnsc->dataLeft(), 0u);
  EXPECT_TRUE(nQoSim::statusLog().empty());
  status.clear();
}

// The switch-off is the run's: option 3 given again under the run, before
// the read that switches it off, reaches the next arm.
TEST_F(tImmediateTest, Option3AloneSwitchesItselfOffAtTheReadCountLimit) {
  immediate->setRemainingCheckOff(0);
  immediate->setReadOption1(false);
  immediate->setReadOption3(true);
  immediate->setReadCountLimit(2);
  channels({1});
  run();
  model.push({1, 2, 3});
  EXPECT_EQ(immediate->read(buffer, 1, status, nullptr, 0, kTimerTimeUnitMillisecond), 1u);
  EXPECT_EQ(buffer[0], 3u) << "option 3 drains the FIFO and keeps the newest set";
  EXPECT_EQ(buffer[1], 0u);
  EXPECT_EQ(model.size(), 0u);
  immediate->setReadOption3(true);
  model.push({4, 5});
  EXPECT_EQ(immediate->read(buffer, 1, status, nullptr, 0, kTimerTimeUnitMillisecond), 1u);
  EXPECT_TRUE(immediate->isReadOption3On()) << "the read switched off the deployed option";
  model.push({6, 7});
  tStatus2 single;
  EXPECT_EQ(immediate->read(buffer, 1, single, nullptr, 0, kTimerTimeUnitMillisecond), 1u);
  EXPECT_EQ(buffer[0], 6u);
  EXPECT_EQ(single.code, 80002) << "one set read, one left";
  EXPECT_EQ(model.size(), 1u);

  immediate->disarmTransfer(status);
  immediate->armTransfer(status);
  immediate->startTransfer(status);
  model.push({8, 9});
  tStatus2 drained;
  EXPECT_EQ(immediate->read(buffer, 1, drained, nullptr, 0, kTimerTimeUnitMillisecond), 1u);
  EXPECT_EQ(buffer[0], 9u) << "the next arm's run drains with option 3 again";
  EXPECT_EQ(model.size(), 0u);
  EXPECT_EQ(drained.code, 80002) << "the first pass left samples in the FIFO";
  status.clear();
}

// Option 3 reads each further set over the one before it, in the room of one
// set: a one-set block holds the newest set and nothing is written past it. A
// further set larger than that room stays in the FIFO.
TEST_F(tImmediateTest, Option3KeepsTheNewestSetInTheRoomOfOne) {
  immediate->setReadOption1(false);
  immediate->setReadOption3(true);
  channels({1});
  run();
  model.push({0x11, 0x22, 0x33});
  auto block = std::make_unique<uint32_t[]>(1);
  uint32_t bytes = 0;
  EXPECT_EQ(immediate->read(block.get(), 1, status, &bytes, 0, kTimerTimeUnitMillisecond), 1u);
  EXPECT_EQ(bytes, 4u);
  EXPECT_EQ(block[0], 0x33u);
  EXPECT_EQ(model.size(), 0u);
  EXPECT_EQ(status.code, 0);

  immediate->stopTransfer(status);
  immediate->disarmTransfer(status);
  immediate->uncommitTransfer(status);
  channels({1, 0, 1});  // sets of 1 and 2 samples
  run();
  model.push({0x44, 0x55, 0x66});
  EXPECT_EQ(immediate->read(block.get(), 1, status, &bytes, 0, kTimerTimeUnitMillisecond), 1u);
  EXPECT_EQ(bytes, 4u);
  EXPECT_EQ(block[0], 0x44u);
  EXPECT_EQ(model.size(), 2u) << "the set of two does not fit a room of one";
  EXPECT_EQ(status.code, 0);
}

// Sets that take no sample never drain the FIFO: option 3 reads the one set
// and does not repeat.
TEST_F(tImmediateTest, Option3OverEmptySetsReadsOnce) {
  immediate->setReadOption1(false);
  immediate->setReadOption3(true);
  channels({1}, 0);
  run();
  model.push({0x11, 0x22});
  uint32_t bytes = 99;
  EXPECT_EQ(immediate->read(buffer, 1, status, &bytes, 0, kTimerTimeUnitMillisecond), 1u);
  EXPECT_EQ(bytes, 0u);
  EXPECT_EQ(model.size(), 2u);
  EXPECT_EQ(status.code, 0);
}

// Option 3 over sets {1, 0, 2} in the room of one set: the pass over the set
// of no samples writes nothing, so the set before stays in the room and in
// the byte count; the set of two does not fit and stays in the FIFO.
TEST_F(tImmediateTest, Option3KeepsTheSetBeforeASetOfNoSamples) {
  immediate->setReadOption1(false);
  immediate->setReadOption3(true);
  channels({1, 1, 0, 1}, 1, 0b0010);
  run();
  model.push({0x11, 0x22, 0x33});
  auto block = std::make_unique<uint32_t[]>(1);
  uint32_t bytes = 0;
  EXPECT_EQ(immediate->read(block.get(), 1, status, &bytes, 0, kTimerTimeUnitMillisecond), 1u);
  EXPECT_EQ(bytes, 4u);
  EXPECT_EQ(block[0], 0x11u);
  EXPECT_EQ(model.size(), 2u);
  EXPECT_EQ(status.code, 0);
}

}  // namespace
}  // namespace nQoTest
