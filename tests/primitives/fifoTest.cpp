// The AI data FIFO on the real map and dispatcher with the FIFO model:
// commit and arm by observer list, mode and threshold, sample reads, the two
// handlers and the unsupported operations.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

#include "primitives/ai/tAIDeviceFIFOPrimitive.h"
#include "sim/tSimAIFifo.h"
#include "support/boardChecks.h"
#include "support/heldCall.h"
#include "support/heldPass.h"
#include "support/statusRecords.h"
#include "tavik/tTavikInterruptDispatcher.h"
#include "tavik/tavikFixture.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tAIDeviceFIFOPrimitive;
using nQoUdP100::tAIDeviceFIFOPrimitiveConfig;
using nQoUdP100::tAIFIFODescription;
using nQoUdP100::tBaseAIDeviceFIFOPrimitive;
using tLog = std::vector<tAccess>;
using tBase = tBaseAIDeviceFIFOPrimitive;

class tObserver : public tBase::iAIFIFOObserver, public tBase::iAIOverflowObserver {
 public:
  explicit tObserver(std::vector<uint32_t>* calls) : calls(calls) {}
  uint32_t fifoReady(tBase*, tStatus2& status) override {
    calls->push_back(1);
    if (failWith != 0) status.setCode(failWith, "qoudrk", "fifoTest", 1);
    return 0;
  }
  uint32_t overflowed(tBase*, tStatus2&) override {
    calls->push_back(2);
    return 1;
  }
  void overflowedSecondary(tBase*, tStatus2&) override {
    calls->push_back(102);
    if (inSecond) inSecond();
  }
  std::vector<uint32_t>* calls;
  int failWith = 0;
  std::function<void()> inSecond;
};

// Runs onOverflowEnable as a pass comes to turn the overflow source back on.
class tHookedFIFO : public tAIDeviceFIFOPrimitive {
 public:
  using tAIDeviceFIFOPrimitive::tAIDeviceFIFOPrimitive;
  void enableOverflowInterrupt(tStatus2& status) override {
    if (onOverflowEnable) onOverflowEnable();
    tAIDeviceFIFOPrimitive::enableOverflowInterrupt(status);
  }
  std::function<void()> onOverflowEnable;
};

class tFIFOTest : public tTavikMapTest {
 protected:
  void SetUp() override {
    tTavikMapTest::SetUp();
    dispatcher = new nQoUdRLP100::tTavikInterruptDispatcher(map, 1, &status);
    ASSERT_EQ(status.code, 0);
  }
  void TearDown() override {
    delete fifo;
    delete dispatcher;
    tTavikMapTest::TearDown();
  }
  void build(uint32_t widthCode) {
    description = {1024, widthCode, 77};
    fifo = new tAIDeviceFIFOPrimitive(&description, map, dispatcher, status);
    ASSERT_EQ(status.code, 0);
    windows.clearLog();
  }

  // The overflow source raised once on the board: its first pass runs and,
  // as the observer asks, the second pass is queued.
  void raiseOverflow() {
    model.setStatusBits(0x8400);
    bus.raise(1);
    model.setStatusBits(0);
  }
  bool overflowOn() { return (map->Interrupt_A_Enable.getRegister() & 0x0020) != 0; }

  tAIFIFODescription description;
  nQoUdRLP100::tTavikInterruptDispatcher* dispatcher = nullptr;
  tAIDeviceFIFOPrimitive* fifo = nullptr;
  nQoSim::tSimAIFifo model{windows, window};
  std::vector<uint32_t> calls;
  tObserver observer{&calls};
};

TEST_F(tFIFOTest, OnlyFIFOObserversAttachOnlyTheDataSourceAndArmEnablesOnlyBit7) {
  build(4);
  fifo->addFIFOObserver(&observer, status);
  fifo->commit(status);
  EXPECT_NE(dispatcher->primaryHandlers[0], nullptr);
  EXPECT_EQ(dispatcher->primaryHandlers[1], nullptr);
  EXPECT_EQ(windows.writes().back(), wrote(0x190, 0x100));
  EXPECT_EQ(fifo->state().getState(), 2u);
  windows.clearLog();
  fifo->arm(status);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x192, 0x0080)}));
  EXPECT_EQ(fifo->state().getState(), 3u);

  // An observer that fails switches the data source off; still kHandled.
  observer.failWith = -1;
  windows.clearLog();
  EXPECT_EQ(dispatcher->primaryHandlers[0].load()->handleInterrupt(), 1u);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x192, 0x0000)}));
  fifo->disarm(status);
  fifo->uncommit(status);
  EXPECT_EQ(dispatcher->primaryHandlers[0], nullptr);
  EXPECT_EQ(bus.registrations(), 0);
  EXPECT_EQ(status.code, 0);
}

// A configuration is deployed: it sets neither the mode, the threshold nor
// the soft copy of the register it shares with the timing engine, whose
// writes would carry it to the board. The commit sets them from its record.
TEST_F(tFIFOTest, TheCommitSetsTheDeployedModeThresholdAndDefaultCount) {
  build(4);
  tAIDeviceFIFOPrimitiveConfig config;
  config.fifoMode = 1;
  config.thresholdCode = 3;
  fifo->setConfiguration(config, status);
  EXPECT_EQ(fifo->getThreshold(status), 0u);
  EXPECT_EQ(fifo->configuration().count, tAIDeviceFIFOPrimitiveConfig::kDefaultCount)
      << "the settings reached the record before a commit";
  EXPECT_EQ(fifo->getFIFOMode(), 0u);
  fifo->programFIFOMode(&status);
  EXPECT_EQ(windows.log(),
            (tLog{wrote(0x190, 0x10), wrote(0x1AE, 0x0000), wrote(0x190, 0x100), kBusFlush}))
      << "the soft copy holds no deployed mode";
  // Half full with a threshold: 01 in bits 7:6.
  windows.clearLog();
  fifo->commit(status);
  EXPECT_EQ(fifo->getThreshold(status), 0xFFFFFFFFu);
  EXPECT_EQ(fifo->getFIFOMode(), 1u);
  EXPECT_EQ(fifo->getLevel(status), 512u);
  EXPECT_EQ(windows.log(),
            (tLog{wrote(0x190, 0x10), wrote(0x1AE, 0x0040), wrote(0x190, 0x100), kBusFlush}));
  fifo->uncommit(status);

  config.fifoMode = 2;
  config.thresholdCode = 0;
  fifo->setConfiguration(config, status);
  EXPECT_EQ(fifo->getThreshold(status), 0xFFFFFFFFu);
  EXPECT_EQ(fifo->getFIFOMode(), 1u);
  fifo->setFIFOModeForLevel(100, status, false);
  EXPECT_EQ(fifo->getFIFOMode(), 0u);

  windows.clearLog();
  fifo->clearFIFO(&status);
  fifo->clearFIFO(&status);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x1A6, 1), wrote(0x1A6, 1)}));
  // The commit takes the settings with the default count into the record;
  // the uncommit hands the FIFO back with none.
  config.word3 = 9;
  fifo->setConfiguration(config, status);
  EXPECT_EQ(fifo->getDataFormat(status), 0u) << "the format is the settings', not the commit's";
  fifo->commit(status);
  EXPECT_EQ(fifo->configuration().count, 77u);
  EXPECT_EQ(fifo->configuration().word3, 9u);
  EXPECT_EQ(fifo->getDataFormat(status), 2u);
  config.fifoMode = 1;
  fifo->setConfiguration(config, status);
  EXPECT_EQ(fifo->getDataFormat(status), 2u);
  EXPECT_EQ(fifo->getDataFormat(tStatus2{-1}), 0xFFFFFFFFu);
  fifo->uncommit(status);
  EXPECT_EQ(fifo->configuration().word3, 1u);
  EXPECT_EQ(fifo->getDataFormat(status), 0u);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tFIFOTest, TheModeForALevelChangesAtAQuarterAndAtThreeQuartersOfTheSize) {
  build(4);
  const struct {
    uint32_t level, mode;
  } cases[] = {{255, 0}, {256, 1}, {767, 1}, {768, 2}, {1024, 2}};
  for (const auto& c : cases) {
    fifo->setFIFOModeForLevel(c.level, status, false);
    EXPECT_EQ(fifo->getFIFOMode(), c.mode) << c.level;
  }
  EXPECT_EQ(status.code, 0);
  EXPECT_TRUE(windows.log().empty());
}

TEST_F(tFIFOTest, SamplesAreReadWholeOrAsTheirLowHalf) {
  build(2);
  model.push({0x0001FFFF, 0x00028000});
  uint16_t samples[2] = {};
  EXPECT_EQ(fifo->isEmpty(&status), 0u);
  EXPECT_EQ(fifo->readSamples(samples, 2, status), 2u);
  EXPECT_EQ(samples[0], 0xFFFF);
  EXPECT_EQ(samples[1], 0x8000);
  EXPECT_EQ(fifo->isEmpty(&status), 1u);
  EXPECT_EQ(fifo->meetsThreshold(&status), 0u);

  delete fifo;
  build(4);
  model.push({0x0001FFFF, 7});
  uint32_t whole[3] = {};
  EXPECT_EQ(fifo->readSample(whole, status), 1u);
  EXPECT_EQ(whole[0], 0x0001FFFFu);
  tStatus2 failed(-1);
  EXPECT_EQ(fifo->readSamples(whole, 3, failed), 1u);
  EXPECT_EQ(whole[0], 0xFFFFFFFFu);
  EXPECT_EQ(model.size(), 1u) << "no read under an error";
}

TEST_F(tFIFOTest, AnOverflowSecondaryPassAfterDisarmLeavesTheSourceOff) {
  build(4);
  fifo->addOverflowObserver(&observer, status);
  fifo->commit(status);
  fifo->arm(status);
  EXPECT_EQ(dispatcher->primaryHandlers[1].load()->handleInterrupt(), 2u);
  fifo->disarm(status);
  windows.clearLog();
  dispatcher->secondaryHandlers[1].load()->handleSecondaryInterrupt();
  EXPECT_EQ(calls, (std::vector<uint32_t>{2}));
  EXPECT_TRUE(windows.writes().empty());

  fifo->arm(status);
  EXPECT_EQ(dispatcher->primaryHandlers[1].load()->handleInterrupt(), 2u);
  windows.clearLog();
  dispatcher->secondaryHandlers[1].load()->handleSecondaryInterrupt();
  EXPECT_EQ(calls, (std::vector<uint32_t>{2, 2, 102}));
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x192, 0x0020)}));
  EXPECT_EQ(status.code, 0);
}

// The overflow secondary pass on a thread of its own, held as it comes to turn
// the source back on, and the disarm on the codes' thread meanwhile: the
// disarm waits for the pass to leave (its hold runs out), and the source
// is off once the disarm has returned.
TEST_F(tFIFOTest, AnOverflowPassHeldAtItsEnableLeavesTheSourceOffAfterADisarmBesideIt) {
  description = {1024, 4, 77};
  auto* hooked = new tHookedFIFO(&description, map, dispatcher, status);
  fifo = hooked;
  fifo->addOverflowObserver(&observer, status);
  fifo->commit(status);
  fifo->arm(status);
  EXPECT_EQ(dispatcher->primaryHandlers[1].load()->handleInterrupt(), 2u);
  tHeldCall held;
  hooked->onOverflowEnable = [&] { held.hold(); };
  std::thread pass([&] { dispatcher->secondaryHandlers[1].load()->handleSecondaryInterrupt(); });
  EXPECT_TRUE(held.waitUntilInside());
  fifo->disarm(status);
  held.letGo();
  pass.join();
  EXPECT_TRUE(held.expired()) << "the disarm returned before the pass left";
  EXPECT_EQ(calls, (std::vector<uint32_t>{2, 102}));
  EXPECT_EQ(map->Interrupt_A_Enable.getRegister() & 0x0020, 0);
  EXPECT_EQ(dispatcher->enabledFlag(nQoUdRLP100::kSource1Enabled), 0u);
  fifo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A second overflow pass that took its request under one arm and reaches
// the FIFO only after the steps of the row: after a disarm and the next arm
// it belongs to the arm before and does nothing (the next arm's source
// stays on for that arm's own passes); an arm or a commit that keeps the
// arm keeps its run, whose second pass notifies and turns the source on.
struct tLatePass {
  const char* steps;
  std::function<void(tAIDeviceFIFOPrimitive&, tStatus2&)> between;
  std::vector<uint32_t> heard;
};

TEST_F(tFIFOTest, AnOverflowSecondPassActsOnlyOnTheArmItWasTakenIn) {
  build(4);
  fifo->addOverflowObserver(&observer, status);
  fifo->commit(status);
  const std::thread::id test = std::this_thread::get_id();
  const tLatePass rows[] = {
      {"disarm, arm",
       [](tAIDeviceFIFOPrimitive& f, tStatus2& s) {
         f.disarm(s);
         f.arm(s);
       },
       {2}},
      {"arm", [](tAIDeviceFIFOPrimitive& f, tStatus2& s) { f.arm(s); }, {2, 102}},
      {"commit", [](tAIDeviceFIFOPrimitive& f, tStatus2& s) { f.commit(s); }, {2, 102}}};
  for (const tLatePass& row : rows) {
    SCOPED_TRACE(row.steps);
    fifo->arm(status);
    raiseOverflow();
    ASSERT_EQ(calls, std::vector<uint32_t>{2});
    ASSERT_FALSE(overflowOn());
    {
      tHeldPass held;
      // Held once it has taken its request.
      bus.onAtomicRun([&] {
        if (std::this_thread::get_id() != test) held.hold();
      });
      held.run([&] { bus.pumpSecondary(); });
      held.tearDown([&] { row.between(*fifo, status); });
      bus.onAtomicRun(nullptr);
    }
    EXPECT_EQ(calls, row.heard);
    EXPECT_TRUE(overflowOn()) << "the arm's source stayed off";
    calls.clear();
    raiseOverflow();
    EXPECT_EQ(bus.pumpSecondary(), 1u);
    EXPECT_EQ(calls, (std::vector<uint32_t>{2, 102})) << "the arm's own passes";
    EXPECT_TRUE(overflowOn());
    calls.clear();
    fifo->disarm(status);
  }
  fifo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A disarm or an uncommit waits for the second overflow pass of its arm
// under way: the observer's second notification, held on the pass's
// thread, leaves before the step returns, and the source stays off.
TEST_F(tFIFOTest, ADisarmOrUncommitWaitsForAnOverflowSecondPassUnderWay) {
  build(4);
  fifo->addOverflowObserver(&observer, status);
  const std::pair<const char*, void (tAIDeviceFIFOPrimitive::*)(tStatus2&)> steps[] = {
      {"disarm", &tAIDeviceFIFOPrimitive::disarm}, {"uncommit", &tAIDeviceFIFOPrimitive::uncommit}};
  for (const auto& [name, step] : steps) {
    SCOPED_TRACE(name);
    fifo->commit(status);
    fifo->arm(status);
    raiseOverflow();
    tHeldPass held;
    observer.inSecond = [&] { held.hold(); };
    held.run([&] { bus.pumpSecondary(); });
    held.tearDown([&] { (fifo->*step)(status); });
    observer.inSecond = nullptr;
    EXPECT_TRUE(held.teardownWaited());
    EXPECT_EQ(calls, (std::vector<uint32_t>{2, 102}));
    EXPECT_FALSE(overflowOn());
    calls.clear();
  }
  fifo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// The overflow source's disable fails on the bus; the data source is still
// switched off, so no enabled source outlives the handlers uncommit removes.
TEST_F(tFIFOTest, AFailedOverflowDisableStillSwitchesTheDataSourceOff) {
  build(4);
  fifo->addOverflowObserver(&observer, status);
  fifo->addFIFOObserver(&observer, status);
  fifo->commit(status);
  fifo->arm(status);
  ASSERT_EQ(status.code, 0);
  ASSERT_EQ(map->Interrupt_A_Enable.getRegister(), 0x00A0u);
  windows.clearLog();
  bus.failNext(nQoSim::tSimBus::tCall::kAtomic, -50001);
  tStatus2 disarmed;
  fifo->disarm(disarmed);
  EXPECT_EQ(disarmed.code, -50001) << "the failed step's error is reported";
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x192, 0x0020)})) << "bit 7 off, bit 5 left as it was";
  EXPECT_EQ(fifo->state().getState(), 2u);
  tStatus2 uncommitted;
  fifo->uncommit(uncommitted);
  EXPECT_EQ(uncommitted.code, 0);
  EXPECT_EQ(dispatcher->primaryHandlers[0], nullptr);
  EXPECT_EQ(dispatcher->primaryHandlers[1], nullptr);
  EXPECT_EQ(map->Interrupt_A_Enable.getRegister() & 0x0080, 0u);
}

// Code 4100 before any commit: neither source goes on, as no handler would
// acknowledge it, and none is recorded; the disarm then switches nothing
// and moves the state back from the arm only. A disarm of an unarmed FIFO
// leaves its state as it is.
TEST_F(tFIFOTest, AnArmWithoutACommitLeavesBothSourcesOffAndRecordsNone) {
  build(4);
  fifo->addOverflowObserver(&observer, status);
  fifo->addFIFOObserver(&observer, status);
  fifo->disarm(status);
  EXPECT_EQ(fifo->state().getState(), 1u) << "a disarm without an arm moved the state";
  fifo->arm(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_TRUE(windows.writes().empty());
  EXPECT_EQ(sourcesWithoutHandler(windows, window, *dispatcher), "");
  EXPECT_EQ(fifo->armedSources(), 0u);
  EXPECT_EQ(fifo->state().getState(), 3u);
  fifo->disarm(status);
  EXPECT_TRUE(windows.writes().empty());
  EXPECT_EQ(fifo->state().getState(), 2u);

  fifo->commit(status);
  fifo->arm(status);
  EXPECT_EQ(fifo->armedSources(), 3u);
  EXPECT_EQ(map->Interrupt_A_Enable.getRegister(), 0x00A0u);
  fifo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// The transfers' releases take their records out after the commit and the
// arm: disarm and uncommit still switch both sources off and detach both
// handlers, so the next owner finds the FIFO as fresh.
TEST_F(tFIFOTest, DisarmAndUncommitUndoWhatTheFIFOHoldsAfterItsObserversWent) {
  build(4);
  fifo->addOverflowObserver(&observer, status);
  fifo->addFIFOObserver(&observer, status);
  fifo->commit(status);
  fifo->arm(status);
  ASSERT_EQ(map->Interrupt_A_Enable.getRegister(), 0x00A0u);
  fifo->removeOverflowObserver(&observer, status);
  fifo->removeFIFOObserver(&observer, status);
  fifo->disarm(status);
  fifo->uncommit(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(map->Interrupt_A_Enable.getRegister() & 0x00A0u, 0u);
  EXPECT_EQ(dispatcher->primaryHandlers[0], nullptr);
  EXPECT_EQ(dispatcher->primaryHandlers[1], nullptr);
  EXPECT_EQ(bus.registrations(), 0);
  windows.clearLog();
  fifo->disarm(status);
  EXPECT_TRUE(windows.writes().empty()) << "a second disarm switched a source again";
}

// A commit of an armed FIFO (a code 1 after the arm) that takes only what
// its records hold keeps the arm: its state word stays armed and the sources
// stay as the arm enabled them, the overflow passes still reach the observer
// and turn the source on again, and the destruction switches both sources
// off, by what the arm recorded.
TEST_F(tFIFOTest, ACommitAfterTheArmKeepsTheArmForTheOverflowPassesAndTheDestruction) {
  build(4);
  fifo->addOverflowObserver(&observer, status);
  fifo->addFIFOObserver(&observer, status);
  fifo->commit(status);
  fifo->arm(status);
  windows.clearLog();
  fifo->commit(status);
  ASSERT_EQ(status.code, 0);
  ASSERT_EQ(fifo->state().getState(), 3u);
  ASSERT_EQ(map->Interrupt_A_Enable.getRegister(), 0x00A0u);
  EXPECT_EQ(windows.log(), tLog{}) << "the commit wrote under the arm";
  EXPECT_EQ(dispatcher->primaryHandlers[1].load()->handleInterrupt(), 2u);
  windows.clearLog();
  dispatcher->secondaryHandlers[1].load()->handleSecondaryInterrupt();
  EXPECT_EQ(calls, (std::vector<uint32_t>{2, 102}));
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x192, 0x00A0)})) << "the overflow source stayed off";
  windows.clearLog();
  delete fifo;
  fifo = nullptr;
  EXPECT_EQ(map->Interrupt_A_Enable.getRegister() & 0x00A0u, 0u)
      << "a source outlived the FIFO's handlers";
  EXPECT_EQ(dispatcher->primaryHandlers[0], nullptr);
  EXPECT_EQ(dispatcher->primaryHandlers[1], nullptr);
}

// A commit of an armed FIFO whose configuration since names another FIFO
// mode disarms first: both sources go off before the mode is written, and
// the state is committed.
TEST_F(tFIFOTest, ACommitOfAnArmedFIFOThatChangesItsModeDisarmsFirst) {
  build(4);
  fifo->addOverflowObserver(&observer, status);
  fifo->addFIFOObserver(&observer, status);
  fifo->commit(status);
  fifo->arm(status);
  tAIDeviceFIFOPrimitiveConfig config;
  config.fifoMode = 2;
  fifo->setConfiguration(config, status);
  windows.clearLog();
  fifo->commit(status);
  EXPECT_EQ(status.code, 0);
  const tLog writes = windows.writes();
  ASSERT_GE(writes.size(), 3u);
  EXPECT_EQ(tLog(writes.begin(), writes.begin() + 2),
            (tLog{wrote(0x192, 0x0080), wrote(0x192, 0x0000)}))
      << "both sources off before the mode is written";
  EXPECT_NE(std::find(writes.begin(), writes.end(), wrote(0x1AE, 0x0080)), writes.end());
  EXPECT_EQ(fifo->armedSources(), 0u);
  EXPECT_EQ(fifo->attachedSources(), 3u);
  EXPECT_EQ(fifo->state().getState(), 2u);
  fifo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// The run drains by the threshold test of the commit that wrote its mode: a
// configuration under the arm that names another test (here bit 14 for the
// empty test of mode 2, with the same mode bits) reaches the next commit,
// which disarms first. An observer change keeps an arm and its state.
TEST_F(tFIFOTest, ARunKeepsItsThresholdTestAndItsArmUntilTheNextCommit) {
  build(4);
  fifo->addFIFOObserver(&observer, status);
  tAIDeviceFIFOPrimitiveConfig config;
  config.fifoMode = 2;
  fifo->setConfiguration(config, status);
  fifo->commit(status);
  fifo->arm(status);
  fifo->addOverflowObserver(&observer, status);
  EXPECT_EQ(fifo->state().getState(), 3u);
  fifo->removeOverflowObserver(&observer, status);
  EXPECT_EQ(fifo->state().getState(), 3u);
  model.push({1});
  config.thresholdCode = 2;
  fifo->setConfiguration(config, status);
  EXPECT_EQ(fifo->meetsThreshold(&status), 1u) << "the run's test is the empty bit";
  fifo->commit(status);
  EXPECT_EQ(fifo->armedSources(), 0u);
  EXPECT_EQ(fifo->state().getState(), 2u);
  EXPECT_EQ(fifo->meetsThreshold(&status), 0u) << "the next commit's test is bit 14";
  fifo->removeFIFOObserver(&observer, status);
  EXPECT_EQ(fifo->state().getState(), 1u);
  fifo->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// An uncommit right after the arm (code 4 after 4100), or after a commit of
// the armed FIFO (4100, 1, 4), disarms by what the arm recorded before the
// handlers go: no source stays on without its handler, and the disarm's two
// writes come first.
TEST_F(tFIFOTest, AnUncommitOfAnArmedFIFODisarmsItBeforeTheHandlersGo) {
  build(4);
  fifo->addOverflowObserver(&observer, status);
  fifo->addFIFOObserver(&observer, status);
  for (const bool commitAgain : {false, true}) {
    SCOPED_TRACE(commitAgain ? "4100, 1, 4" : "4100, 4");
    fifo->commit(status);
    fifo->arm(status);
    if (commitAgain) fifo->commit(status);
    ASSERT_EQ(status.code, 0);
    ASSERT_EQ(map->Interrupt_A_Enable.getRegister(), 0x00A0u);
    windows.clearLog();
    fifo->uncommit(status);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(map->Interrupt_A_Enable.getRegister() & 0x00A0u, 0u)
        << "a source outlived the FIFO's handlers";
    const tLog writes = windows.writes();
    ASSERT_GE(writes.size(), 2u);
    EXPECT_EQ(tLog(writes.begin(), writes.begin() + 2),
              (tLog{wrote(0x192, 0x0080), wrote(0x192, 0x0000)}))
        << "overflow source off, then the data source, before any removal";
    EXPECT_EQ(fifo->armedSources(), 0u);
    EXPECT_EQ(fifo->attachedSources(), 0u);
    EXPECT_EQ(dispatcher->primaryHandlers[0], nullptr);
    EXPECT_EQ(dispatcher->primaryHandlers[1], nullptr);
    EXPECT_EQ(fifo->state().getState(), 1u);
    windows.clearLog();
    fifo->disarm(status);
    fifo->uncommit(status);
    EXPECT_TRUE(windows.writes().empty()) << "the arm was undone twice";
  }
}

// A commit or an arm after one that holds the overflow handler and source,
// which fails on the data source it adds, gives back only that one.
TEST_F(tFIFOTest, AFailedSecondCommitOrArmKeepsWhatTheFirstTook) {
  build(4);
  fifo->addOverflowObserver(&observer, status);
  fifo->commit(status);
  fifo->arm(status);
  ASSERT_EQ(map->Interrupt_A_Enable.getRegister(), 0x0020u);
  nQoMRTB100::iInterruptHandler* const overflow = dispatcher->primaryHandlers[1];
  fifo->addFIFOObserver(&observer, status);
  nQoSim::failNextAcquire(-50001);
  tStatus2 committed;
  fifo->commit(committed);
  EXPECT_EQ(committed.code, -50001);
  EXPECT_EQ(dispatcher->primaryHandlers[1], overflow);
  EXPECT_EQ(dispatcher->primaryHandlers[0], nullptr);
  EXPECT_EQ(fifo->attachedSources(), 2u);
  EXPECT_EQ(fifo->state().getState(), 3u) << "the first arm's source is on";

  fifo->commit(status);
  ASSERT_EQ(fifo->attachedSources(), 3u);
  bus.failNext(tCall::kAtomic, -50001);
  tStatus2 armed;
  fifo->arm(armed);
  EXPECT_EQ(armed.code, -50001);
  EXPECT_EQ(map->Interrupt_A_Enable.getRegister(), 0x0020u) << "the first arm's source stays on";
  EXPECT_EQ(fifo->armedSources(), 2u);
  fifo->uncommit(status);
  EXPECT_EQ(map->Interrupt_A_Enable.getRegister(), 0u);
  EXPECT_EQ(fifo->attachedSources(), 0u);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tFIFOTest, StartStopAndSlot24AreNotSupported) {
  build(4);
  tStatus2 start, stop, slot24;
  fifo->start(start);
  EXPECT_TRUE(loggedAt(-50256, "source/qomiop/ai/tBaseAIDeviceFIFOPrimitive", 138));
  fifo->stop(stop);
  EXPECT_TRUE(loggedAt(-50256, "source/qomiop/ai/tBaseAIDeviceFIFOPrimitive", 147));
  fifo->reserved24(slot24);
  EXPECT_TRUE(loggedAt(-50256, "source/qomiop/ai/tBaseAIDeviceFIFOPrimitive", 407));
  EXPECT_EQ(slot24.code, -50256);
}

}  // namespace
}  // namespace nQoTest
