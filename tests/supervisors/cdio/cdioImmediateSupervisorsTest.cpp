// The correlated immediate transfer supervisors over the real primitives:
// time stamps and periods of reads, time-out modes, the two-step codes and
// their sites, requests before a primitive is held, and a release under a
// cancel, read or write on another thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <thread>
#include <vector>

#include "reservation/tSingularResourcePool.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "sim/simStreamAttributes.h"
#include "sim/simTime.h"
#include "supervisors/cdio/cdioImmediateSupervisors.h"
#include "supervisors/cdioBoard.h"
#include "support/brokerPools.h"
#include "support/heldCall.h"
#include "support/heldCancel.h"
#include "support/heldPass.h"
#include "support/reservationDoubles.h"
#include "support/statusRecords.h"
#include "support/stressRounds.h"
#include "support/unorderedCall.h"

namespace nQoTest {
namespace {

using namespace nQoUdR100;
using nQoMDBG100::tStatus2;
using nQoSim::tSimStreamAttributes;
using nQoUdP100::tImmediateTimeout;

constexpr uint64_t kHalf = 0x8000000000000000ull;

class CDIOImmediateSupervisorsTest : public ::testing::Test, public tCDIOBoard<1> {
 protected:
  void SetUp() override {
    nQoSim::resetResourceBroker();
    nQoSim::clearStatusLog();
    ASSERT_EQ(status.code, 0);
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    nQoSim::resetTime();
  }

  // initialize, reserveResource and linkResource over the pool.
  template <class Supervisor, class Settings, class Pool>
  void bringUp(Supervisor& supervisor, Settings& settings, Pool& pool) {
    tStatus2 s;
    offerPool(settings.template record<0>().identifier, identity, "Immediate", &pool, s);
    facade.eventObject = &event;
    supervisor.initialize(settings, &facade, s);
    supervisor.reserveResource(s);
    supervisor.linkResource(s);
    ASSERT_EQ(s.code, 0);
    ASSERT_EQ(supervisor.getLifecycle(), 4u);
  }
  template <class Dir, class tCall>
  void expectTheReleaseEndsACallAfterAStart(typename Dir::tPrimitive& transfer,
                                            typename Dir::tSettings& settings, tCall call);
  tCallLog calls;
  tScriptedFacade facade{calls, "facade"};
  tScriptedEvent event{calls, "event"};
};

TEST_F(CDIOImmediateSupervisorsTest, ReadsReportStampAndPeriodAndMoveTheStampOn) {
  nQoUdP100::tBaseCDIImmediateTransferPrimitive transfer(&deviceInfo, &description, &cdiFIFO,
                                                         &identity, status);
  tCDIImmediateTransferSettings settings;
  settings.record<0>().transferMode = 0;
  settings.record<0>().samplePeriod.integer = 1;
  settings.record<0>().samplePeriod.fraction = kHalf;
  tBaseCDIImmediateTransferSupervisor supervisor;

  // Before the reservation a read reads nothing.
  uint8_t buffer[100] = {};
  tStatus2 early;
  EXPECT_EQ(supervisor.read(1, 0, buffer, nullptr, nullptr, early), 0u);
  EXPECT_EQ(early.code, -50004);

  tSingularResourcePool<nQoUdP100::tBaseCDIImmediateTransferPrimitive*> pool(&transfer);
  bringUp(supervisor, settings, pool);
  nQoSim::useTestClock(7'000'000'000);  // 7 s
  tStatus2 s;
  for (uint32_t code : {1u, 2u}) supervisor.control(code, nullptr, nullptr, s);
  ASSERT_EQ(s.code, 0);
  EXPECT_EQ(supervisor.getLifecycle(), 6u);

  tSimStreamAttributes attributes;
  fifos.pushInput(std::vector<uint32_t>(150, 1));
  EXPECT_EQ(supervisor.read(100, 0xFFFFFFFF, buffer, nullptr, &attributes, s), 100u);
  EXPECT_EQ(transfer.timeoutMode(), tImmediateTimeout::kNoLimit);
  EXPECT_EQ(supervisor.read(50, 250, buffer, nullptr, &attributes, s), 50u);
  EXPECT_EQ(transfer.timeoutMode(), tImmediateTimeout::kBounded);
  const tPALTime128 period{kHalf, 1};
  EXPECT_EQ(attributes.log,
            (std::vector<tSimStreamAttributes::tCall>{{tSimStreamAttributes::kStamp, {0, 7}},
                                                      {tSimStreamAttributes::kInterval, period},
                                                      {tSimStreamAttributes::kStamp, {0, 157}},
                                                      {tSimStreamAttributes::kInterval, period}}));
  EXPECT_EQ(supervisor.getLinks().nextStamp().words(), (tPALTime128{0, 7 + 225}));

  // A read of nothing reports nothing and leaves the stamp.
  attributes.log.clear();
  tStatus2 none;
  EXPECT_EQ(supervisor.read(1, 0, buffer, nullptr, &attributes, none), 0u);
  EXPECT_EQ(transfer.timeoutMode(), tImmediateTimeout::kZero);
  EXPECT_TRUE(attributes.log.empty());
  EXPECT_EQ(supervisor.getLinks().nextStamp().words(), (tPALTime128{0, 232}));

  // A start under the run keeps the run, and with it the stamp.
  nQoSim::advanceClock(300'000'000'000);
  supervisor.control(2, nullptr, nullptr, s);
  EXPECT_EQ(supervisor.getLinks().nextStamp().words(), (tPALTime128{0, 232}));

  tStatus2 available;
  EXPECT_EQ(supervisor.readAvailable(1, buffer, available), 0u);
  EXPECT_EQ(available.code, -200455);
  EXPECT_TRUE(loggedAt(-200455, "tBaseCDIImmediateTransferSupervisor", 376));
  tStatus2 refused;
  supervisor.control(4100, nullptr, nullptr, refused);
  EXPECT_EQ(refused.code, -50256);
  EXPECT_TRUE(loggedAt(-50256, "tBaseCDIImmediateTransferSupervisor", 297));

  supervisor.commitCancel(s);
  EXPECT_EQ(supervisor.getLifecycle(), 4u);
  EXPECT_EQ(transfer.state(), nQoUdP100::tCDIOImmediateTransfer::kBuilt);
  supervisor.unlinkResource(s);
  supervisor.releaseResource(s);
}

// A period deployed under a running stream reaches only the next run: the
// run clocked each second goes on stamping its samples a second apart, with
// that interval; a stop and a start begin a run of the new period.
TEST_F(CDIOImmediateSupervisorsTest, APeriodDeployedUnderARunReachesOnlyTheNextRun) {
  nQoUdP100::tBaseCDIImmediateTransferPrimitive transfer(&deviceInfo, &description, &cdiFIFO,
                                                         &identity, status);
  tCDIImmediateTransferSettings settings;
  settings.record<0>().transferMode = 0;
  settings.record<0>().samplePeriod.integer = 1;
  tSingularResourcePool<nQoUdP100::tBaseCDIImmediateTransferPrimitive*> pool(&transfer);
  tBaseCDIImmediateTransferSupervisor supervisor;
  bringUp(supervisor, settings, pool);
  nQoSim::useTestClock(7'000'000'000);  // 7 s
  tStatus2 s;
  for (uint32_t code : {1u, 2u}) supervisor.control(code, nullptr, nullptr, s);
  settings.record<0>().samplePeriod.integer = 3;
  supervisor.deploy(settings, s);
  ASSERT_EQ(s.code, 0);

  tSimStreamAttributes attributes;
  uint8_t buffer[8] = {};
  fifos.pushInput(std::vector<uint32_t>(4, 1));
  EXPECT_EQ(supervisor.read(2, 0, buffer, nullptr, &attributes, s), 2u);
  EXPECT_EQ(supervisor.read(2, 0, buffer, nullptr, &attributes, s), 2u);
  const tPALTime128 second{0, 1}, seconds{0, 3};
  using tCall = tSimStreamAttributes::tCall;
  EXPECT_EQ(attributes.log, (std::vector<tCall>{{tSimStreamAttributes::kStamp, {0, 7}},
                                                {tSimStreamAttributes::kInterval, second},
                                                {tSimStreamAttributes::kStamp, {0, 9}},
                                                {tSimStreamAttributes::kInterval, second}}))
      << "the run's samples were stamped by a period deployed under it";
  EXPECT_EQ(supervisor.getLinks().nextStamp().words(), (tPALTime128{0, 11}));

  nQoSim::advanceClock(13'000'000'000);  // 20 s
  for (uint32_t code : {3u, 2u}) supervisor.control(code, nullptr, nullptr, s);
  ASSERT_EQ(s.code, 0);
  attributes.log.clear();
  fifos.pushInput(std::vector<uint32_t>(2, 1));
  EXPECT_EQ(supervisor.read(2, 0, buffer, nullptr, &attributes, s), 2u);
  EXPECT_EQ(attributes.log, (std::vector<tCall>{{tSimStreamAttributes::kStamp, {0, 20}},
                                                {tSimStreamAttributes::kInterval, seconds}}));
  EXPECT_EQ(supervisor.getLinks().nextStamp().words(), (tPALTime128{0, 26}));
  EXPECT_EQ(s.code, 0);
  supervisor.commitCancel(s);
  supervisor.unlinkResource(s);
  supervisor.releaseResource(s);
}

// Holds the thread that tells it of a run's done (the read that took the
// run's last sample) until the test lets it go.
class tHeldDone : public nQoUdP100::iDoneObserver {
 public:
  explicit tHeldDone(tHeldCall& held) : _held(held) {}
  void notifyDone(const tStatus2&) override { _held.hold(); }
  void notifyDoneWithStatus(const tStatus2& status, tStatus2&) override { notifyDone(status); }

 private:
  tHeldCall& _held;
};

// A finite run's last read, held on its thread as it reports the run's done,
// while the test thread stops the stream and starts a run of the period
// deployed since: the read's samples are stamped by the clock of their own
// run (its start's time, its period), and the new run's first read starts at
// the new run's start, a period apart by its own.
TEST_F(CDIOImmediateSupervisorsTest, AReadIsStampedByItsOwnRunsClockWhateverAStartBeganSince) {
  nQoUdP100::tBaseCDIImmediateTransferPrimitive transfer(&deviceInfo, &description, &cdiFIFO,
                                                         &identity, status);
  tCDIImmediateTransferSettings settings;
  settings.record<0>().transferMode = 1;
  settings.record<0>().transferWord2 = 2;
  settings.record<0>().samplePeriod.integer = 1;
  tSingularResourcePool<nQoUdP100::tBaseCDIImmediateTransferPrimitive*> pool(&transfer);
  tBaseCDIImmediateTransferSupervisor supervisor;
  bringUp(supervisor, settings, pool);
  tHeldCall held(tHeldCall::kGuard);
  tHeldDone heldDone(held);
  transfer.setDoneObserver(&heldDone);
  nQoSim::useTestClock(7'000'000'000);  // 7 s
  tStatus2 s;
  for (uint32_t code : {1u, 2u}) supervisor.control(code, nullptr, nullptr, s);
  settings.record<0>().samplePeriod.integer = 3;
  supervisor.deploy(settings, s);
  ASSERT_EQ(s.code, 0);

  tSimStreamAttributes attributes;
  uint8_t buffer[8] = {};
  fifos.pushInput({1, 2});
  uint32_t read = 0;
  tStatus2 reading;
  std::thread reader([&] { read = supervisor.read(2, 0, buffer, nullptr, &attributes, reading); });
  EXPECT_TRUE(held.waitUntilInside()) << "the read never reported its run's done";
  nQoSim::advanceClock(13'000'000'000);  // 20 s
  for (uint32_t code : {3u, 2u}) supervisor.control(code, nullptr, nullptr, s);
  held.letGo();
  reader.join();
  ASSERT_EQ(s.code, 0);
  EXPECT_EQ(read, 2u);
  EXPECT_EQ(reading.code, 0);
  using tCall = tSimStreamAttributes::tCall;
  const tPALTime128 second{0, 1}, seconds{0, 3};
  EXPECT_EQ(attributes.log, (std::vector<tCall>{{tSimStreamAttributes::kStamp, {0, 7}},
                                                {tSimStreamAttributes::kInterval, second}}))
      << "the read's samples were stamped by the clock of the run begun after them";
  EXPECT_EQ(supervisor.getLinks().nextStamp().words(), (tPALTime128{0, 9}));

  attributes.log.clear();
  fifos.pushInput({3, 4});
  EXPECT_EQ(supervisor.read(2, 0, buffer, nullptr, &attributes, s), 2u);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(attributes.log, (std::vector<tCall>{{tSimStreamAttributes::kStamp, {0, 20}},
                                                {tSimStreamAttributes::kInterval, seconds}}));
  EXPECT_EQ(supervisor.getLinks().nextStamp().words(), (tPALTime128{0, 26}));
  supervisor.commitCancel(s);
  supervisor.unlinkResource(s);
  supervisor.releaseResource(s);
}

// The input transfer with its cancel request in view.
class tCancelSeen : public nQoUdP100::tBaseCDIImmediateTransferPrimitive {
 public:
  using tBaseCDIImmediateTransferPrimitive::cancelled;
  using tBaseCDIImmediateTransferPrimitive::tBaseCDIImmediateTransferPrimitive;
  void clearCancel() { _cancel.set(0); }
};

// requestCancel reaches the primitive only above word 3: a reserved
// supervisor whose resources are not linked leaves the transfer alone.
TEST_F(CDIOImmediateSupervisorsTest, ACancelReachesTheTransferOnlyFromWordFour) {
  tCancelSeen transfer(&deviceInfo, &description, &cdiFIFO, &identity, status);
  tCDIImmediateTransferSettings settings;
  tSingularResourcePool<nQoUdP100::tBaseCDIImmediateTransferPrimitive*> pool(&transfer);
  tBaseCDIImmediateTransferSupervisor supervisor;
  tStatus2 s;
  offerPool(settings.record<0>().identifier, identity, "Immediate", &pool, s);
  facade.eventObject = &event;
  supervisor.initialize(settings, &facade, s);
  supervisor.reserveResource(s);
  ASSERT_EQ(s.code, 0);
  ASSERT_EQ(supervisor.getLifecycle(), 3u);
  supervisor.requestCancel(s);
  EXPECT_FALSE(transfer.cancelled());
  supervisor.linkResource(s);
  ASSERT_EQ(supervisor.getLifecycle(), 4u);
  supervisor.requestCancel(s);
  EXPECT_TRUE(transfer.cancelled());
  EXPECT_EQ(s.code, 0);
  supervisor.unlinkResource(s);
  supervisor.releaseResource(s);
}

// Cancels from the user's thread while the lifecycle links and unlinks the
// resources, which moves the word between 4 and 3: a cancel reads the word's
// atomic copy, so the thread-sanitizer build sees no race with the steps,
// and every step and cancel keeps its answer.
TEST_F(CDIOImmediateSupervisorsTest, CancelsFromAnotherThreadWhileTheStepsMoveTheWord) {
  tCancelSeen transfer(&deviceInfo, &description, &cdiFIFO, &identity, status);
  tCDIImmediateTransferSettings settings;
  tSingularResourcePool<nQoUdP100::tBaseCDIImmediateTransferPrimitive*> pool(&transfer);
  tBaseCDIImmediateTransferSupervisor supervisor;
  bringUp(supervisor, settings, pool);
  std::atomic<bool> done{false};
  std::atomic<uint32_t> cancels{0}, refused{0};
  std::thread canceller([&] {
    while (!done) {
      tStatus2 cancel;
      supervisor.requestCancel(cancel);
      if (cancel.code != 0) ++refused;
      ++cancels;
    }
  });
  tStatus2 steps;
  uint32_t wrongWords = 0;
  nQoTest::runStressRounds(cancels, [&](int) {
    supervisor.unlinkResource(steps);
    wrongWords += supervisor.getLifecycle() != 3u;
    supervisor.linkResource(steps);
    wrongWords += supervisor.getLifecycle() != 4u;
  });
  done = true;
  canceller.join();
  EXPECT_GE(cancels, nQoTest::kEnoughStressCalls);
  EXPECT_EQ(refused, 0u);
  EXPECT_EQ(steps.code, 0);
  EXPECT_EQ(wrongWords, 0u);
  supervisor.unlinkResource(steps);
  supervisor.releaseResource(steps);
  EXPECT_EQ(steps.code, 0);
}

// A commit from another thread after unlinkResource moves the word to 5;
// nothing but the word orders the next linkResource after it, which links
// the transfer again (word 4, its calls open). The commit it left is brought
// down by the next unlinkResource, by what the transfer holds.
TEST_F(CDIOImmediateSupervisorsTest, ALinkAfterACommitOnAnotherThreadSetsTheWordItReads) {
  nQoUdP100::tBaseCDIImmediateTransferPrimitive transfer(&deviceInfo, &description, &cdiFIFO,
                                                         &identity, status);
  tCDIImmediateTransferSettings settings;
  tSingularResourcePool<nQoUdP100::tBaseCDIImmediateTransferPrimitive*> pool(&transfer);
  tBaseCDIImmediateTransferSupervisor supervisor;
  bringUp(supervisor, settings, pool);
  tStatus2 s, committed;
  supervisor.unlinkResource(s);
  ASSERT_EQ(supervisor.getLifecycle(), 3u);
  {
    tUnorderedCall call([&] { supervisor.control(1, nullptr, nullptr, committed); });
    ASSERT_TRUE(call.run());
    supervisor.linkResource(s);
  }
  EXPECT_EQ(committed.code, 0);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(supervisor.getLifecycle(), 4u);
  EXPECT_EQ(transfer.state(), nQoUdP100::tCDIOImmediateTransfer::kChannelCommitted);
  supervisor.unlinkResource(s);
  EXPECT_EQ(transfer.state(), nQoUdP100::tCDIOImmediateTransfer::kBuilt);
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
}

// The immediate input position with its cancel held at entry, so that a
// test can tear the supervisor down while a cancel is under way.
struct tHeldCancelLinks : tCorrelatedImmediateLinks<tCDIImmediateDirection> {
  void requestCancel(tPrimitive& transfer, uint32_t word, tStatus2& status) {
    if (held != nullptr) held->hold();
    tCorrelatedImmediateLinks::requestCancel(transfer, word, status);
  }
  tHeldPass* held = nullptr;
};
struct tHeldCancelRow {
  [[maybe_unused]] static constexpr const char* kClassName = "nQoTest::tHeldCancelSupervisor";
  using tSettings = tCDIImmediateTransferSettings;
  using tPrimitive = nQoUdP100::tBaseCDIImmediateTransferPrimitive;
  template <class Self>
  using tBase = nQoMRL100::iPrimitiveSupervisor;
  using tLinks = tHeldCancelLinks;
  static constexpr tStatusSite kNoPrimitive{"tHeldCancelSupervisor", 1};
  static constexpr tStatusSite kNotSupported{"tHeldCancelSupervisor", 2};
  static constexpr tCorrelatedControls<tPrimitive> kControls = {};
};

// A cancel from the user's thread holds the release until it has left the
// transfer; a cancel after the release reaches nothing.
TEST_F(CDIOImmediateSupervisorsTest, TheReleaseWaitsForACancelUnderWayOnAnotherThread) {
  tCancelSeen transfer(&deviceInfo, &description, &cdiFIFO, &identity, status);
  tCDIImmediateTransferSettings settings;
  tSingularResourcePool<nQoUdP100::tBaseCDIImmediateTransferPrimitive*> pool(&transfer);
  tCorrelatedSupervisor<tHeldCancelRow> supervisor;
  bringUp(supervisor, settings, pool);
  tHeldPass held;
  supervisor.getLinks().held = &held;
  held.run(nQoTest::cancelOf(supervisor));
  held.tearDown(nQoTest::releaseOf(supervisor, true));
  EXPECT_TRUE(held.teardownWaited());
  EXPECT_EQ(supervisor.getReservedPrimitive(), nullptr);
  EXPECT_EQ(supervisor.getLifecycle(), 2u);

  supervisor.getLinks().held = nullptr;
  transfer.clearCancel();
  tStatus2 late;
  supervisor.requestCancel(late);
  EXPECT_EQ(late.code, 0);
  EXPECT_FALSE(transfer.cancelled()) << "a cancel after the release reached the transfer";
}

// A read waiting on an empty FIFO on the user's thread, held there while
// the test thread releases: the release cancels it, so it ends after the one
// sample it was taking, and waits for it to leave before it hands the
// transfer back. Once let go, each status read brings a sample, so a read
// the release did not cancel reads all four. A read after the release is
// refused without touching the FIFO.
TEST_F(CDIOImmediateSupervisorsTest, TheReleaseCancelsAReadUnderWayAndWaitsForIt) {
  tCancelSeen transfer(&deviceInfo, &description, &cdiFIFO, &identity, status);
  tCDIImmediateTransferSettings settings;
  settings.record<0>().transferMode = 0;
  tSingularResourcePool<nQoUdP100::tBaseCDIImmediateTransferPrimitive*> pool(&transfer);
  tBaseCDIImmediateTransferSupervisor supervisor;
  bringUp(supervisor, settings, pool);
  tStatus2 s;
  for (uint32_t code : {1u, 2u}) supervisor.control(code, nullptr, nullptr, s);
  ASSERT_EQ(s.code, 0);

  tHeldPass held;
  fifos.onStatusRead([&] {
    held.hold();
    fifos.pushInput({0x5A});
  });
  uint8_t buffer[4] = {};
  std::atomic<uint32_t> samples{0xFFFFFFFF};
  tStatus2 reading;
  held.run([&] { samples = supervisor.read(4, 0xFFFFFFFF, buffer, nullptr, nullptr, reading); });
  held.tearDown(nQoTest::releaseOf(supervisor, true));
  fifos.onStatusRead(nullptr);
  EXPECT_TRUE(held.teardownWaited()) << "the release returned under the read";
  EXPECT_EQ(samples, 1u) << "the release did not cancel the read";
  EXPECT_EQ(reading.code, 0);
  EXPECT_EQ(buffer[0], 0x5A);
  EXPECT_TRUE(transfer.cancelled());
  EXPECT_EQ(supervisor.getLifecycle(), 2u);

  const uint64_t reads = fifos.inputReads();
  tStatus2 late;
  EXPECT_EQ(supervisor.read(1, 0, buffer, nullptr, nullptr, late), 0u);
  EXPECT_EQ(late.code, -50004);
  EXPECT_TRUE(loggedAt(-50004, "tBaseCDIImmediateTransferSupervisor", 250));
  EXPECT_EQ(fifos.inputReads(), reads);
}

// The same for a wait-each write: held at its first look at the FIFO, then
// cancelled by the release, it writes nothing; one the release did not
// cancel writes all three, each stepped out to the lines by a status read.
TEST_F(CDIOImmediateSupervisorsTest, TheReleaseCancelsAWriteUnderWayAndWaitsForIt) {
  nQoUdP100::tBaseCDOImmediateTransferPrimitive transfer(&deviceInfo, &description, &cdoFIFO,
                                                         &identity, status);
  tCDOImmediateTransferSettings settings;
  settings.record<0>().transferMode = 0;
  settings.record<0>().transferWord3 = 1;
  tSingularResourcePool<nQoUdP100::tBaseCDOImmediateTransferPrimitive*> pool(&transfer);
  tBaseCDOImmediateTransferSupervisor supervisor;
  bringUp(supervisor, settings, pool);
  tStatus2 s;
  for (uint32_t code : {1u, 2u}) supervisor.control(code, nullptr, nullptr, s);
  ASSERT_EQ(s.code, 0);
  fifos.setOutputDepth(4);

  tHeldPass held;
  fifos.onStatusRead([&] {
    held.hold();
    fifos.stepOutput();
  });
  const uint8_t samples[3] = {0x11, 0x22, 0x33};
  std::atomic<uint32_t> written{0xFFFFFFFF};
  tStatus2 writing;
  held.run([&] { written = supervisor.write(3, 0xFFFFFFFF, samples, nullptr, writing); });
  held.tearDown(nQoTest::releaseOf(supervisor, true));
  fifos.onStatusRead(nullptr);
  EXPECT_TRUE(held.teardownWaited()) << "the release returned under the write";
  EXPECT_EQ(written, 0u) << "the release did not cancel the write";
  EXPECT_EQ(writing.code, 0);
  EXPECT_TRUE(fifos.lines().empty());
  EXPECT_TRUE(fifos.output().empty());

  tStatus2 late;
  EXPECT_EQ(supervisor.write(1, 0xFFFFFFFF, samples, nullptr, late), 0u);
  EXPECT_EQ(late.code, -50004);
  EXPECT_TRUE(loggedAt(-50004, "tBaseCDOImmediateTransferSupervisor", 250));
  EXPECT_TRUE(fifos.output().empty());
}

// The immediate position whose code 2 is held as it starts, before the
// transfer's start clears the run's cancel, until the release has ended the
// calls; and whose reads and writes are held before they reach the transfer
// until that start has left.
template <class Dir>
struct tHeldStartLinks : tCorrelatedImmediateLinks<Dir> {
  using tBase = tCorrelatedImmediateLinks<Dir>;
  void starting(typename Dir::tPrimitive& transfer) {
    heldStart.hold();
    tBase::starting(transfer);
  }
  void endCalls(typename Dir::tPrimitive& transfer) {
    tBase::endCalls(transfer);
    heldStart.letGo();
  }
  typename Dir::tPrimitive* prepare(typename Dir::tPrimitive* transfer, uint32_t timeout,
                                    tStatus2& status) {
    heldCall.hold();
    return tBase::prepare(transfer, timeout, status);
  }
  tHeldCall heldStart{tHeldCall::kGuard}, heldCall{tHeldCall::kGuard};
};
template <class Dir>
struct tHeldStartRow : tCorrelatedImmediateRow<Dir> {
  using tLinks = tHeldStartLinks<Dir>;
};

constexpr uint32_t kLongTimeout = 1000;  // ms on the test clock, which stands

// A start that entered its use before the release took the transfer out runs
// after the release ended the calls and clears the run's cancel; a call
// (read or write) under way, held until the start has left, then comes to
// wait with a long time-out. It ends at once, as a cancel ends it, and the
// release returns; a call that waits for its time-out answers -200474 once
// the guard moves the clock on.
template <class Dir, class tCall>
void CDIOImmediateSupervisorsTest::expectTheReleaseEndsACallAfterAStart(
    typename Dir::tPrimitive& transfer, typename Dir::tSettings& settings, tCall call) {
  nQoSim::resetResourceBroker();
  tSingularResourcePool<typename Dir::tPrimitive*> pool(&transfer);
  tCorrelatedSupervisor<tHeldStartRow<Dir>> supervisor;
  bringUp(supervisor, settings, pool);
  nQoSim::useTestClock(1'000'000'000);
  tStatus2 starting, calling;
  supervisor.control(1, nullptr, nullptr, starting);
  std::atomic<uint32_t> moved{0xFFFFFFFF};
  std::thread starter([&] {
    supervisor.control(2, nullptr, nullptr, starting);
    supervisor.getLinks().heldCall.letGo();
  });
  std::thread user([&] { moved = call(supervisor, calling); });
  EXPECT_TRUE(supervisor.getLinks().heldStart.waitUntilInside());
  EXPECT_TRUE(supervisor.getLinks().heldCall.waitUntilInside());
  std::atomic<bool> released{false};
  std::thread releaser([&] {
    releaseOf(supervisor, false)();
    released = true;
  });
  const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
  while (!released && std::chrono::steady_clock::now() < guard) std::this_thread::yield();
  const bool inTime = released;
  nQoSim::advanceClock(2'000'000'000);
  for (std::thread* thread : {&releaser, &starter, &user}) thread->join();
  EXPECT_TRUE(inTime) << "the release waited for a call that waited for its time-out";
  EXPECT_EQ(calling.code, 0);
  EXPECT_EQ(moved, 0u);
  EXPECT_EQ(starting.code, 0);
}

TEST_F(CDIOImmediateSupervisorsTest, TheReleaseEndsACallThatAStartUnderWayWouldLetWait) {
  nQoUdP100::tBaseCDIImmediateTransferPrimitive input(&deviceInfo, &description, &cdiFIFO,
                                                      &identity, status);
  tCDIImmediateTransferSettings inputSettings;
  inputSettings.record<0>().transferMode = 0;
  uint8_t buffer[4] = {};
  expectTheReleaseEndsACallAfterAStart<tCDIImmediateDirection>(
      input, inputSettings, [&](auto& supervisor, tStatus2& s) {
        return supervisor.read(4, kLongTimeout, buffer, nullptr, nullptr, s);
      });

  nQoUdP100::tBaseCDOImmediateTransferPrimitive output(&deviceInfo, &description, &cdoFIFO,
                                                       &identity, status);
  tCDOImmediateTransferSettings outputSettings;
  outputSettings.record<0>().transferMode = 0;
  outputSettings.record<0>().transferWord3 = 1;
  fifos.setOutputDepth(4);
  const uint8_t samples[3] = {0x11, 0x22, 0x33};
  expectTheReleaseEndsACallAfterAStart<tCDOImmediateDirection>(
      output, outputSettings, [&](auto& supervisor, tStatus2& s) {
        return supervisor.write(3, kLongTimeout, samples, nullptr, s);
      });
  EXPECT_TRUE(fifos.output().empty());
}

// What the client of a finite stream sees of a code 3 after its code 1 with
// no code 2: the stop answers its warning, and the task's event gets one done
// action, with that warning; a second code 3 posts none. Input and output.
TEST_F(CDIOImmediateSupervisorsTest, AStopAfterACommitWithNoStartPostsOneDone) {
  const auto expectOneDone = [&](auto& supervisor, auto& settings, auto& pool) {
    settings.template record<0>().transferMode = 1;
    settings.template record<0>().transferWord2 = 4;
    bringUp(supervisor, settings, pool);
    calls.clear();
    tStatus2 committed, stopped, again;
    supervisor.control(1, nullptr, nullptr, committed);
    supervisor.control(3, nullptr, nullptr, stopped);
    supervisor.control(3, nullptr, nullptr, again);
    EXPECT_EQ(committed.code, 0);
    EXPECT_EQ(stopped.code, 200010);
    EXPECT_EQ(again.code, 200010);
    EXPECT_EQ(calls.operations(), "event.post 1 200010");
    tStatus2 s;
    supervisor.unlinkResource(s);
    supervisor.releaseResource(s);
    nQoSim::resetResourceBroker();
  };
  nQoUdP100::tBaseCDIImmediateTransferPrimitive input(&deviceInfo, &description, &cdiFIFO,
                                                      &identity, status);
  tCDIImmediateTransferSettings inputSettings;
  tSingularResourcePool<nQoUdP100::tBaseCDIImmediateTransferPrimitive*> inputPool(&input);
  tBaseCDIImmediateTransferSupervisor reader;
  expectOneDone(reader, inputSettings, inputPool);

  nQoUdP100::tBaseCDOImmediateTransferPrimitive output(&deviceInfo, &description, &cdoFIFO,
                                                       &identity, status);
  tCDOImmediateTransferSettings outputSettings;
  tSingularResourcePool<nQoUdP100::tBaseCDOImmediateTransferPrimitive*> outputPool(&output);
  tBaseCDOImmediateTransferSupervisor writer;
  expectOneDone(writer, outputSettings, outputPool);
}

TEST_F(CDIOImmediateSupervisorsTest, OutputWritesThroughThePrimitive) {
  nQoUdP100::tBaseCDOImmediateTransferPrimitive transfer(&deviceInfo, &description, &cdoFIFO,
                                                         &identity, status);
  tCDOImmediateTransferSettings settings;
  settings.record<0>().transferMode = 0;
  tBaseCDOImmediateTransferSupervisor supervisor;
  const uint8_t samples[2] = {0x5A, 0xA5};
  tStatus2 early;
  EXPECT_EQ(supervisor.write(2, 0xFFFFFFFF, samples, nullptr, early), 0u);
  EXPECT_EQ(early.code, -50004);
  tStatus2 s;
  supervisor.control(1, nullptr, nullptr, s);
  EXPECT_EQ(s.code, -50004);
  EXPECT_TRUE(loggedAt(-50004, "tBaseCDOImmediateTransferSupervisor", 229));

  tSingularResourcePool<nQoUdP100::tBaseCDOImmediateTransferPrimitive*> pool(&transfer);
  bringUp(supervisor, settings, pool);
  tStatus2 good;
  for (uint32_t code : {1u, 2u}) supervisor.control(code, nullptr, nullptr, good);
  fifos.setOutputDepth(4);
  EXPECT_EQ(supervisor.write(2, 0xFFFFFFFF, samples, nullptr, good), 2u);
  EXPECT_EQ(transfer.timeoutMode(), tImmediateTimeout::kNoLimit);
  EXPECT_EQ(good.code, 0);
  EXPECT_EQ(fifos.output(), (std::deque<uint32_t>{0x5A, 0xA5}));

  tStatus2 available;
  EXPECT_EQ(supervisor.getAvailable(available), 0u);
  EXPECT_TRUE(loggedAt(-200454, "tBaseCDOImmediateTransferSupervisor", 352));
  tStatus2 held;
  held.setCode(-1, "test", "test", 1);
  EXPECT_EQ(supervisor.getAvailable(held), 0u);
  EXPECT_EQ(held.code, -1);
  tStatus2 refused;
  supervisor.control(4101, nullptr, nullptr, refused);
  EXPECT_TRUE(loggedAt(-50256, "tBaseCDOImmediateTransferSupervisor", 295));
  supervisor.control(3, nullptr, nullptr, good);
  EXPECT_EQ(supervisor.getLifecycle(), 5u);
  supervisor.control(4, nullptr, nullptr, good);
  supervisor.unlinkResource(good);
  supervisor.releaseResource(good);
  EXPECT_EQ(good.code, 0);
}

}  // namespace
}  // namespace nQoTest
