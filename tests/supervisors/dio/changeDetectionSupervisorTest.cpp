// The change-detection supervisor over the Tavik change-detection primitive
// on a simulated board: the register writes of each step, the interrupt
// side through the bus, request 256, the reservation failures, and the
// primitive's own end.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "frame/tClassRegistration.h"
#include "mrl/iResourceBroker.h"
#include "primitives/dio/tPCITavikChangeDetectionPrimitive.h"
#include "reservation/tSingularResourcePool.h"
#include "sim/simAllocator.h"
#include "sim/simParameterBlock.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "sim/simSync.h"
#include "supervisors/controlRequests.h"
#include "supervisors/dio/tChangeDetectionSupervisor.h"
#include "supervisors/simBoardFixture.h"
#include "support/boardChecks.h"
#include "support/brokerPools.h"
#include "support/changeDetectionDoubles.h"
#include "support/heldCall.h"
#include "support/heldPass.h"
#include "support/statusRecords.h"
#include "support/unorderedCall.h"

namespace nQoTest {
namespace {

using nQoUdR100::tChangeDetectionSupervisor;
using nQoUdR100::tPCITavikChangeDetectionPrimitive;
using tPool = nQoUdR100::tSingularResourcePool<nQoUdR100::tChangeDetectionPrimitive*>;
using tAction = nQoSim::tSimSchedulerAction::tCall;
using D = nQoUdRLP100::tTavikInterruptDispatcher;

constexpr uint32_t kAll = 0xFFFFFFFF;
constexpr uint32_t kReadableKey = 1;
constexpr uint32_t kSchedulerKey = 2;

// The accesses of a log but the writes outside the change-detection
// registers.
tLog changeRegisters(const tLog& log) {
  tLog found;
  for (const tAccess& access : log)
    if (access.direction != W::kWrite || (access.offset >= 0x240 && access.offset <= 0x254))
      found.push_back(access);
  return found;
}

class ChangeDetectionSupervisorTest : public tSimBoardTest {
 protected:
  // The pool's name is allocated before the leak check starts.
  ChangeDetectionSupervisorTest() {
    settings.supervisorRecord().identifier.setDeviceGUID({5, 6});
    settings.supervisorRecord().identifier.setString("ChangeDetection", status);
  }
  void SetUp() override {
    tSimBoardTest::SetUp();
    nQoSim::resetResourceBroker();
    dispatcher = new D(map, 1, &status);
    primitive = new tPCITavikChangeDetectionPrimitive(map, dispatcher, info, latching, 2, status);
    pool.emplace(primitive);
    auto& fields = settings.supervisorRecord();
    fields.firstEdgeMask = 0x0F;
    fields.secondEdgeMask = 0x30;
    fields.bufferSize = 4;
    nQoMRL100::getResourceBroker(status)->registerPool(&fields.identifier, &*pool, status);
    facade.eventObject = &event;
    supervisorMap.entries[kReadableKey] = &readable;
    supervisorMap.entries[kSchedulerKey] = &scheduler;
    readable.readable.pattern = {0xA1, 0xB2, 0xC3, 0xD4};
    ASSERT_EQ(status.code, 0);
  }
  void TearDown() override {
    delete primitive;
    pool.reset();
    delete dispatcher;
    nQoSim::resetResourceBroker();
    tSimBoardTest::TearDown();
  }

  // Up to resources linked (or only initialized and linked) on one status.
  void bringUp(tChangeDetectionSupervisor& supervisor, bool reserve = true) {
    tStatus2 up;
    supervisor.initialize(settings, &facade, up);
    supervisor.link(supervisorMap, up);
    if (reserve) {
      supervisor.reserveResource(up);
      supervisor.linkResource(up);
    }
    ASSERT_EQ(up.code, 0);
    clearLogs();
  }
  void clearLogs() {
    windows.clearLog();
    bus.clearCalls();
    calls.clear();
    log.clear();
    scheduler.action.clear();
    nQoSim::clearStatusLog();
  }
  // The supervisor's stream once the task is committed and started.
  nQoMSRL100::iInputStream* runningStream(tChangeDetectionSupervisor& supervisor) {
    EXPECT_EQ(control(supervisor, 1), 0);
    EXPECT_EQ(control(supervisor, 2), 0);
    tStatus2 s;
    nQoMSRL100::iInputStream* stream = supervisor.getInputStreamPtr(s);
    EXPECT_NE(stream, nullptr);
    return stream;
  }
  int control(tChangeDetectionSupervisor& supervisor, uint32_t code,
              nQoMRL100::iControlParameterBlock* out = nullptr) {
    tStatus2 result;
    supervisor.control(code, nullptr, out, result);
    return result.code;
  }
  // The readers' change event once count reads block on it; null when none
  // does within the guard time.
  const iSync* blockedChangeEvent(unsigned count) {
    std::vector<const iSync*> events;
    for (const nQoSim::tSyncRecord& record : nQoSim::syncLog())
      if (record.operation == nQoSim::tSyncRecord::kOpen && record.kind == 5)
        events.push_back(record.object);
    const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
    while (std::chrono::steady_clock::now() < guard) {
      for (const iSync* event : events)
        if (nQoSim::syncBlocked(event) == count) return event;
      std::this_thread::yield();
    }
    return nullptr;
  }
  // One change interrupt with the two change-status registers reading so.
  uint32_t change(uint32_t first, uint32_t second) {
    windows.setRead(window, 0x240, 32, first);
    windows.setRead(window, 0x244, 32, second);
    return bus.raise(1);
  }
  // The new run's first read takes nothing of the run before (fault says
  // what it took then); the change it captures next is its own. Ends the run.
  void expectTheNewRunReadsOnlyItsOwnChange(tChangeDetectionSupervisor& supervisor,
                                            nQoMSRL100::iInputStream* stream, const char* fault) {
    uint8_t samples[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    tStatus2 read;
    EXPECT_EQ(stream->read(1, 0, samples, nullptr, nullptr, read), 0u);
    EXPECT_EQ(read.code, -200474) << fault;
    EXPECT_EQ(samples[0], 0xEE);
    EXPECT_EQ(change(1, 0), 1u);
    EXPECT_EQ(bus.pumpSecondary(), 1u);
    read.clear();
    EXPECT_EQ(stream->read(1, 0, samples, nullptr, nullptr, read), 1u);
    EXPECT_EQ(read.code, 0);
    EXPECT_EQ(samples[0], 0xA1);
    EXPECT_EQ(control(supervisor, 3), 0);
    EXPECT_EQ(control(supervisor, 4), 0);
  }

  std::vector<std::string> log;
  tLoggedLines portA{"A", &log}, portB{"B", &log};
  nQoUdP100::tImmedDigLatchingPrimitive lineA{&portA}, lineB{&portB};
  nQoUdP100::tImmedDigLatchingPrimitive* latching[2] = {&lineA, &lineB};
  nQoUdP100::tDeviceInfo info;
  D* dispatcher = nullptr;
  tPCITavikChangeDetectionPrimitive* primitive = nullptr;
  std::optional<tPool> pool;
  nQoUdR100::tChangeDetectionSettings settings;
  tCallLog calls;
  tScriptedFacade facade{calls, "facade"};
  tScriptedEvent event{calls, "event"};
  tScriptedSupervisorMap supervisorMap{calls, "map"};
  tScriptedReadableSupervisor readable{calls, &log};
  tScriptedSchedulerSupervisor scheduler{calls, "scheduler"};
};

// A change interrupt under way writes its sample into the capture buffer;
// releasing the buffer waits for that pass to leave before the buffer goes.
TEST_F(ChangeDetectionSupervisorTest, ReleasingTheBufferWaitsForAChangeInterruptUnderWay) {
  settings.supervisorRecord().readableSupervisorKey = kReadableKey;
  tChangeDetectionSupervisor supervisor;
  bringUp(supervisor);
  ASSERT_EQ(control(supervisor, 1), 0);
  ASSERT_EQ(control(supervisor, 2), 0);
  windows.setRead(window, 0x240, 32, 1);
  windows.setRead(window, 0x244, 32, 0);
  {
    tHeldPass held;
    readable.readable.onRead = [&] { held.hold(); };
    held.run([&] { bus.raise(1); });
    held.tearDown([&] {
      tStatus2 released;
      primitive->releaseBuffer(released);
    });
    EXPECT_TRUE(held.teardownWaited());
  }
  readable.readable.onRead = nullptr;
  EXPECT_EQ(control(supervisor, 3), 0);
}

// A cancel comes from the user's thread, also while the task is torn down:
// the release takes the primitive out and waits for a cancel under way to
// leave it before handing it back. A cancel outside the running state, or
// after the release, reaches nothing.
TEST_F(ChangeDetectionSupervisorTest, TheReleaseWaitsForACancelUnderWayOnAnotherThread) {
  settings.supervisorRecord().readableSupervisorKey = kReadableKey;
  tChangeDetectionSupervisor supervisor;
  bringUp(supervisor);
  ASSERT_EQ(control(supervisor, 1), 0);
  tStatus2 s;
  nQoSim::clearSyncLog();
  supervisor.requestCancel(s);
  EXPECT_TRUE(nQoSim::syncLog().empty()) << "committed, not running: no reader is woken";
  ASSERT_EQ(control(supervisor, 2), 0);

  const std::thread::id tearingDown = std::this_thread::get_id();
  {
    tHeldPass held;
    // The cancel is held as it wakes the readers.
    nQoSim::onSyncSet([&](const iSync*, bool set) {
      if (!set && std::this_thread::get_id() != tearingDown) held.hold();
    });
    held.run([&] {
      tStatus2 cancel;
      supervisor.requestCancel(cancel);
    });
    held.tearDown([&] {
      tStatus2 down;
      supervisor.commitCancel(down);
      supervisor.unlinkResource(down);
      supervisor.releaseResource(down);
      EXPECT_EQ(down.code, 0);
    });
    nQoSim::onSyncSet(nullptr);
    EXPECT_TRUE(held.teardownWaited());
  }
  EXPECT_EQ(supervisor.getPrimitive(), nullptr);
  EXPECT_EQ(supervisor.getState(), 2u);
  nQoSim::clearSyncLog();
  supervisor.requestCancel(s);
  EXPECT_TRUE(nQoSim::syncLog().empty());
  EXPECT_EQ(s.code, 0);
}

// A read from the user's thread waiting for a change while the task is torn
// down: the release ends it and waits for it to leave the primitive before
// it hands the primitive back; a read after the release reaches none.
TEST_F(ChangeDetectionSupervisorTest, TheReleaseEndsAReadThatWaitsAndWaitsForIt) {
  tChangeDetectionSupervisor supervisor;
  bringUp(supervisor);
  nQoMSRL100::iInputStream* stream = runningStream(supervisor);
  ASSERT_NE(stream, nullptr);
  uint8_t samples[2] = {};
  uint32_t answered = 0xFFFFFFFF;
  int code = 1;
  std::thread reader([&] {
    tStatus2 read;
    answered = stream->read(1, 10000, samples, nullptr, nullptr, read);
    code = read.code;
  });
  const iSync* blocked = blockedChangeEvent(1);
  EXPECT_NE(blocked, nullptr);
  tStatus2 down;
  supervisor.commitCancel(down);
  supervisor.unlinkResource(down);
  supervisor.releaseResource(down);
  EXPECT_EQ(down.code, 0);
  if (blocked != nullptr) {
    EXPECT_EQ(nQoSim::syncBlocked(blocked), 0u);
  }
  primitive->signalReaders();  // a reader that the release left waiting goes
  reader.join();
  EXPECT_EQ(answered, 0u);
  EXPECT_EQ(code, 0) << "ended by the release, not by its time-out";
  tStatus2 late;
  EXPECT_EQ(stream->read(1, 0, samples, nullptr, nullptr, late), 0u);
  EXPECT_EQ(late.code, -50004);
  EXPECT_TRUE(loggedAt(-50004, "tChangeDetectionSupervisor", 384));
}

// Two reads from the user's threads waiting without a time-out while the
// task is torn down: each set of the change event wakes one reader, and the
// end of the reads wakes both; both answer as a cancel ends them.
TEST_F(ChangeDetectionSupervisorTest, TheTeardownEndsEveryReadThatWaits) {
  tChangeDetectionSupervisor supervisor;
  bringUp(supervisor);
  nQoMSRL100::iInputStream* stream = runningStream(supervisor);
  ASSERT_NE(stream, nullptr);
  struct tRead {
    uint32_t answered = 0xFFFFFFFF;
    int code = 1;
    uint8_t samples[4] = {};
  } reads[2];
  std::vector<std::thread> readers;
  for (tRead& read : reads)
    readers.emplace_back([&read, stream] {
      tStatus2 s;
      read.answered = stream->read(1, 0xFFFFFFFF, read.samples, nullptr, nullptr, s);
      read.code = s.code;
    });
  EXPECT_NE(blockedChangeEvent(2), nullptr);
  std::atomic<bool> tornDown{false};
  std::thread teardown([&] {
    tStatus2 down;
    supervisor.commitCancel(down);
    supervisor.unlinkResource(down);
    supervisor.releaseResource(down);
    EXPECT_EQ(down.code, 0);
    tornDown = true;
  });
  const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
  while (!tornDown && std::chrono::steady_clock::now() < guard) std::this_thread::yield();
  EXPECT_TRUE(tornDown) << "the teardown waits for a read that nothing woke";
  while (!tornDown) primitive->signalReaders();
  teardown.join();
  for (std::thread& reader : readers) reader.join();
  for (const tRead& read : reads) {
    EXPECT_EQ(read.answered, 0u);
    EXPECT_EQ(read.code, 0);
  }
}

// A read from the user's thread that has looked at the marks and is about to
// block when a cancel comes, then at once a start from the cancelling thread,
// before the read's thread has run: the start waits for the read, which
// answers as the cancel ends it (no sample, no code) instead of sleeping on
// into the new run to answer its first change. The set the cancel left wakes
// no read of the new run, whose reads wait for its changes.
TEST_F(ChangeDetectionSupervisorTest, AReadThatACancelReachedEndsWhateverStartFollowsAtOnce) {
  settings.supervisorRecord().readableSupervisorKey = kReadableKey;
  tChangeDetectionSupervisor supervisor;
  bringUp(supervisor);
  nQoMSRL100::iInputStream* stream = runningStream(supervisor);
  ASSERT_NE(stream, nullptr);
  const std::thread::id test = std::this_thread::get_id();
  tHeldCall held;
  nQoSim::onSyncWait([&](const iSync*) {
    if (std::this_thread::get_id() != test) held.hold();
  });
  uint8_t samples[4] = {};
  std::atomic<uint32_t> answered{0xFFFFFFFF};
  std::atomic<int> code{1};
  std::atomic<bool> left{false};
  std::thread reader([&] {
    tStatus2 read;
    answered = stream->read(1, 0xFFFFFFFF, samples, nullptr, nullptr, read);
    code = read.code;
    left = true;
  });
  ASSERT_TRUE(held.waitUntilInside());
  tStatus2 cancel;
  supervisor.requestCancel(cancel);
  EXPECT_EQ(control(supervisor, 2), 0);
  held.letGo();
  nQoSim::onSyncWait(nullptr);
  const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
  while (!left && std::chrono::steady_clock::now() < guard) std::this_thread::yield();
  const bool leftInTime = left;
  // Only once the check has failed: the new run's first change wakes the read.
  if (!leftInTime) {
    change(1, 0);
    bus.pumpSecondary();
  }
  reader.join();
  EXPECT_TRUE(leftInTime) << "the read slept on into the new run";
  EXPECT_EQ(answered, 0u);
  EXPECT_EQ(code, 0) << "ended by the cancel, not by a time-out";
  EXPECT_TRUE(held.expired()) << "the start did not wait for the read";
  EXPECT_EQ(cancel.code, 0);
  EXPECT_EQ(supervisor.getState(), 6u);

  tStatus2 read;
  EXPECT_EQ(stream->read(1, 0, samples, nullptr, nullptr, read), 0u);
  EXPECT_EQ(read.code, -200474) << "a read of the new run took the set of the cancel";
  EXPECT_EQ(change(1, 0), 1u);
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  read.clear();
  EXPECT_EQ(stream->read(1, 0, samples, nullptr, nullptr, read), 1u);
  EXPECT_EQ(read.code, 0);
  EXPECT_EQ(std::vector<uint8_t>(samples, samples + 4),
            (std::vector<uint8_t>{0xA1, 0xB2, 0xC3, 0xD4}));
  EXPECT_EQ(control(supervisor, 3), 0);
  EXPECT_EQ(control(supervisor, 4), 0);
  tStatus2 s;
  supervisor.unlinkResource(s);
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
}

// A second pass of a run still under way when codes 3 and 2 come: the stop
// waits for it, so the wake it gives the readers goes with the new run's
// reset, and the new run's first read waits for a change of its own. The
// pass is held where it wakes the readers, and where it has just taken its
// requests (before it reaches the handler).
TEST_F(ChangeDetectionSupervisorTest, AStopWaitsForTheSecondPassOfItsRun) {
  settings.supervisorRecord().readableSupervisorKey = kReadableKey;
  tChangeDetectionSupervisor supervisor;
  bringUp(supervisor);
  const std::thread::id test = std::this_thread::get_id();
  enum tHoldAt { kWake, kRequestsTaken };
  for (const tHoldAt at : {kWake, kRequestsTaken}) {
    SCOPED_TRACE(at == kWake ? "held at the wake" : "held with its requests taken");
    nQoMSRL100::iInputStream* stream = runningStream(supervisor);
    ASSERT_NE(stream, nullptr);
    ASSERT_EQ(change(1, 0), 1u);
    {
      tHeldPass held;
      const auto passHolds = [&] {
        if (std::this_thread::get_id() != test) held.hold();
      };
      if (at == kWake)
        nQoSim::onSyncSet([&](const iSync*, bool set) {
          if (!set) passHolds();
        });
      else
        bus.onAtomicRun(passHolds);
      held.run([&] { bus.pumpSecondary(); });
      held.tearDown([&] {
        EXPECT_EQ(control(supervisor, 3), 0);
        EXPECT_EQ(control(supervisor, 2), 0);
      });
      nQoSim::onSyncSet(nullptr);
      bus.onAtomicRun(nullptr);
      EXPECT_TRUE(held.teardownWaited());
    }
    expectTheNewRunReadsOnlyItsOwnChange(supervisor, stream,
                                         "the new run's read took the change of the run before");
  }
}

// A read woken by a change of a finite run of one sample, held inside its
// capture when codes 3 and 2 come: the stop waits for it, so its sample is
// its own run's, and the run started next is not done before any change of
// its own (a read of it waits). Then a read blocked in a run that a stop and
// a start overtook takes no change of the new run: the stop ends it.
TEST_F(ChangeDetectionSupervisorTest, AStopWaitsForACaptureUnderWayAndAReadTakesOnlyItsRun) {
  settings.supervisorRecord().readableSupervisorKey = kReadableKey;
  settings.supervisorRecord().finiteFlag = 1;
  settings.supervisorRecord().samplesPerChannel = 1;
  tChangeDetectionSupervisor supervisor;
  bringUp(supervisor);
  const std::thread::id test = std::this_thread::get_id();
  nQoMSRL100::iInputStream* stream = runningStream(supervisor);
  ASSERT_NE(stream, nullptr);
  ASSERT_EQ(change(1, 0), 1u);
  ASSERT_EQ(bus.pumpSecondary(), 1u);
  uint8_t samples[4] = {0xEE, 0xEE, 0xEE, 0xEE};
  std::atomic<uint32_t> answered{0xFFFFFFFF};
  std::atomic<int> code{1};
  {
    tHeldPass held;
    bus.onAtomicRun([&] {
      if (std::this_thread::get_id() != test) held.hold();
    });
    held.run([&] {
      tStatus2 read;
      answered = stream->read(1, 1000, samples, nullptr, nullptr, read);
      code = read.code;
    });
    held.tearDown([&] {
      EXPECT_EQ(control(supervisor, 3), 0);
      EXPECT_EQ(control(supervisor, 2), 0);
    });
    bus.onAtomicRun(nullptr);
    EXPECT_TRUE(held.teardownWaited()) << "the stop did not wait for the capture";
  }
  EXPECT_EQ(answered, 1u);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(samples[0], 0xA1);
  tStatus2 read;
  EXPECT_EQ(stream->read(1, 0, samples, nullptr, nullptr, read), 0u);
  EXPECT_EQ(read.code, -200474) << "the new run counted the sample of the run before";

  uint8_t overtaken[4] = {0xEE, 0xEE, 0xEE, 0xEE};
  std::atomic<bool> left{false};
  std::thread blocked([&] {
    tStatus2 s;
    answered = stream->read(1, 0xFFFFFFFF, overtaken, nullptr, nullptr, s);
    code = s.code;
    left = true;
  });
  ASSERT_NE(blockedChangeEvent(1), nullptr);
  EXPECT_EQ(control(supervisor, 3), 0);
  EXPECT_EQ(control(supervisor, 2), 0);
  EXPECT_EQ(change(1, 0), 1u);
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
  while (!left && std::chrono::steady_clock::now() < guard) std::this_thread::yield();
  if (!left) primitive->abort();
  blocked.join();
  EXPECT_EQ(answered, 0u) << "a read of the run before took a change of the new run";
  EXPECT_EQ(code, 0) << "ended by the stop";
  EXPECT_EQ(std::vector<uint8_t>(overtaken, overtaken + 4),
            (std::vector<uint8_t>{0xEE, 0xEE, 0xEE, 0xEE}));
  EXPECT_EQ(control(supervisor, 3), 0);
  EXPECT_EQ(control(supervisor, 4), 0);
}

// A read from the user's thread blocked with no time-out limit, of a run or
// waiting for one, when a code that ends the reads under way comes: a stop
// (also one with no run), a start under a run, an uncommit, a commit that
// replaces the buffer. The read has left once the code answers, answering
// what it copied; the run started next reads its first change, which no read
// of the step before takes. Without partners no change comes: the stop ends
// the read all the same.
TEST_F(ChangeDetectionSupervisorTest, EveryStepThatEndsTheReadsUnderWayWaitsForThemToLeave) {
  const struct {
    const char* name;
    bool partners;
    std::vector<uint32_t> before, step;
    bool deploysLarger;
  } rows[] = {
      {"3 of a run", true, {1, 2}, {3}, false},
      {"3 with no run", true, {1, 2, 3}, {3}, false},
      {"3 of a run without partners", false, {1, 2}, {3}, false},
      {"2 under a run", true, {1, 2}, {2}, false},
      {"4 of a run", true, {1, 2}, {4}, false},
      {"4 with no run", true, {1}, {4}, false},
      {"1 replacing the buffer of a run", true, {1, 2}, {1}, true},
      {"1 replacing the buffer with no run", true, {1, 2, 3}, {1}, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    settings.supervisorRecord().readableSupervisorKey =
        row.partners ? kReadableKey : tChangeDetectionSupervisor::kNoKey;
    settings.supervisorRecord().bufferSize = 4;
    tChangeDetectionSupervisor supervisor;
    bringUp(supervisor);
    for (uint32_t code : row.before) ASSERT_EQ(control(supervisor, code), 0) << code;
    if (row.deploysLarger) {
      settings.supervisorRecord().bufferSize = 8;
      tStatus2 deployed;
      supervisor.deploy(settings, deployed);
    }
    uint8_t blocked[8] = {0xEE, 0xEE, 0xEE, 0xEE};
    std::atomic<uint32_t> answered{0xFFFFFFFF};
    std::atomic<int> code{1};
    std::thread reader([&] {
      tStatus2 s;
      answered = supervisor.read(1, iSync::kWaitForever, blocked, nullptr, nullptr, s);
      code = s.code;
    });
    const iSync* event = blockedChangeEvent(1);
    EXPECT_NE(event, nullptr);
    for (uint32_t step : row.step) EXPECT_EQ(control(supervisor, step), 0) << step;
    if (event != nullptr) {
      EXPECT_EQ(nQoSim::syncBlocked(event), 0u) << "the step left the read waiting";
    }
    for (const auto& [code, state] : {std::pair{1u, 5u}, std::pair{2u, 6u}}) {
      if (supervisor.getState() < state) {
        EXPECT_EQ(control(supervisor, code), 0);
      }
    }
    if (row.partners) {
      EXPECT_EQ(change(1, 0), 1u);
      EXPECT_EQ(bus.pumpSecondary(), 1u);
      // A read that the step left waiting takes the wake before the new one.
      boundedUntil([&] { return event == nullptr || nQoSim::syncBlocked(event) == 0; });
      uint8_t samples[8] = {};
      tStatus2 read;
      EXPECT_EQ(supervisor.read(1, 0, samples, nullptr, nullptr, read), 1u)
          << "the new run's first change went to a read of the step before";
      EXPECT_EQ(read.code, 0);
      EXPECT_EQ(std::vector<uint8_t>(samples, samples + 4),
                (std::vector<uint8_t>{0xA1, 0xB2, 0xC3, 0xD4}));
    }
    if (event != nullptr && nQoSim::syncBlocked(event) != 0) primitive->abort();
    reader.join();
    EXPECT_EQ(answered, 0u);
    EXPECT_EQ(code, 0) << "ended by the step";
    EXPECT_EQ(blocked[0], 0xEE);
    EXPECT_EQ(control(supervisor, 3), 0);
    EXPECT_EQ(control(supervisor, 4), 0);
    tStatus2 s;
    supervisor.unlinkResource(s);
    supervisor.releaseResource(s);
    EXPECT_EQ(s.code, 0);
  }
}

// A scheduler whose action runs onStarted as a start tells it started, and
// onRelease as a stop releases it.
class tHoldingScheduler : public tScriptedSchedulerSupervisor {
 public:
  using tScriptedSchedulerSupervisor::tScriptedSchedulerSupervisor;
  nQoMAS100::iSchedulerAction* getSchedulerAction(tStatus2& s) override {
    tScriptedSchedulerSupervisor::getSchedulerAction(s);
    return &holding;
  }
  struct tAction : nQoSim::tSimSchedulerAction {
    void started(tStatus2& s) override {
      if (onStarted) onStarted();
      tSimSchedulerAction::started(s);
    }
    void release(tStatus2& s) override {
      if (onRelease) onRelease();
      tSimSchedulerAction::release(s);
    }
    std::function<void()> onStarted;
    std::function<void()> onRelease;
  } holding;
};

// A stop from the user's thread, inside its run as unlinkResource comes:
// unlinkResource disables the lines and takes back the event only once the
// stop has left, so the stop's done report still reaches the event.
TEST_F(ChangeDetectionSupervisorTest, UnlinkResourceResetsOnlyOnceAStopUnderWayHasLeft) {
  tHoldingScheduler holdingScheduler{calls, "scheduler"};
  supervisorMap.entries[kSchedulerKey] = &holdingScheduler;
  settings.supervisorRecord().schedulerActionSupervisorKey = kSchedulerKey;
  tChangeDetectionSupervisor supervisor;
  bringUp(supervisor);
  ASSERT_EQ(control(supervisor, 1), 0);
  ASSERT_EQ(control(supervisor, 2), 0);
  calls.clear();
  bool attachedAsTheStopLeft = false;
  int stopped = 1;
  {
    tHeldPass held;
    holdingScheduler.holding.onRelease = [&] {
      held.hold();
      attachedAsTheStopLeft = dispatcher->primaryHandlers[28] != nullptr;
    };
    held.run([&] { stopped = control(supervisor, 3); });
    held.tearDown([&] {
      tStatus2 down;
      supervisor.unlinkResource(down);
      EXPECT_EQ(down.code, 0);
    });
    EXPECT_TRUE(held.teardownWaited());
  }
  EXPECT_TRUE(attachedAsTheStopLeft) << "the lines were disabled under the stop";
  EXPECT_EQ(stopped, 0);
  EXPECT_EQ(calls.operations(), "event.post 1 0") << "the stop's done report was lost";
  EXPECT_EQ(dispatcher->primaryHandlers[28], nullptr);
  tStatus2 s;
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
}

// A start and a stop on two threads: the start held as it tells the action
// started (its run recorded, the change interrupt not yet on) while the
// stop comes. The stop waits for the start to end, then ends its run: the
// action is released once after it started, the change interrupt is off, and
// the release takes the handler out of a source that is off. A run lock
// that refuses is answered, and the code runs nothing.
TEST_F(ChangeDetectionSupervisorTest, AStopWaitsForAStartUnderWayOnAnotherThread) {
  tHoldingScheduler holdingScheduler{calls, "scheduler"};
  supervisorMap.entries[kSchedulerKey] = &holdingScheduler;
  settings.supervisorRecord().readableSupervisorKey = kReadableKey;
  settings.supervisorRecord().schedulerActionSupervisorKey = kSchedulerKey;
  tChangeDetectionSupervisor supervisor;
  bringUp(supervisor);
  ASSERT_EQ(control(supervisor, 1), 0);
  std::vector<const iSync*> locks;
  for (const nQoSim::tSyncRecord& record : nQoSim::syncLog())
    if (record.operation == nQoSim::tSyncRecord::kOpen && record.kind != 2 && record.kind != 3 &&
        record.kind != 5)
      locks.push_back(record.object);
  const auto blockedOnALock = [&] {
    return std::ranges::any_of(locks, [](const iSync* lock) { return nQoSim::syncBlocked(lock); });
  };
  tHeldCall starting(tHeldCall::kGuard), stopping(tHeldCall::kGuard);
  holdingScheduler.holding.onStarted = [&] { starting.hold(); };
  holdingScheduler.holding.onRelease = [&] { stopping.hold(); };
  std::atomic<int> started{1}, stopped{1};
  std::thread starter([&] { started = control(supervisor, 2); });
  EXPECT_TRUE(starting.waitUntilInside());
  std::atomic<bool> stopInside{false};
  std::thread stopper([&] { stopped = control(supervisor, 3); });
  // The stop either waits for the start or reaches its own point.
  const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
  bool came = false;
  while (!came && std::chrono::steady_clock::now() < guard) {
    stopInside = stopping.inside();
    came = stopInside || blockedOnALock();
    std::this_thread::yield();
  }
  EXPECT_TRUE(came) << "the stop neither waited nor reached the action";
  starting.letGo();
  starter.join();
  stopping.letGo();
  stopper.join();
  holdingScheduler.holding.onStarted = nullptr;
  holdingScheduler.holding.onRelease = nullptr;
  EXPECT_FALSE(stopInside) << "the stop ran under the start";
  EXPECT_FALSE(starting.expired() || stopping.expired());
  EXPECT_EQ(started, 0);
  EXPECT_EQ(stopped, 0);
  EXPECT_EQ(holdingScheduler.holding.calls(),
            (std::vector<tAction>{{tAction::kStarted, 0}, {tAction::kReleased, 0}}));
  EXPECT_FALSE(primitive->isRunning());
  EXPECT_EQ(change(1, 0), 0u) << "the change interrupt is on after the stop";
  holdingScheduler.holding.clear();
  nQoSim::failNextAcquire(-50103);
  EXPECT_EQ(control(supervisor, 2), -50103);
  EXPECT_TRUE(loggedAt(-50103, "tChangeDetectionPrimitive", 145));
  EXPECT_TRUE(holdingScheduler.holding.calls().empty());
  EXPECT_FALSE(primitive->isRunning());
  EXPECT_EQ(supervisor.getState(), 5u);
  tStatus2 s;
  supervisor.unlinkResource(s);
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(sourcesWithoutHandler(windows, window, *dispatcher), "");
}

// A start that comes after unlinkResource's end turns the run on again and
// gives the primitive the task's action; the release stops that run, frees
// the commit's buffer and takes the action back, so the next owner's first
// change runs no action of the old task.
TEST_F(ChangeDetectionSupervisorTest, TheReleaseStopsARunThatAStartAfterUnlinkResourceBegan) {
  settings.supervisorRecord().readableSupervisorKey = kReadableKey;
  settings.supervisorRecord().schedulerActionSupervisorKey = kSchedulerKey;
  tChangeDetectionSupervisor supervisor;
  bringUp(supervisor);
  const int64_t live = nQoSim::liveAllocations();
  ASSERT_EQ(control(supervisor, 1), 0);
  tStatus2 s;
  supervisor.unlinkResource(s);
  EXPECT_EQ(control(supervisor, 2), 0);
  clearLogs();
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(windows.log(), (tLog{kAtomicBegin, wrote(0x24C, kAll, 32), kAtomicEnd}));
  EXPECT_EQ(scheduler.action.calls(), (std::vector<tAction>{{tAction::kReleased, 0}}));
  EXPECT_EQ(nQoSim::liveAllocations(), live);
  EXPECT_EQ(supervisor.getState(), 2u);

  settings.supervisorRecord().readableSupervisorKey = tChangeDetectionSupervisor::kNoKey;
  settings.supervisorRecord().schedulerActionSupervisorKey = tChangeDetectionSupervisor::kNoKey;
  tChangeDetectionSupervisor next;
  bringUp(next);
  change(1, 0);
  EXPECT_EQ(scheduler.action.calls(), (std::vector<tAction>{})) << "the old task's action ran";
  EXPECT_EQ(log, (std::vector<std::string>{}));
  tStatus2 down;
  next.unlinkResource(down);
  next.releaseResource(down);
  supervisor.unlink(down);
  EXPECT_EQ(down.code, 0);
}

TEST_F(ChangeDetectionSupervisorTest, BufferedTaskRunsCapturesAndStops) {
  settings.supervisorRecord().readableSupervisorKey = kReadableKey;
  settings.supervisorRecord().schedulerActionSupervisorKey = kSchedulerKey;
  tChangeDetectionSupervisor supervisor;
  tStatus2 s;
  supervisor.initialize(settings, &facade, s);
  supervisor.link(supervisorMap, s);
  supervisor.reserveResource(s);
  EXPECT_EQ(calls.operations(),
            "facade.getEventObject, map.lookup 1, map.lookup 2, scheduler.getSchedulerAction, "
            "event.registerEvent 1");
  clearLogs();
  supervisor.linkResource(s);
  EXPECT_EQ(changeRegisters(windows.writes()),
            (tLog{wrote(0x240, 0xF, 32), wrote(0x244, 0x30, 32), wrote(0x254, kAll, 32)}));
  EXPECT_EQ(dispatcher->primaryHandlers[28], primitive);
  EXPECT_EQ(dispatcher->secondaryHandlers[28], primitive);
  EXPECT_EQ(supervisor.getState(), 4u);

  const int64_t live = nQoSim::liveAllocations();
  EXPECT_EQ(control(supervisor, 1), 0);
  EXPECT_EQ(nQoSim::liveAllocations(), live + 1);  // both halves in one block
  EXPECT_EQ(supervisor.getState(), 5u);
  clearLogs();
  EXPECT_EQ(control(supervisor, 2), 0);
  EXPECT_EQ(windows.log(), (tLog{wrote(0x250, kAll, 32), wrote(0x254, kAll, 32), kAtomicBegin,
                                 wrote(0x248, 0x3F, 32), kAtomicEnd}));
  EXPECT_EQ(scheduler.action.calls(), (std::vector<tAction>{{tAction::kStarted, 0}}));
  EXPECT_EQ(supervisor.getState(), 6u);

  clearLogs();
  EXPECT_EQ(change(1, 0), 1u);  // served, a secondary pass wanted
  EXPECT_EQ(log, (std::vector<std::string>{"latch A", "latch B", "read 0 4 4294967295"}));
  EXPECT_EQ(scheduler.action.calls(), (std::vector<tAction>{{tAction::kRun, 0, 0}}));
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  uint8_t samples[4] = {};
  clearLogs();
  EXPECT_EQ(supervisor.getInputStreamPtr(s)->read(1, 100, samples, nullptr, nullptr, s), 1u);
  EXPECT_EQ(std::vector<uint8_t>(samples, samples + 4),
            (std::vector<uint8_t>{0xA1, 0xB2, 0xC3, 0xD4}));
  EXPECT_EQ(bus.calls(), (std::vector<tBusCall>{{tBusCall::kAtomic, 0, 0, 0, 0, 0},
                                                {tBusCall::kFlush, 0, 0, 0, 0, 0}}));
  EXPECT_FALSE(primitive->overflow());  // the count read was 1, the one before 0

  clearLogs();
  EXPECT_EQ(control(supervisor, 3), 0);
  EXPECT_EQ(windows.log(), (tLog{kAtomicBegin, wrote(0x24C, kAll, 32), kAtomicEnd}));
  EXPECT_EQ(scheduler.action.calls(), (std::vector<tAction>{{tAction::kReleased, 0}}));
  EXPECT_EQ(calls.operations(), "event.post 1 0");
  EXPECT_EQ(supervisor.getState(), 5u);
  EXPECT_EQ(control(supervisor, 4), 0);
  EXPECT_EQ(nQoSim::liveAllocations(), live);
  EXPECT_EQ(supervisor.getState(), 4u);

  clearLogs();
  supervisor.unlinkResource(s);
  EXPECT_EQ(dispatcher->primaryHandlers[28], nullptr);
  EXPECT_EQ(bus.registrations(), 0);
  EXPECT_EQ(changeRegisters(windows.writes()), (tLog{wrote(0x240, 0, 32), wrote(0x244, 0, 32)}));
  supervisor.releaseResource(s);
  EXPECT_EQ(nQoSim::brokerLog().back().operation, 7);
  EXPECT_EQ(calls.operations(), "event.unregisterEvent 1");
  EXPECT_EQ(supervisor.getState(), 2u);
  supervisor.unlink(s);
  EXPECT_EQ(supervisor.getState(), 1u);
  EXPECT_EQ(s.code, 0);
}

// The capture's bus run answers on a code of its own: a warning the reader's
// status holds stays through every sample, and a failed run is the read's
// error, reported at the capture.
TEST_F(ChangeDetectionSupervisorTest, ACaptureKeepsTheReadersWarningAndReportsAFailedBusRun) {
  settings.supervisorRecord().readableSupervisorKey = kReadableKey;
  tChangeDetectionSupervisor supervisor;
  bringUp(supervisor);
  nQoMSRL100::iInputStream* stream = runningStream(supervisor);
  ASSERT_NE(stream, nullptr);
  tStatus2 read;
  read.setCode(200010, "test", "reader", 1);
  for (uint8_t first : {0x11, 0x22}) {
    SCOPED_TRACE(first);
    readable.readable.pattern = {first, 0x5A, 0x6B, 0x7C};
    EXPECT_EQ(change(1, 0), 1u);
    EXPECT_EQ(bus.pumpSecondary(), 1u);
    uint8_t samples[4] = {};
    EXPECT_EQ(stream->read(1, 100, samples, nullptr, nullptr, read), 1u);
    EXPECT_EQ(std::vector<uint8_t>(samples, samples + 4),
              (std::vector<uint8_t>{first, 0x5A, 0x6B, 0x7C}));
    EXPECT_EQ(read.code, 200010);
  }

  EXPECT_EQ(change(1, 0), 1u);
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  clearLogs();
  bus.failNext(tBusCall::kAtomic, -50103);
  uint8_t samples[4] = {0xEE, 0xEE, 0xEE, 0xEE};
  EXPECT_EQ(stream->read(1, 100, samples, nullptr, nullptr, read), 0u);
  EXPECT_EQ(read.code, -50103);
  EXPECT_TRUE(loggedAt(-50103, "tPCITavikChangeDetectionPrimitive", 165));
  EXPECT_EQ(std::vector<uint8_t>(samples, samples + 4),
            (std::vector<uint8_t>{0xEE, 0xEE, 0xEE, 0xEE}));
  EXPECT_EQ(bus.calls(), (std::vector<tBusCall>{{tBusCall::kFlush, 0, 0, 0, 0, 0}}))
      << "the failed run records nothing; the flush still runs";

  EXPECT_EQ(control(supervisor, 3), 0);
  EXPECT_EQ(control(supervisor, 4), 0);
  tStatus2 down;
  supervisor.unlinkResource(down);
  supervisor.releaseResource(down);
  EXPECT_EQ(down.code, 0);
}

TEST_F(ChangeDetectionSupervisorTest, RequestsAndCodesWithAndWithoutPartners) {
  tChangeDetectionSupervisor supervisor;
  bringUp(supervisor, false);
  EXPECT_EQ(control(supervisor, 1), -50004);
  EXPECT_TRUE(loggedAt(-50004, "tChangeDetectionSupervisor", 384));

  // No readable, no action: start and stop reach no register.
  tStatus2 s;
  supervisor.reserveResource(s);
  supervisor.linkResource(s);
  clearLogs();
  EXPECT_EQ(control(supervisor, 2), 0);
  EXPECT_EQ(supervisor.getState(), 6u);
  EXPECT_EQ(control(supervisor, 3), 0);
  EXPECT_TRUE(windows.log().empty());
  EXPECT_EQ(control(supervisor, 7), -50256);
  EXPECT_TRUE(loggedAt(-50256, "tChangeDetectionSupervisor", 476));
  EXPECT_EQ(control(supervisor, 256), -50004);
  EXPECT_TRUE(loggedAt(-50004, "tParameterBlockValidateHelper", 29));
  supervisor.unlinkResource(s);
  supervisor.releaseResource(s);
  supervisor.unlink(s);

  // Readable lines only: a start without commit captures nothing, the stop
  // has no action to release.
  settings.supervisorRecord().readableSupervisorKey = kReadableKey;
  supervisor.deploy(settings, s);
  supervisor.link(supervisorMap, s);
  supervisor.reserveResource(s);
  supervisor.linkResource(s);
  EXPECT_EQ(control(supervisor, 2), 0);
  clearLogs();
  EXPECT_EQ(change(0, 1), 1u);
  EXPECT_EQ(log, (std::vector<std::string>{"latch A", "latch B"}));
  nQoSim::tByteParameterBlock out(std::vector<uint8_t>(8));
  EXPECT_EQ(control(supervisor, 256, &out), 0);
  EXPECT_EQ(control(supervisor, 256, &out), 0);
  EXPECT_EQ(out.written(), (std::vector<uint32_t>{1, 0}));
  EXPECT_EQ(control(supervisor, 3), 0);
  EXPECT_EQ(control(supervisor, 4), 0);
  EXPECT_EQ(s.code, 0);
  supervisor.unlinkResource(s);
  supervisor.releaseResource(s);
}

// A change status seen before a restart and not yet queried is answered by
// the first query after the start, once.
TEST_F(ChangeDetectionSupervisorTest, AChangeStatusSeenBeforeARestartIsStillQueried) {
  settings.supervisorRecord().readableSupervisorKey = kReadableKey;
  tChangeDetectionSupervisor supervisor;
  bringUp(supervisor);
  ASSERT_EQ(control(supervisor, 1), 0);
  ASSERT_EQ(control(supervisor, 2), 0);
  EXPECT_EQ(change(0, 1), 1u);
  EXPECT_EQ(control(supervisor, 3), 0);
  EXPECT_EQ(control(supervisor, 2), 0);
  nQoSim::tByteParameterBlock out(std::vector<uint8_t>(8));
  EXPECT_EQ(control(supervisor, 256, &out), 0);
  EXPECT_EQ(control(supervisor, 256, &out), 0);
  EXPECT_EQ(out.written(), (std::vector<uint32_t>{1, 0}));
  EXPECT_EQ(control(supervisor, 3), 0);
  EXPECT_EQ(control(supervisor, 4), 0);
  tStatus2 s;
  supervisor.unlinkResource(s);
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
}

TEST_F(ChangeDetectionSupervisorTest, AnUnbufferedTaskOffersNoStreamAndNoDoneEvent) {
  settings.supervisorRecord().unbufferedFlag = 1;
  settings.supervisorRecord().readableSupervisorKey = kReadableKey;
  tChangeDetectionSupervisor supervisor;
  tStatus2 up;
  supervisor.initialize(settings, &facade, up);
  supervisor.link(supervisorMap, up);
  supervisor.reserveResource(up);
  EXPECT_EQ(calls.operations(), "facade.getEventObject, map.lookup 1");  // no done kind
  supervisor.linkResource(up);
  clearLogs();
  EXPECT_EQ(supervisor.getInputStreamPtr(up), nullptr);
  const int64_t live = nQoSim::liveAllocations();
  EXPECT_EQ(control(supervisor, 1), 0);
  EXPECT_EQ(nQoSim::liveAllocations(), live);
  EXPECT_EQ(control(supervisor, 2), 0);
  EXPECT_EQ(change(1, 0), 1u);
  EXPECT_EQ(log, (std::vector<std::string>{"latch A", "latch B"}));
  EXPECT_EQ(control(supervisor, 3), 0);
  tStatus2 s;
  supervisor.unlinkResource(s);
  supervisor.releaseResource(s);
  EXPECT_EQ(calls.operations(), "");  // no done post, no event kind taken back
  EXPECT_EQ(s.code, 0);
}

// A deploy while the lines are linked names the masks of the next link:
// unlinkResource disables the lines that linkResource enabled, so none stays
// enabled for the next task.
TEST_F(ChangeDetectionSupervisorTest, UnlinkResourceDisablesTheLinesThatLinkResourceEnabled) {
  tChangeDetectionSupervisor supervisor;
  bringUp(supervisor);
  settings.supervisorRecord().firstEdgeMask = 0x03;
  settings.supervisorRecord().secondEdgeMask = 0;
  tStatus2 s;
  supervisor.deploy(settings, s);
  supervisor.unlinkResource(s);
  EXPECT_EQ(changeRegisters(windows.writes()), (tLog{wrote(0x240, 0, 32), wrote(0x244, 0, 32)}));
  EXPECT_EQ(map->Write_0240.getRegister(), 0u);
  EXPECT_EQ(map->Write_0244.getRegister(), 0u);
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
}

// unlinkResource and the release undo what linkResource did, by its record.
// Of a reservation never linked they ask for no chip (one without its chip
// answers no -50004), and lines enabled on the primitive by no step of the
// supervisor stay enabled and attached; of one linked they detach and
// disable exactly the lines it enabled, once.
TEST_F(ChangeDetectionSupervisorTest, TheBringDownUndoesOnlyTheLinesThatLinkResourceEnabled) {
  tPCITavikChangeDetectionPrimitive chipless;
  tPool chiplessPool(&chipless);
  nQoUdR100::tChangeDetectionSettings naming = settings;
  offerPool(naming.supervisorRecord().identifier, {5, 6}, "ChangeDetectionChipless", &chiplessPool,
            status);
  ASSERT_EQ(status.code, 0);
  const tLog disabled{wrote(0x240, 0, 32), wrote(0x244, 0, 32)};
  // Runs step, with lines of no step of the supervisor's enabled on the
  // board's primitive: they stay so, with no write.
  const auto leavesOtherLines = [&](const std::function<void()>& step) {
    tStatus2 other;
    primitive->enableLines(0x03, 0x0C, other);
    ASSERT_EQ(other.code, 0);
    clearLogs();
    step();
    EXPECT_EQ(changeRegisters(windows.writes()), tLog{});
    EXPECT_EQ(dispatcher->primaryHandlers[28], primitive) << "detached";
    primitive->disableLines(0x03, 0x0C, other);
    EXPECT_EQ(other.code, 0);
  };
  for (const bool unlinkFirst : {false, true}) {
    SCOPED_TRACE(unlinkFirst ? "unlinkResource, then the release" : "the release");
    for (const auto* named : {&settings, &naming}) {
      SCOPED_TRACE(named == &settings ? "on the board" : "without its chip");
      tChangeDetectionSupervisor supervisor;
      tStatus2 s;
      supervisor.initialize(*named, &facade, s);
      supervisor.link(supervisorMap, s);
      supervisor.reserveResource(s);
      ASSERT_EQ(s.code, 0);
      leavesOtherLines([&] {
        if (unlinkFirst) supervisor.unlinkResource(s);
        supervisor.releaseResource(s);
        EXPECT_TRUE(nQoSim::statusLog().empty());
      });
      EXPECT_EQ(s.code, 0);
      EXPECT_EQ(supervisor.getPrimitive(), nullptr);
    }

    tChangeDetectionSupervisor supervisor;
    bringUp(supervisor);
    ASSERT_EQ(dispatcher->primaryHandlers[28], primitive);
    tStatus2 s;
    if (unlinkFirst) {
      supervisor.unlinkResource(s);
      EXPECT_EQ(changeRegisters(windows.writes()), disabled);
      EXPECT_EQ(dispatcher->primaryHandlers[28], nullptr);
      leavesOtherLines([&] { supervisor.releaseResource(s); });
    } else {
      supervisor.releaseResource(s);
      EXPECT_EQ(changeRegisters(windows.writes()), disabled);
      EXPECT_EQ(dispatcher->primaryHandlers[28], nullptr);
    }
    EXPECT_EQ(s.code, 0);
  }
}

// After a deploy to unbuffered, uncommit frees the buffer that commit took.
TEST_F(ChangeDetectionSupervisorTest, UncommitFreesTheBufferOfTheCommitAfterADeploy) {
  tChangeDetectionSupervisor supervisor;
  bringUp(supervisor);
  EXPECT_EQ(control(supervisor, 1), 0);
  settings.supervisorRecord().unbufferedFlag = 1;
  tStatus2 s;
  supervisor.deploy(settings, s);
  const int64_t live = nQoSim::liveAllocations();  // the buffer and the deployed name
  EXPECT_EQ(control(supervisor, 4), 0);
  EXPECT_EQ(nQoSim::liveAllocations(), live - 1);
  supervisor.unlinkResource(s);
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
}

// A read without a buffer (before the commit, after the uncommit) is refused
// and copies nothing, a change then captures nothing, and a second commit
// frees the buffer of the first. An uncommit under a run stops it first, with
// its done report, so no change is served after it. A stop takes the wake of
// its run with it; a read woken by a change that filled no buffer copies
// nothing of the buffer a commit took after it.
TEST_F(ChangeDetectionSupervisorTest, WithoutABufferAReadIsRefusedAndAChangeCapturesNothing) {
  settings.supervisorRecord().readableSupervisorKey = kReadableKey;
  tChangeDetectionSupervisor supervisor;
  bringUp(supervisor);
  tStatus2 s;
  nQoMSRL100::iInputStream* stream = supervisor.getInputStreamPtr(s);
  ASSERT_NE(stream, nullptr);
  uint8_t samples[4] = {0xEE, 0xEE, 0xEE, 0xEE};
  const auto expectRefusedRead = [&] {
    nQoSim::clearStatusLog();
    tStatus2 read;
    EXPECT_EQ(stream->read(1, 100, samples, nullptr, nullptr, read), 0u);
    EXPECT_EQ(read.code, -50150);
    EXPECT_TRUE(loggedAt(-50150, "tChangeDetectionPrimitive", 276));
    EXPECT_EQ(std::vector<uint8_t>(samples, samples + 4),
              (std::vector<uint8_t>{0xEE, 0xEE, 0xEE, 0xEE}));
  };
  EXPECT_EQ(control(supervisor, 2), 0);  // started without a commit
  EXPECT_EQ(change(1, 0), 1u);
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  expectRefusedRead();
  EXPECT_EQ(control(supervisor, 3), 0);

  const int64_t live = nQoSim::liveAllocations();
  EXPECT_EQ(control(supervisor, 1), 0);
  EXPECT_EQ(control(supervisor, 1), 0);
  EXPECT_EQ(nQoSim::liveAllocations(), live + 1) << "the second commit frees the first buffer";
  EXPECT_EQ(control(supervisor, 2), 0);
  clearLogs();
  EXPECT_EQ(control(supervisor, 4), 0);  // uncommitted while running
  EXPECT_EQ(nQoSim::liveAllocations(), live);
  EXPECT_EQ(windows.log(), (tLog{kAtomicBegin, wrote(0x24C, kAll, 32), kAtomicEnd}));
  EXPECT_EQ(calls.operations(), "event.post 1 0");
  clearLogs();
  EXPECT_EQ(change(1, 0), 0u) << "the change interrupt is off";
  EXPECT_EQ(log, (std::vector<std::string>{}));
  EXPECT_EQ(bus.pumpSecondary(), 0u);
  expectRefusedRead();
  EXPECT_EQ(control(supervisor, 3), 0);
  EXPECT_EQ(calls.operations(), "") << "the run reported done once";

  EXPECT_EQ(control(supervisor, 1), 0);
  EXPECT_EQ(control(supervisor, 2), 0);
  EXPECT_EQ(change(1, 0), 1u);
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  EXPECT_EQ(control(supervisor, 3), 0);
  EXPECT_EQ(control(supervisor, 4), 0);
  EXPECT_EQ(control(supervisor, 1), 0);  // a buffer of the same size that no change filled
  // The stop took the wake of its run with it: the read waits for the next
  // start's run.
  nQoSim::clearStatusLog();
  tStatus2 waited;
  EXPECT_EQ(stream->read(1, 100, samples, nullptr, nullptr, waited), 0u);
  EXPECT_EQ(waited.code, -200474);
  EXPECT_TRUE(loggedAt(-200474, "tChangeDetectionPrimitive", 313));
  EXPECT_EQ(std::vector<uint8_t>(samples, samples + 4),
            (std::vector<uint8_t>{0xEE, 0xEE, 0xEE, 0xEE}));
  // A change of a run with no buffer leaves a wake that a commit under the
  // run finds: its read takes nothing of the buffer it took.
  EXPECT_EQ(control(supervisor, 4), 0);
  EXPECT_EQ(control(supervisor, 2), 0);
  EXPECT_EQ(change(1, 0), 1u);
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  EXPECT_EQ(control(supervisor, 1), 0);
  expectRefusedRead();
  EXPECT_EQ(control(supervisor, 3), 0);
  supervisor.unlinkResource(s);
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
}

// A commit of a running task that asks for the buffer it holds touches
// nothing; one that would replace the buffer the run fills (a deploy of
// another size) stops the run first, with its done report, then takes the
// new buffer.
TEST_F(ChangeDetectionSupervisorTest, ACommitThatWouldReplaceTheBufferOfARunStopsItFirst) {
  settings.supervisorRecord().readableSupervisorKey = kReadableKey;
  settings.supervisorRecord().schedulerActionSupervisorKey = kSchedulerKey;
  tChangeDetectionSupervisor supervisor;
  bringUp(supervisor);
  ASSERT_EQ(control(supervisor, 1), 0);
  ASSERT_EQ(control(supervisor, 2), 0);
  const uint64_t allocations = nQoSim::totalAllocations();
  clearLogs();
  EXPECT_EQ(control(supervisor, 1), 0);
  EXPECT_EQ(nQoSim::totalAllocations(), allocations) << "the buffer held is kept";
  EXPECT_TRUE(windows.log().empty());
  EXPECT_EQ(scheduler.action.calls(), (std::vector<tAction>{}));
  EXPECT_EQ(calls.operations(), "");

  settings.supervisorRecord().bufferSize = 8;
  tStatus2 s;
  supervisor.deploy(settings, s);
  const int64_t live = nQoSim::liveAllocations();
  clearLogs();
  EXPECT_EQ(control(supervisor, 1), 0);
  EXPECT_EQ(windows.log(), (tLog{kAtomicBegin, wrote(0x24C, kAll, 32), kAtomicEnd}));
  EXPECT_EQ(scheduler.action.calls(), (std::vector<tAction>{{tAction::kReleased, 0}}));
  EXPECT_EQ(calls.operations(), "event.post 1 0");
  EXPECT_EQ(nQoSim::liveAllocations(), live) << "one buffer for the other";
  EXPECT_EQ(control(supervisor, 3), 0);
  EXPECT_EQ(calls.operations(), "event.post 1 0") << "the run reported done once";
  supervisor.unlinkResource(s);
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
}

// A primitive destroyed under a run that no stop ended (a board's teardown)
// switches the change interrupt off before its handler leaves the slot,
// also a run that a start began after the lines were disabled, which left
// the interrupt off: its handler had left the slot.
TEST_F(ChangeDetectionSupervisorTest, TheDestructionOfARunningPrimitiveSwitchesItsInterruptOff) {
  for (const bool attached : {true, false}) {
    SCOPED_TRACE(attached);
    auto* running =
        new tPCITavikChangeDetectionPrimitive(map, dispatcher, info, latching, 2, status);
    running->enableLines(0x0F, 0x30, status);
    if (!attached) running->disableLines(0x0F, 0x30, status);
    running->start(status);
    ASSERT_EQ(dispatcher->enabledFlag(nQoUdRLP100::kSource28Enabled), attached ? 1u : 0u);
    clearLogs();
    delete running;
    EXPECT_EQ(dispatcher->enabledFlag(nQoUdRLP100::kSource28Enabled), 0u);
    EXPECT_EQ(changeRegisters(windows.writes()), (tLog{wrote(0x24C, kAll, 32)}));
    EXPECT_EQ(dispatcher->primaryHandlers[28], nullptr);
  }
  EXPECT_EQ(status.code, 0);
}

// A task linked buffered reports done at its stop and takes its event back
// at unlinkResource, also after a deploy to unbuffered: the done kind it
// registered is still there.
TEST_F(ChangeDetectionSupervisorTest, TheDoneReportFollowsTheEventThatLinkResourceGave) {
  tChangeDetectionSupervisor supervisor;
  bringUp(supervisor);
  EXPECT_EQ(control(supervisor, 1), 0);
  settings.supervisorRecord().unbufferedFlag = 1;
  tStatus2 s;
  supervisor.deploy(settings, s);
  EXPECT_EQ(control(supervisor, 2), 0);
  EXPECT_EQ(control(supervisor, 3), 0);
  EXPECT_EQ(calls.operations(), "event.post 1 0");
  EXPECT_EQ(control(supervisor, 4), 0);
  supervisor.unlinkResource(s);
  calls.clear();
  primitive->clearForStart();
  primitive->signalDone(tStatus2{}, s);
  EXPECT_EQ(calls.operations(), "") << "the primitive keeps no event of the task";
  supervisor.releaseResource(s);
  EXPECT_EQ(calls.operations(), "event.unregisterEvent 1");
  EXPECT_EQ(s.code, 0);
}

// A stop from another thread right after linkResource, which nothing but the
// supervisor's own steps orders after the link: with no run (unlinkResource
// stopped it) it reports nothing and changes nothing. The stop of the run
// that a start then begins, from another thread too, reads, under the
// transfer lock, the done target and the report owed that the link gave,
// and reports done to the task's event once. So does the next run's stop.
TEST_F(ChangeDetectionSupervisorTest, AStopOnAnotherThreadAfterALinkReportsOnlyARunToItsTarget) {
  tChangeDetectionSupervisor supervisor;
  bringUp(supervisor);
  ASSERT_EQ(control(supervisor, 1), 0);
  ASSERT_EQ(control(supervisor, 2), 0);
  tStatus2 s, stopped;
  supervisor.unlinkResource(s);
  calls.clear();
  {
    tUnorderedCall call([&] { supervisor.control(3, nullptr, nullptr, stopped); });
    supervisor.linkResource(s);
    ASSERT_TRUE(call.run());
  }
  EXPECT_EQ(stopped.code, 0);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(calls.operations(), "") << "a stop with no run reported done";
  EXPECT_EQ(supervisor.getState(), 4u);
  ASSERT_EQ(control(supervisor, 2), 0);
  {
    tUnorderedCall call([&] { supervisor.control(3, nullptr, nullptr, stopped); });
    ASSERT_TRUE(call.run());
  }
  EXPECT_EQ(stopped.code, 0);
  EXPECT_EQ(calls.operations(), "event.post 1 0");
  EXPECT_EQ(supervisor.getState(), 5u);
  calls.clear();
  EXPECT_EQ(control(supervisor, 2), 0);
  EXPECT_EQ(control(supervisor, 3), 0);
  EXPECT_EQ(calls.operations(), "event.post 1 0");
  EXPECT_EQ(control(supervisor, 4), 0);
  supervisor.unlinkResource(s);
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
}

// Without readable lines or a scheduler action, every start still begins a
// run afresh: each stop reports done once.
TEST_F(ChangeDetectionSupervisorTest, EveryStopOfABufferedTaskWithoutPartnersReportsDoneOnce) {
  tChangeDetectionSupervisor supervisor;
  bringUp(supervisor);
  EXPECT_EQ(control(supervisor, 1), 0);
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    calls.clear();
    EXPECT_EQ(control(supervisor, 2), 0);
    EXPECT_EQ(control(supervisor, 3), 0);
    EXPECT_EQ(calls.operations(), "event.post 1 0");
  }
  EXPECT_TRUE(windows.log().empty()) << "no register: start and stop reach no hardware";
  EXPECT_EQ(control(supervisor, 4), 0);
  tStatus2 s;
  supervisor.unlinkResource(s);
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
}

// A stop whose bus run fails still releases the action and reports done,
// once: the stop answers the bus's code, and a second stop owes nothing.
TEST_F(ChangeDetectionSupervisorTest, AStopWhoseBusRunFailsStillReportsDoneOnce) {
  settings.supervisorRecord().schedulerActionSupervisorKey = kSchedulerKey;
  tChangeDetectionSupervisor supervisor;
  bringUp(supervisor);
  ASSERT_EQ(control(supervisor, 1), 0);
  ASSERT_EQ(control(supervisor, 2), 0);
  clearLogs();
  bus.failNext(tBusCall::kAtomic, -50103);
  EXPECT_EQ(control(supervisor, 3), -50103);
  EXPECT_EQ(scheduler.action.calls(), (std::vector<tAction>{{tAction::kReleased, 0}}));
  EXPECT_EQ(calls.operations(), "event.post 1 0");
  EXPECT_EQ(supervisor.getState(), 5u);
  EXPECT_EQ(control(supervisor, 3), 0);
  EXPECT_EQ(calls.operations(), "event.post 1 0") << "the report of that run is made";
  ASSERT_EQ(control(supervisor, 2), 0);
  calls.clear();
  EXPECT_EQ(control(supervisor, 3), 0);
  EXPECT_EQ(calls.operations(), "event.post 1 0");
  EXPECT_EQ(control(supervisor, 4), 0);
  tStatus2 s;
  supervisor.unlinkResource(s);
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
}

// A stop whose bus run failed leaves the second pass of its run's change
// pending: run after the next start, it wakes no read of the new run, which
// waits for a change of its own.
TEST_F(ChangeDetectionSupervisorTest, ASecondPassThatAFailedStopLeftWakesNoReadOfTheNextRun) {
  settings.supervisorRecord().readableSupervisorKey = kReadableKey;
  tChangeDetectionSupervisor supervisor;
  bringUp(supervisor);
  nQoMSRL100::iInputStream* stream = runningStream(supervisor);
  ASSERT_NE(stream, nullptr);
  ASSERT_EQ(change(1, 0), 1u);
  bus.failNext(tBusCall::kAtomic, -50103);
  EXPECT_EQ(control(supervisor, 3), -50103);
  ASSERT_EQ(dispatcher->secondaryRequest(28), 1u);
  EXPECT_EQ(control(supervisor, 2), 0);
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  expectTheNewRunReadsOnlyItsOwnChange(supervisor, stream,
                                       "the pass of the run before woke a read of the new run");
  tStatus2 s;
  supervisor.unlinkResource(s);
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
}

TEST_F(ChangeDetectionSupervisorTest, ReservationFailuresHandBackOnlyWhatWasGranted) {
  struct tCase {
    const char* name;
    bool answers;
    bool foreign;
    unsigned line;
    std::vector<int> broker;
  };
  tPool empty(nullptr);
  nQoUdR100::tSingularResourcePool<void*> foreign(nullptr);
  for (const tCase& row : {tCase{"foreign pool", true, true, 205, {6, 7}},
                           tCase{"pool without primitive", true, false, 192, {6, 7}},
                           tCase{"no answer", false, false, 205, {6}}}) {
    SCOPED_TRACE(row.name);
    tChangeDetectionSupervisor supervisor;
    bringUp(supervisor, false);
    nQoSim::resetResourceBroker();
    nQoMRL100::iLeafResourcePool* answer = nullptr;
    if (row.answers)
      answer = row.foreign ? static_cast<nQoMRL100::iLeafResourcePool*>(&foreign)
                           : static_cast<nQoMRL100::iLeafResourcePool*>(&empty);
    nQoSim::scriptBrokerReserve(answer);
    tStatus2 s;
    supervisor.reserveResource(s);
    EXPECT_EQ(s.code, -224629);
    EXPECT_TRUE(loggedAt(-224629, "tChangeDetectionSupervisor", row.line));
    EXPECT_EQ(brokerOperations(), row.broker);
    EXPECT_EQ(supervisor.getPrimitive(), nullptr);
    EXPECT_EQ(supervisor.getState(), 2u);
  }
}

TEST_F(ChangeDetectionSupervisorTest,
       APrimitiveGoesWithItsHandlersAndARegistryMadeOneTouchesNothing) {
  {
    tPCITavikChangeDetectionPrimitive attached(map, dispatcher, info, latching, 2, status);
    attached.enableLines(0x1, 0x2, status);
    attached.start(status);
    ASSERT_EQ(status.code, 0);
    EXPECT_EQ(dispatcher->primaryHandlers[28], &attached);
    clearLogs();
  }
  EXPECT_EQ(dispatcher->primaryHandlers[28], nullptr);
  EXPECT_EQ(dispatcher->secondaryHandlers[28], nullptr);
  EXPECT_EQ(bus.registrations(), 0);
  EXPECT_EQ(changeRegisters(windows.writes()), (tLog{wrote(0x24C, kAll, 32)}));

  int code = 0;
  using tRegistration = nQoUdR100::tClassRegistration<tPCITavikChangeDetectionPrimitive>;
  nQoORB100::tObject* made = tRegistration::factory(code);
  ASSERT_NE(made, nullptr);
  auto* bare = static_cast<tPCITavikChangeDetectionPrimitive*>(
      made->___CPPKRLDynamicCast(&tPCITavikChangeDetectionPrimitive::___classID));
  ASSERT_NE(bare, nullptr);
  clearLogs();
  tStatus2 s;
  bare->start(s);
  EXPECT_EQ(s.code, -50004);
  s.clear();
  bare->enableLines(1, 1, s);
  EXPECT_EQ(s.code, -50004);
  EXPECT_TRUE(windows.log().empty());
  EXPECT_FALSE(bare->isRunning());
  tRegistration::destroy(made, code);
  EXPECT_EQ(code, 0);
}

// The correlated input DMA transfer that the changes clock: found in the map
// at link, handed to the primitive at linkResource, taken back at
// unlinkResource; a partner of another class is refused.
class tCDIDMAPartner : public tScriptedSupervisor, public nQoUdR100::iCDI_DMATransferSupervisor {
 public:
  using tScriptedSupervisor::tScriptedSupervisor;
  void* ___CPPKRLDynamicCast(void* const* id) override {
    if (id == &iCDI_DMATransferSupervisor::___classID)
      return static_cast<iCDI_DMATransferSupervisor*>(this);
    return tScriptedSupervisor::___CPPKRLDynamicCast(id);
  }
  const void* ___CPPKRLDynamicCast(void* const* id) const override {
    return const_cast<tCDIDMAPartner*>(this)->___CPPKRLDynamicCast(id);
  }
  nQoUdP100::tBaseCDI_DMATransferPrimitive* getPrimitive() const override { return transfer; }
  nQoUdP100::tBaseCDI_DMATransferPrimitive* transfer = nullptr;
};

TEST_F(ChangeDetectionSupervisorTest, CorrelatedDMATransferIsLinkedToThePrimitive) {
  constexpr uint32_t kDMAKey = 3;
  tStatus2 built;
  nQoUdP100::tBaseCDI_DMATransferPrimitive transfer(nullptr, nullptr, nullptr, built);
  tCDIDMAPartner partner{calls, "dma"};
  partner.transfer = &transfer;
  supervisorMap.entries[kDMAKey] = &partner;
  settings.supervisorRecord().cdiDMATransferSupervisorKey = kDMAKey;
  tChangeDetectionSupervisor supervisor;
  bringUp(supervisor);
  EXPECT_EQ(primitive->correlatedTransfer(), &transfer);
  tStatus2 down;
  supervisor.unlinkResource(down);
  EXPECT_EQ(primitive->correlatedTransfer(), nullptr);
  supervisor.releaseResource(down);
  supervisor.unlink(down);
  EXPECT_EQ(down.code, 0);

  // The key names the readable supervisor: -89000, nothing linked.
  supervisorMap.entries[kDMAKey] = &readable;
  tStatus2 wrong;
  supervisor.link(supervisorMap, wrong);
  EXPECT_EQ(wrong.code, -89000);
  EXPECT_EQ(supervisor.getState(), 1u);
  EXPECT_TRUE(loggedAt(-89000, "tChangeDetectionSupervisor", 147));
}

// Deploys while the primitive is held name other pools for the next
// reservation only; the release hands back the one held.
TEST_F(ChangeDetectionSupervisorTest, TheReleaseHandsBackThePoolItWasGranted) {
  tPool poolB(primitive), poolC(primitive);
  nQoUdR100::tChangeDetectionSettings namingB = settings, namingC = settings;
  offerPool(namingB.supervisorRecord().identifier, {5, 6}, "ChangeDetection2", &poolB, status);
  offerPool(namingC.supervisorRecord().identifier, {5, 6}, "ChangeDetection3", &poolC, status);
  ASSERT_EQ(status.code, 0);
  tChangeDetectionSupervisor supervisor;
  expectOnlyTheGrantHandedBack(supervisor, settings, namingB, namingC,
                               settings.supervisorRecord().identifier,
                               namingB.supervisorRecord().identifier,
                               namingC.supervisorRecord().identifier, &facade, supervisorMap);
}

}  // namespace
}  // namespace nQoTest
