// The Tavik interrupt dispatcher: construction, attach and detach, the
// primary routine over every source, pairs, change detection, the secondary
// pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "interruptFixture.h"
#include "sim/simSync.h"

namespace nQoTest {
namespace {

using nQoSim::tSimBus;
using tCall = tSimBus::tCall;
using W = tSimRegisterWindows;

constexpr tAccess kAtomicBegin{~0u, 0, 0, 0, W::kAtomicBegin};
constexpr tAccess kAtomicEnd{~0u, 0, 0, 0, W::kAtomicEnd};

tAccess write32(uint32_t offset, uint32_t value) { return {0, offset, 32, value, W::kWrite}; }
tAccess write16(uint32_t offset, uint32_t value) { return {0, offset, 16, value, W::kWrite}; }
tAccess write8(uint32_t offset, uint32_t value) { return {0, offset, 8, value, W::kWrite}; }

TEST_F(tTavikTest, ConstructionDisablesEveryCorrelatedDigitalSourceUntilAnError) {
  nQoUdRLP100::nTavik::tTavik map(&bus, window, &status);
  windows.clearLog();
  { tTavikInterruptDispatcher dispatcher(&map, 1, &status); }
  EXPECT_EQ(windows.writes(), (std::vector<tAccess>{
                                  {0, 0x224, 32, 0x2000, W::kWrite},
                                  {0, 0x224, 32, 0x200, W::kWrite},
                                  {0, 0x224, 32, 0x800, W::kWrite},
                                  {0, 0x224, 32, 0x80, W::kWrite},
                                  {0, 0x224, 32, 0x20000, W::kWrite},
                              }));
  EXPECT_EQ(nQoSim::liveSyncObjects(), 22);  // the dispatcher's lock is closed again

  windows.clearLog();
  nQoMDBG100::tStatus2 failedStatus(-1);
  { tTavikInterruptDispatcher dispatcher(&map, 1, &failedStatus); }
  EXPECT_TRUE(windows.writes().empty());
}

TEST_F(tDispatcherTest, TheFirstAttachRegistersOnceAndTheLastDetachUnregisters) {
  EXPECT_TRUE(dispatcher->attachInterrupt(status));
  EXPECT_FALSE(dispatcher->attachInterrupt(status));
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(bus.calls(),
            (std::vector<tCall>{{tCall::kRegisterInterrupt, 0x7FFFFFFF, 1, 0, 0, 0x1000},
                                {tCall::kAtomic, 0, 0, 0, 0, 0}}));
  EXPECT_EQ(windows.log(),
            (std::vector<tAccess>{kAtomicBegin, write16(0x176, 0x0800), write16(0x176, 0x8800),
                                  write8(0x88, 0x01), kAtomicEnd}));
  EXPECT_EQ(bus.registrations(), 1);

  // A primitive still in its slot keeps the registration.
  dispatcher->primaryHandlers[3] = &handlers[3];
  clearLogs();
  EXPECT_FALSE(dispatcher->detachInterrupt(&status, false));
  EXPECT_EQ(bus.registrations(), 1);
  EXPECT_TRUE(windows.log().empty());

  dispatcher->primaryHandlers[3] = nullptr;
  EXPECT_TRUE(dispatcher->detachInterrupt(&status, false));
  EXPECT_EQ(windows.log(),
            (std::vector<tAccess>{kAtomicBegin, write16(0x176, 0x8000), write16(0x176, 0x0000),
                                  write8(0x88, 0x00), kAtomicEnd}));
  EXPECT_EQ(bus.registrations(), 0);
  EXPECT_FALSE(dispatcher->detachInterrupt(&status, true));  // nothing left to detach
  EXPECT_EQ(status.code, 0);
}

TEST_F(tDispatcherTest, AttachWithAnErrorHeldDoesNothing) {
  nQoMDBG100::tStatus2 failedStatus(-50003);
  EXPECT_FALSE(dispatcher->attachInterrupt(failedStatus));
  EXPECT_TRUE(bus.calls().empty());
  EXPECT_TRUE(windows.log().empty());

  // A registration the bus refuses answers false and switches nothing on.
  bus.failNext(tCall::kRegisterInterrupt, -50352);
  EXPECT_FALSE(dispatcher->attachInterrupt(status));
  EXPECT_EQ(status.code, -50352);
  EXPECT_EQ(bus.registrations(), 0);
  EXPECT_TRUE(windows.log().empty());
}

TEST_F(tDispatcherTest, DetachWithAnErrorHeldStillSwitchesOffAndUnregisters) {
  attach(3);
  dispatcher->primaryHandlers[3] = nullptr;
  clearLogs();
  nQoMDBG100::tStatus2 failedStatus(-50003);
  EXPECT_TRUE(dispatcher->detachInterrupt(&failedStatus, false));
  EXPECT_EQ(bus.registrations(), 0);
  EXPECT_EQ(windows.writes(), (std::vector<tAccess>{write16(0x176, 0x8000), write16(0x176, 0x0000),
                                                    write8(0x88, 0x00)}));
  EXPECT_EQ(failedStatus.code, -50003);  // the first error stays

  // A failure on the way is merged into the caller's status; the
  // unregistration still happens.
  attach(3);
  dispatcher->primaryHandlers[3] = nullptr;
  bus.failNext(tCall::kAtomic, -50400);
  nQoMDBG100::tStatus2 fresh;
  EXPECT_TRUE(dispatcher->detachInterrupt(&fresh, false));
  EXPECT_EQ(fresh.code, -50400);
  EXPECT_EQ(bus.registrations(), 0);
}

TEST_F(tDispatcherTest, DestructionForcesTheDetach) {
  attach(3);
  delete dispatcher;
  dispatcher = nullptr;
  EXPECT_EQ(bus.registrations(), 0);
}

TEST_F(tDispatcherTest, GroupAIsNotReadWhileItsMasterBitIsClear) {
  windows.setRead(window, 0x104, 16, 0xFFFF);
  EXPECT_EQ(dispatcher->resolvePrimaryInterrupt(), 0u);
  EXPECT_EQ(offsetsRead(), (std::vector<uint32_t>{0x240, 0x244}));
}

TEST_F(tDispatcherTest, Source7AcknowledgesTwiceWhileBit3IsClearAndAnswersTheBus) {
  attach(7);
  enable(&tTavikInterruptDispatcher::enableGroupAInterruptBit4);
  windows.setRead(window, 0x104, 16, 0x8010);
  clearLogs();

  EXPECT_EQ(bus.raise(1), 2u);
  EXPECT_EQ(calls, (std::vector<uint32_t>{7}));
  EXPECT_EQ(writes(), (std::vector<tAccess>{write16(0x104, 0x1000), write16(0x104, 0x0800)}));

  enable(&tTavikInterruptDispatcher::enableGroupAInterruptBit3);
  clearLogs();
  bus.raise(1);
  EXPECT_EQ(writes(), (std::vector<tAccess>{write16(0x104, 0x1000)}));

  handlers[7].answer = 0;  // nothing for it: no acknowledge
  clearLogs();
  EXPECT_EQ(bus.raise(1), 0u);
  EXPECT_TRUE(writes().empty());
}

TEST_F(tDispatcherTest, AnAnswerOf2AsksForOneSecondaryPassUnlessALaterAnswerWithdrawsIt) {
  attach(7);
  enable(&tTavikInterruptDispatcher::enableGroupAInterruptBit4);
  windows.setRead(window, 0x104, 16, 0x8010);

  handlers[7].answer = 2;
  EXPECT_EQ(bus.raise(1), 1u);
  EXPECT_EQ(dispatcher->secondaryRequest(7), 1u);
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  EXPECT_EQ(handlers[7].secondaryCalls, 1u);
  EXPECT_EQ(dispatcher->secondaryRequest(7), 0u);
  EXPECT_EQ(bus.pumpSecondary(), 0u);

  EXPECT_EQ(bus.raise(1), 1u);
  handlers[7].answer = 1;
  EXPECT_EQ(bus.raise(1), 2u);
  bus.pumpSecondary();
  EXPECT_EQ(handlers[7].secondaryCalls, 1u);
}

TEST_F(tDispatcherTest, AnEmptySlotIsNeverCalled) {
  attach(3);
  dispatcher->primaryHandlers[3] = nullptr;
  enable(&tTavikInterruptDispatcher::enableGroupAInterruptBit1);  // source 4
  windows.setRead(window, 0x104, 16, 0x8080);
  clearLogs();
  EXPECT_EQ(dispatcher->resolvePrimaryInterrupt(), 0u);
  EXPECT_TRUE(writes().empty());
  EXPECT_EQ(dispatcher->secondaryRequest(4), 0u);
}

// Every source pending and enabled: the bits of each group's status, the
// counters, the third group and change detection.
class tAllSourcesTest : public tDispatcherTest {
 protected:
  void SetUp() override {
    tDispatcherTest::SetUp();
    dispatcher->attachInterrupt(status);
    // Switched on before any interrupt is raised, so not yet atomically.
    for (uint32_t id = 0; id < nQoUdRLP100::kSourceSwitchCount; ++id)
      dispatcher->enableSource(static_cast<nQoUdRLP100::tSourceSwitchId>(id), status, 0xFF);
    ASSERT_EQ(status.code, 0);
    for (uint32_t offset : {0x104u, 0x106u, 0x13Au, 0x1B8u, 0x1BAu})
      windows.setRead(window, offset, 16, 0xFFFF);
    windows.setRead(window, 0x88, 8, 0x01);
    windows.setRead(window, 0xA1, 8, 0x0F);
    windows.setRead(window, 0x224, 32, 0xFFFFFFFF);
    windows.setRead(window, 0x240, 32, 0x1);
    windows.setRead(window, 0x244, 32, 0x1);
  }
  void fillSlots() {
    for (uint32_t source = 0; source < tDispatcher::kSourceCount; ++source) {
      dispatcher->primaryHandlers[source] = &handlers[source];
      dispatcher->secondaryHandlers[source] = &handlers[source];
    }
  }
};

TEST_F(tAllSourcesTest, EmptySlotsContributeNothingAcknowledgeNothingAndRequestNothing) {
  clearLogs();
  EXPECT_EQ(bus.raise(1), 0u);
  EXPECT_TRUE(writes().empty());
  for (uint32_t source = 0; source < tDispatcher::kSourceCount; ++source)
    EXPECT_EQ(dispatcher->secondaryRequest(source), 0u) << "source " << source;
  EXPECT_EQ(bus.pumpSecondary(), 0u);
}

TEST_F(tAllSourcesTest, EverySourceIsServedOnceInTableOrderWithItsAcknowledge) {
  fillSlots();
  for (auto& handler : handlers) handler.answer = 2;
  clearLogs();
  EXPECT_EQ(bus.raise(1), 1u);
  EXPECT_EQ(calls, (std::vector<uint32_t>{1,  2,  0,  3,  4,  5,  6,  7,  29, 30, 8,
                                          14, 9,  15, 16, 17, 18, 20, 31, 32, 25, 26,
                                          22, 23, 21, 24, 27, 10, 11, 12, 13, 28}));
  EXPECT_EQ(writes(),
            (std::vector<tAccess>{
                write16(0x104, 0x2000), write16(0x104, 0x0100),     write16(0x104, 0x0200),
                write16(0x104, 0x0400), write16(0x104, 0x0800),     write16(0x104, 0x1000),
                write16(0x104, 0x8000), write16(0x104, 0x4000),     write16(0x106, 0x0100),
                write16(0x106, 0x2000), write16(0x106, 0x0200),     write16(0x106, 0x0800),
                write16(0x106, 0x1000), write16(0x106, 0x0080),     write16(0x106, 0x0400),
                write16(0x106, 0x8000), write16(0x106, 0x4000),     write32(0x224, 0x4000),
                write32(0x224, 0x8000), write32(0x250, 0xFFFFFFFF), write32(0x254, 0xFFFFFFFF)}));

  // One secondary pass serves every source that asked, in source order.
  calls.clear();
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  std::vector<uint32_t> expected;
  for (uint32_t source = 0; source < tDispatcher::kSourceCount; ++source)
    if (source != 19) expected.push_back(100 + source);
  EXPECT_EQ(calls, expected);
}

TEST_F(tAllSourcesTest, TheAnswerIs1WheneverAnyHandlerAsksForASecondPass) {
  fillSlots();
  handlers[13].answer = 2;
  EXPECT_EQ(bus.raise(1), 1u);
  handlers[13].answer = 1;
  EXPECT_EQ(bus.raise(1), 2u);
  for (auto& handler : handlers) handler.answer = 0;
  EXPECT_EQ(bus.raise(1), 0u);
}

TEST_F(tAllSourcesTest, ConditionsOfSources0_9And17) {
  fillSlots();
  // Bits 14 and 13 set and 12 clear: source 0 pending, source 9 not.
  windows.setRead(window, 0x104, 16, 0xE000);
  windows.setRead(window, 0x106, 16, 0xE002);
  windows.setRead(window, 0x13A, 16, 0x0000);  // source 17 not pending
  clearLogs();
  bus.raise(1);
  EXPECT_NE(std::count(calls.begin(), calls.end(), 0u), 0);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), 9u), 0);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), 17u), 0);

  // Bit 12 set, 13 and 14 clear: source 0 not pending, source 9 pending;
  // without its enable bit 0x13A is not even read.
  windows.setRead(window, 0x104, 16, 0x9000);
  windows.setRead(window, 0x106, 16, 0x9002);
  disable(&tTavikInterruptDispatcher::disableGroupBInterruptBit4);
  clearLogs();
  bus.raise(1);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), 0u), 0);
  EXPECT_NE(std::count(calls.begin(), calls.end(), 9u), 0);
  const auto read = offsetsRead();
  EXPECT_EQ(std::count(read.begin(), read.end(), 0x13Au), 0);
}

TEST_F(tAllSourcesTest, APairAcknowledgesOnceAndAnswersForBoth) {
  fillSlots();
  for (auto& handler : handlers) handler.answer = 0;
  handlers[1].answer = 1;
  handlers[2].answer = 2;
  clearLogs();
  EXPECT_EQ(bus.raise(1), 1u);
  EXPECT_EQ(writes(), (std::vector<tAccess>{write16(0x104, 0x2000)}));
  EXPECT_EQ(dispatcher->secondaryRequest(1), 0u);
  EXPECT_EQ(dispatcher->secondaryRequest(2), 1u);

  handlers[2].answer = 0;
  handlers[22].answer = 1;
  clearLogs();
  EXPECT_EQ(bus.raise(1), 2u);
  EXPECT_EQ(writes(), (std::vector<tAccess>{write16(0x104, 0x2000), write32(0x224, 0x8000)}));
}

TEST_F(tAllSourcesTest, TheThirdGroupWaitsForItsMasterBitAndItsStatus) {
  fillSlots();
  windows.setRead(window, 0x88, 8, 0x00);
  clearLogs();
  bus.raise(1);
  auto read = offsetsRead();
  EXPECT_EQ(std::count(read.begin(), read.end(), 0x224u), 0);
  EXPECT_EQ(std::count(read.begin(), read.end(), 0xA1u), 0);

  // The master bit clear: 0x88 itself is not read.
  tDispatcher::tAtomicStatusPtrDispatcher off(dispatcher,
                                              &tTavikInterruptDispatcher::disableBoardInterrupt);
  off.exec(&status);
  clearLogs();
  EXPECT_EQ(dispatcher->resolvePrimaryInterrupt(), 2u);  // change detection still served
  EXPECT_EQ(offsetsRead(), (std::vector<uint32_t>{0x240, 0x244}));
  EXPECT_EQ(calls, (std::vector<uint32_t>{28}));
}

TEST_F(tDispatcherTest, ChangeDetectionIsServedFromEitherStatusAndAcknowledgedTwice) {
  attach(28);
  clearLogs();
  tDispatcher::tChangeDetectionAtomicDispatcher on(
      dispatcher, &tTavikInterruptDispatcher::enableChangeDetectionInterrupt, nullptr, status, 0xFF,
      1);
  on.exec();
  EXPECT_EQ(writes(), (std::vector<tAccess>{write32(0x248, 0xFF)}));
  EXPECT_EQ(dispatcher->enabledFlag(nQoUdRLP100::kSource28Enabled), 1u);
  windows.setRead(window, 0x244, 32, 0x10);
  clearLogs();
  EXPECT_EQ(bus.raise(1), 2u);
  EXPECT_EQ(calls, (std::vector<uint32_t>{28}));
  std::vector<tAccess> changeDetection;
  for (const auto& access : windows.log())
    if (access.offset >= 0x240) changeDetection.push_back(access);
  EXPECT_EQ(changeDetection, (std::vector<tAccess>{{0, 0x240, 32, 0, W::kRead},
                                                   {0, 0x244, 32, 0x10, W::kRead},
                                                   write32(0x250, 0xFFFFFFFF),
                                                   {0, 0x244, 32, 0x10, W::kRead},
                                                   write32(0x254, 0xFFFFFFFF)}));

  windows.setRead(window, 0x244, 32, 0);
  clearLogs();
  EXPECT_EQ(bus.raise(1), 0u);
  EXPECT_TRUE(calls.empty());

  // Disabled: the disable word goes out and a pending change is not served.
  dispatcher->disableChangeDetectionInterrupt(nullptr);
  EXPECT_EQ(writes(), (std::vector<tAccess>{write32(0x24C, 0xFFFFFFFF)}));
  windows.setRead(window, 0x240, 32, 0x1);
  EXPECT_EQ(bus.raise(1), 0u);
  EXPECT_TRUE(calls.empty());
}

TEST_F(tDispatcherTest, TheSnapshotTakesAndClearsTheRequestsAtomically) {
  attach(3);
  enable(&tTavikInterruptDispatcher::enableGroupAInterruptBit0);
  enable(&tTavikInterruptDispatcher::enableGroupAInterruptBit3);
  dispatcher->primaryHandlers[6] = &handlers[6];
  handlers[3].answer = 2;
  handlers[6].answer = 2;
  windows.setRead(window, 0x104, 16, 0x8060);
  bus.raise(1);

  uint32_t pending[tDispatcher::kSourceCount];
  tDispatcher::tAtomicPendingSnapshotDispatcher snapshot(dispatcher, pending);
  clearLogs();
  snapshot.exec();
  EXPECT_EQ(bus.calls(), (std::vector<tCall>{{tCall::kAtomic, 0, 0, 0, 0, 0}}));
  for (uint32_t source = 0; source < tDispatcher::kSourceCount; ++source) {
    EXPECT_EQ(pending[source], source == 3 || source == 6 ? 1u : 0u) << "source " << source;
    EXPECT_EQ(dispatcher->secondaryRequest(source), 0u);
  }
  // A request made after the snapshot waits for the next pass.
  bus.raise(1);
  EXPECT_EQ(dispatcher->resolveSecondaryInterrupt(), 1u);
  EXPECT_EQ(handlers[3].secondaryCalls, 1u);
  EXPECT_EQ(handlers[6].secondaryCalls, 0u);  // it has no secondary slot
}

TEST_F(tDispatcherTest, TheQueriesReadTheirStatusUnlessAnErrorIsHeld) {
  windows.setRead(window, 0x104, 16, 0x1400);
  windows.setRead(window, 0x13A, 16, 0x0004);
  EXPECT_EQ(dispatcher->isSource0Asserted(&status), 0u);
  EXPECT_EQ(dispatcher->isSource1Asserted(&status), 1u);
  EXPECT_EQ(dispatcher->isSource17Asserted(&status), 1u);
  EXPECT_EQ(dispatcher->isSource0Enabled(), 0u);
  enable(&tTavikInterruptDispatcher::enableGroupAInterruptBit7);
  EXPECT_EQ(dispatcher->isSource0Enabled(), 1u);

  nQoMDBG100::tStatus2 failedStatus(-1);
  clearLogs();
  EXPECT_EQ(dispatcher->isSource1Asserted(&failedStatus), 0u);
  EXPECT_EQ(dispatcher->isSource17Asserted(&failedStatus), 0u);
  dispatcher->acknowledgeSources1And2(&failedStatus);
  EXPECT_TRUE(windows.log().empty());
  dispatcher->acknowledgeSources1And2(nullptr);
  EXPECT_EQ(writes(), (std::vector<tAccess>{write16(0x104, 0x2000)}));
}

}  // namespace
}  // namespace nQoTest
