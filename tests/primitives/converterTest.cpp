// The AI converter on the real dispatcher: the start-up pulse, commit, arm and
// the overrun handler's two passes, the observer list, and the status sites.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "primitives/ai/tAI_ADCPrimitive.h"
#include "sim/simAllocator.h"
#include "sim/simSync.h"
#include "support/boardChecks.h"
#include "support/heldDisarm.h"
#include "support/statusRecords.h"
#include "tavik/tTavikInterruptDispatcher.h"
#include "tavik/tavikFixture.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tAI_ADCPrimitive;
using nQoUdP100::tAIFirstEntry;
using nQoUdP100::tBaseAI_ADCPrimitive;
using tLog = std::vector<tAccess>;

// Answers what the test set; logs its calls by name (secondary: 100 + name).
class tObserver : public tBaseAI_ADCPrimitive::iObserver {
 public:
  tObserver(uint32_t name, std::vector<uint32_t>* calls) : name(name), calls(calls) {}
  uint32_t handleOverrun(tBaseAI_ADCPrimitive*, tStatus2&) override {
    calls->push_back(name);
    return answer;
  }
  void handleOverrunSecondary(tBaseAI_ADCPrimitive*, tStatus2&) override {
    calls->push_back(100 + name);
    if (duringSecondary) duringSecondary();
  }
  uint32_t name;
  std::vector<uint32_t>* calls;
  uint32_t answer = 0;
  std::function<void()> duringSecondary;
};

class tConverterTest : public tTavikMapTest {
 protected:
  void SetUp() override {
    tTavikMapTest::SetUp();
    dispatcher = new nQoUdRLP100::tTavikInterruptDispatcher(map, 1, &status);
    converter = new tAI_ADCPrimitive(&entry, map, dispatcher, status);
    ASSERT_EQ(status.code, 0);
    clearLogs();
  }
  void TearDown() override {
    delete converter;
    delete dispatcher;
    tTavikMapTest::TearDown();
  }
  void clearLogs() {
    windows.clearLog();
    bus.clearCalls();
    calls.clear();
  }

  tAIFirstEntry entry;
  nQoUdRLP100::tTavikInterruptDispatcher* dispatcher = nullptr;
  tAI_ADCPrimitive* converter = nullptr;
  std::vector<uint32_t> calls;
  tObserver first{1, &calls}, second{2, &calls}, third{3, &calls}, fourth{4, &calls};
};

TEST_F(tTavikMapTest, ConstructionPulsesTheAISectionOnlyWithANonZeroStartUpFlag) {
  nQoUdRLP100::tTavikInterruptDispatcher dispatcher(map, 1, &status);
  const uint32_t on = 7, off = 0;
  const tAIFirstEntry pulsing{&on}, quiet{&off}, none{};
  windows.clearLog();
  { tAI_ADCPrimitive converter(&pulsing, map, &dispatcher, status); }
  EXPECT_EQ(windows.log(),
            (tLog{wrote(0x064, 0x00, 8), wrote(0x064, 0x01, 8), kBusFlush, wrote(0x110, 0x0001),
                  wrote(0x110, 0x0001), wrote(0x110, 0x0001), kBusFlush}));
  EXPECT_EQ(map->AI_Command_1.getRegister(), 0);  // the strobe leaves nothing behind
  windows.clearLog();
  for (const tAIFirstEntry* owner : {&quiet, &none, static_cast<const tAIFirstEntry*>(nullptr)}) {
    tAI_ADCPrimitive converter(owner, map, &dispatcher, status);
    EXPECT_EQ(converter.isReady(), owner != nullptr);
  }
  tStatus2 failed(-1);
  { tAI_ADCPrimitive converter(&pulsing, map, &dispatcher, failed); }
  EXPECT_TRUE(windows.log().empty());
  EXPECT_EQ(status.code, 0);
}

TEST_F(tConverterTest, WithoutObserversTheFourOperationsTouchNothing) {
  EXPECT_FALSE(converter->commit(status));
  converter->arm(status);
  converter->disarm(status);
  converter->uncommit(status);
  EXPECT_TRUE(windows.log().empty());
  EXPECT_TRUE(bus.calls().empty());
  EXPECT_FALSE(converter->isAttached());
  EXPECT_EQ(status.code, 0);
}

TEST_F(tConverterTest, CommitAttachesOnceAndArmEnablesBit5InOneAtomicRun) {
  converter->addObserver(&first, status);
  EXPECT_TRUE(converter->commit(status));
  EXPECT_TRUE(converter->commit(status));
  EXPECT_EQ(bus.calls(),
            (std::vector<tCall>{{tCall::kRegisterInterrupt, 0x7FFFFFFF, 1, 0, 0, 0x1000},
                                {tCall::kAtomic, 0, 0, 0, 0, 0}}));
  EXPECT_NE(dispatcher->primaryHandlers[2], nullptr);
  EXPECT_NE(dispatcher->secondaryHandlers[2], nullptr);
  clearLogs();
  converter->arm(status);
  EXPECT_EQ(windows.log(), (tLog{kAtomicBegin, wrote(0x192, 0x0020), kAtomicEnd}));
  clearLogs();
  converter->disarm(status);
  EXPECT_EQ(windows.log(), (tLog{kAtomicBegin, wrote(0x192, 0x0000), kAtomicEnd}));
  converter->uncommit(status);
  EXPECT_EQ(dispatcher->primaryHandlers[2], nullptr);
  EXPECT_EQ(dispatcher->secondaryHandlers[2], nullptr);
  EXPECT_EQ(bus.registrations(), 0);
  EXPECT_FALSE(converter->isAttached());
  EXPECT_EQ(status.code, 0);

  bus.failNext(tCall::kRegisterInterrupt, -50352);
  EXPECT_FALSE(converter->commit(status));
  EXPECT_EQ(status.code, -50352);
  EXPECT_EQ(dispatcher->primaryHandlers[2], nullptr);
}

// A second commit or arm finds the handler attached and the source on: it
// asks for nothing, so a lock or an atomic run that would fail now cannot
// take out what the first one took.
TEST_F(tConverterTest, ASecondCommitOrArmKeepsTheHandlerAndTheSourceOfTheFirst) {
  converter->addObserver(&first, status);
  ASSERT_TRUE(converter->commit(status));
  converter->arm(status);
  ASSERT_EQ(status.code, 0);
  clearLogs();
  nQoSim::failNextAcquire(-50001);
  tStatus2 committed;
  EXPECT_TRUE(converter->commit(committed));
  EXPECT_EQ(committed.code, 0);
  nQoSim::failNextAcquire(0);
  bus.failNext(tCall::kAtomic, -50001);
  tStatus2 armed;
  converter->arm(armed);
  EXPECT_EQ(armed.code, 0);
  bus.failNext(tCall::kAtomic, 0);
  EXPECT_TRUE(windows.log().empty());
  EXPECT_TRUE(bus.calls().empty());
  EXPECT_NE(dispatcher->primaryHandlers[2], nullptr);
  EXPECT_EQ(bus.registrations(), 1);
  EXPECT_TRUE(converter->isAttached());
  EXPECT_TRUE(converter->isOverrunEnabled());
  EXPECT_EQ(map->Interrupt_A_Enable.getRegister() & 0x0020, 0x0020);
  converter->disarm(status);
  converter->uncommit(status);
  EXPECT_EQ(bus.registrations(), 0);
  EXPECT_EQ(status.code, 0);
}

// Code 4100 before any commit: the overrun source stays off, as no handler
// would acknowledge it, and no arm is recorded, so the disarm touches
// nothing; the arm after a commit switches it on.
TEST_F(tConverterTest, AnArmWithoutACommitLeavesTheSourceOffAndRecordsNoArm) {
  converter->addObserver(&first, status);
  converter->arm(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_TRUE(windows.log().empty());
  EXPECT_EQ(sourcesWithoutHandler(windows, window, *dispatcher), "");
  EXPECT_FALSE(converter->isOverrunEnabled());
  converter->disarm(status);
  EXPECT_TRUE(windows.log().empty());

  ASSERT_TRUE(converter->commit(status));
  converter->arm(status);
  EXPECT_TRUE(converter->isOverrunEnabled());
  EXPECT_EQ(map->Interrupt_A_Enable.getRegister(), 0x0020u);
  converter->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A transfer's release takes its record out after the commit and the arm:
// disarm and uncommit still switch the source off and detach the handler,
// once each, so the next owner finds the converter as fresh.
TEST_F(tConverterTest, DisarmAndUncommitUndoWhatTheConverterHoldsAfterItsObserversWent) {
  converter->addObserver(&first, status);
  ASSERT_TRUE(converter->commit(status));
  converter->arm(status);
  converter->removeObserver(&first, status);
  clearLogs();
  converter->disarm(status);
  EXPECT_EQ(windows.log(), (tLog{kAtomicBegin, wrote(0x192, 0x0000), kAtomicEnd}));
  converter->uncommit(status);
  EXPECT_EQ(dispatcher->primaryHandlers[2], nullptr);
  EXPECT_EQ(bus.registrations(), 0);
  EXPECT_FALSE(converter->isAttached());
  clearLogs();
  converter->disarm(status);
  converter->uncommit(status);
  EXPECT_TRUE(windows.log().empty());
  EXPECT_EQ(status.code, 0);
}

// An uncommit right after the arm, or after a commit of the armed converter,
// switches the overrun source off before the handler goes; so does the
// destruction of an armed converter.
TEST_F(tConverterTest, AnUncommitOrTheDestructionOfAnArmedConverterDisarmsItFirst) {
  converter->addObserver(&first, status);
  for (const bool commitAgain : {false, true}) {
    SCOPED_TRACE(commitAgain ? "4100, 1, 4" : "4100, 4");
    ASSERT_TRUE(converter->commit(status));
    converter->arm(status);
    if (commitAgain) converter->commit(status);
    ASSERT_EQ(map->Interrupt_A_Enable.getRegister(), 0x0020u);
    clearLogs();
    converter->uncommit(status);
    EXPECT_EQ(status.code, 0);
    const tLog log = windows.log();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(tLog(log.begin(), log.begin() + 3),
              (tLog{kAtomicBegin, wrote(0x192, 0x0000), kAtomicEnd}))
        << "the source off before the handler goes";
    EXPECT_FALSE(converter->isOverrunEnabled());
    EXPECT_FALSE(converter->isAttached());
    EXPECT_EQ(dispatcher->primaryHandlers[2], nullptr);
    clearLogs();
    converter->disarm(status);
    EXPECT_TRUE(windows.log().empty()) << "the arm was undone twice";
  }

  ASSERT_TRUE(converter->commit(status));
  converter->arm(status);
  ASSERT_EQ(map->Interrupt_A_Enable.getRegister(), 0x0020u);
  delete converter;
  converter = nullptr;
  EXPECT_EQ(map->Interrupt_A_Enable.getRegister(), 0u) << "the source outlived its handler";
  EXPECT_EQ(dispatcher->primaryHandlers[2], nullptr);
  EXPECT_EQ(bus.registrations(), 0);
}

TEST_F(tConverterTest, AnOverrunThatAnObserverAnswersDisablesAcknowledgesAndReenablesLater) {
  converter->addObserver(&first, status);
  converter->commit(status);
  converter->arm(status);
  windows.setRead(window, 0x104, 16, 0x8800);
  first.answer = 1;
  clearLogs();
  EXPECT_EQ(bus.raise(1), 1u);
  EXPECT_EQ(calls, (std::vector<uint32_t>{1}));
  const tLog log = windows.log();
  ASSERT_GE(log.size(), 5u);
  EXPECT_EQ(tLog(log.begin(), log.begin() + 5),
            (tLog{read(0x104, 0x8800), kAtomicBegin, wrote(0x192, 0x0000), kAtomicEnd,
                  wrote(0x104, 0x2000)}));
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x192, 0x0000), wrote(0x104, 0x2000)}));
  clearLogs();
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  EXPECT_EQ(calls, (std::vector<uint32_t>{101}));
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x192, 0x0020)}));
  EXPECT_EQ(bus.pumpSecondary(), 0u);

  first.answer = 0;
  clearLogs();
  EXPECT_EQ(bus.raise(1), 2u);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x104, 0x2000)}));
  EXPECT_EQ(map->Interrupt_A_Enable.getRegister() & 0x0020, 0x0020);
  EXPECT_EQ(bus.pumpSecondary(), 0u);
  EXPECT_EQ(calls, (std::vector<uint32_t>{1}));

  // A disarm while the secondary pass is under way: the pass leaves the
  // source off.
  first.answer = 1;
  first.duringSecondary = [&] { converter->disarm(status); };
  EXPECT_EQ(bus.raise(1), 1u);
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  EXPECT_EQ(map->Interrupt_A_Enable.getRegister() & 0x0020, 0);
  EXPECT_FALSE(converter->isOverrunEnabled());
  converter->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// The disarm on the codes' thread, held at its write that switches the
// overrun source off, and the secondary pass on another thread beside it,
// held as it reaches the bus: the pass leaves the source off, whichever of
// the two looked at the arm's record first.
TEST_F(tConverterTest, ASecondaryPassBesideADisarmLeavesTheSourceOff) {
  converter->addObserver(&first, status);
  ASSERT_TRUE(converter->commit(status));
  converter->arm(status);
  ASSERT_EQ(status.code, 0);
  tStatus2 disarmed;
  EXPECT_TRUE(passBesideHeldDisarm(
      windows, bus, 0x192, 0x0020, [&] { converter->disarm(disarmed); },
      [&] { dispatcher->secondaryHandlers[2].load()->handleSecondaryInterrupt(); }));
  EXPECT_EQ(disarmed.code, 0);
  EXPECT_EQ(map->Interrupt_A_Enable.getRegister() & 0x0020, 0);
  EXPECT_EQ(dispatcher->enabledFlag(nQoUdRLP100::kSource2Enabled), 0u);
  EXPECT_FALSE(converter->isOverrunEnabled());
  converter->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A committed converter that is destroyed leaves no handler in the
// dispatcher and the board interrupt detached.
TEST_F(tConverterTest, DestructionEmptiesTheOverrunSlotsAndDetaches) {
  converter->addObserver(&first, status);
  ASSERT_TRUE(converter->commit(status));
  converter->removeObserver(&first, status);  // the slots stay taken all the same
  delete converter;
  converter = nullptr;
  ASSERT_EQ(dispatcher->primaryHandlers[2], nullptr);
  ASSERT_EQ(dispatcher->secondaryHandlers[2], nullptr);
  EXPECT_EQ(bus.registrations(), 0);
  windows.setRead(window, 0x104, 16, 0x8800);
  EXPECT_EQ(dispatcher->resolvePrimaryInterrupt(), 0u);
  EXPECT_TRUE(calls.empty());
}

TEST_F(tConverterTest, TheSecondaryPassCallsOnlyTheObserversThatAsked) {
  for (tObserver* observer : {&first, &second, &third}) converter->addObserver(observer, status);
  second.answer = 1;
  converter->commit(status);
  EXPECT_EQ(dispatcher->primaryHandlers[2].load()->handleInterrupt(), 2u);
  dispatcher->secondaryHandlers[2].load()->handleSecondaryInterrupt();
  EXPECT_EQ(calls, (std::vector<uint32_t>{1, 2, 3, 102}));
  calls.clear();
  dispatcher->secondaryHandlers[2].load()->handleSecondaryInterrupt();
  EXPECT_TRUE(calls.empty());
  converter->uncommit(status);
}

TEST_F(tConverterTest, TheListDoublesOnceAndReusesFreedRecordsAndAFailedGrowthIsReported) {
  for (tObserver* observer : {&first, &second, &third}) converter->addObserver(observer, status);
  converter->removeObserver(&second, status);
  uint64_t before = nQoSim::totalAllocations();
  converter->addObserver(&fourth, status);
  EXPECT_EQ(nQoSim::totalAllocations(), before);
  converter->commit(status);
  dispatcher->primaryHandlers[2].load()->handleInterrupt();
  EXPECT_EQ(calls, (std::vector<uint32_t>{1, 4, 3}));  // the fourth in the freed record

  nQoSim::failAllocation(1);
  converter->addObserver(&second, status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_TRUE(loggedAt(-50352, "tBaseAI_ADCPrimitive", 60));
  calls.clear();
  dispatcher->primaryHandlers[2].load()->handleInterrupt();
  EXPECT_EQ(calls, (std::vector<uint32_t>{1, 4, 3}));  // not added, the rest unharmed

  status.clear();
  before = nQoSim::totalAllocations();
  converter->addObserver(&second, status);
  EXPECT_EQ(nQoSim::totalAllocations(), before + 1);  // 3 -> 6 records
  tObserver fifth{5, &calls}, sixth{6, &calls}, seventh{7, &calls};
  converter->addObserver(&fifth, status);
  converter->addObserver(&sixth, status);
  EXPECT_EQ(nQoSim::totalAllocations(), before + 1);
  converter->addObserver(&seventh, status);
  EXPECT_EQ(nQoSim::totalAllocations(), before + 2);  // 6 -> 12
  calls.clear();
  dispatcher->primaryHandlers[2].load()->handleInterrupt();
  EXPECT_EQ(calls, (std::vector<uint32_t>{1, 4, 3, 2, 5, 6, 7}));
  EXPECT_EQ(status.code, 0);

  converter->removeObserver(&first, status);
  converter->removeObserver(&first, status);  // not in use any more: nothing
  calls.clear();
  dispatcher->primaryHandlers[2].load()->handleInterrupt();
  EXPECT_EQ(calls, (std::vector<uint32_t>{4, 3, 2, 5, 6, 7}));
  converter->uncommit(status);
}

TEST_F(tConverterTest, StatusSitesAndTheStatusWordReads) {
  converter->start(status);
  EXPECT_EQ(lastReport(), "-50256 qoudrk source/qomiop/ai/tBaseAI_ADCPrimitive 139");
  status.clear();
  converter->stop(status);
  EXPECT_EQ(lastReport(), "-50256 qoudrk source/qomiop/ai/tBaseAI_ADCPrimitive 147");

  windows.setRead(window, 0x104, 16, 0x0820);
  EXPECT_EQ(converter->readStatusBit5(nullptr), 1u);
  EXPECT_EQ(converter->readStatusBit11(nullptr), 1u);
  windows.setRead(window, 0x104, 16, 0x0000);
  EXPECT_EQ(converter->readStatusBit5(nullptr), 0u);
  EXPECT_EQ(map->Read_0104.getRegister(), 0);
  clearLogs();
  tStatus2 failed(-7);
  EXPECT_EQ(converter->readStatusBit5(&failed), 1u);
  EXPECT_TRUE(windows.log().empty());
  EXPECT_EQ(map->Read_0104.getRegister(), 0xFFFF);  // all ones in the 16-bit copy
  converter->acknowledgeBit11(&failed);
  EXPECT_TRUE(windows.log().empty());
  converter->acknowledgeBit11(nullptr);
  EXPECT_EQ(windows.log(), (tLog{wrote(0x104, 0x0800)}));

  tStatus2 held(-7);
  converter->addObserver(&first, held);
  EXPECT_FALSE(converter->commit(held));
  EXPECT_TRUE(bus.calls().empty());
  EXPECT_EQ(held.code, -7);
}

}  // namespace
}  // namespace nQoTest
