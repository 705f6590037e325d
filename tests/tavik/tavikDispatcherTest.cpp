// The Tavik interrupt dispatcher: attach and detach, the primary routine over
// its sources, the secondary pass, and the source switches with their binders.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "reservation/iInterruptHandler.h"
#include "reservation/iSecondaryInterruptHandler.h"
#include "sim/simStatusLog.h"
#include "sim/simSync.h"
#include "support/heldPass.h"
#include "support/silentRefusals.h"
#include "support/statusRecords.h"
#include "tavik/tTavikInterruptDispatcher.h"
#include "tavik/tTavikInterruptDispatcherBinders.h"
#include "tavik/tavikFixture.h"

namespace nQoTest {
namespace {

using D = nQoUdRLP100::tTavikInterruptDispatcher;
using namespace nQoUdRLP100;  // tEnabledFlag values

// Answers what the test set; logs calls by source (secondary as 100 + source).
class tScriptedHandler : public nQoMRTB100::iInterruptHandler,
                         public nQoMRTB100::iSecondaryInterruptHandler {
 public:
  tScriptedHandler() = default;
  tScriptedHandler(uint32_t source, std::vector<uint32_t>* calls) : source(source), calls(calls) {}
  tAnswer handleInterrupt() override {
    calls->push_back(source);
    return static_cast<tAnswer>(answer);
  }
  uint32_t handleSecondaryInterrupt() override {
    ++secondaryCalls;
    calls->push_back(100 + source);
    return 0;
  }
  uint32_t source = 0;
  std::vector<uint32_t>* calls = nullptr;
  uint32_t answer = 1;
  unsigned secondaryCalls = 0;
};

class tDispatcherTest : public tTavikTest {
 protected:
  void SetUp() override {
    tTavikTest::SetUp();
    map = new tTavik(&bus, window, &status);
    dispatcher = new D(map, 1, &status);
    ASSERT_EQ(status.code, 0);
    for (uint32_t source = 0; source < D::kSourceCount; ++source)
      handlers[source] = tScriptedHandler(source, &calls);
    clearLogs();
  }
  void TearDown() override {
    delete dispatcher;
    delete map;
    tTavikTest::TearDown();
  }
  void attach(uint32_t source) {
    dispatcher->attachInterrupt(status);
    dispatcher->primaryHandlers[source] = &handlers[source];
    dispatcher->secondaryHandlers[source] = &handlers[source];
  }
  void enable(D::tAtomicStatusRefDispatcher::tMember member) {
    D::tAtomicStatusRefDispatcher(dispatcher, member, status).exec();
  }
  void disable(D::tAtomicStatusPtrDispatcher::tMember member) {
    D::tAtomicStatusPtrDispatcher(dispatcher, member).exec(&status);
  }
  void clearLogs() {
    windows.clearLog();
    bus.clearCalls();
    calls.clear();
  }

  tTavik* map = nullptr;
  D* dispatcher = nullptr;
  std::vector<uint32_t> calls;
  tScriptedHandler handlers[D::kSourceCount];
};

TEST_F(tTavikTest, ConstructionDisablesEveryCorrelatedDigitalSourceUntilAnError) {
  tTavik map(&bus, window, &status);
  windows.clearLog();
  { D dispatcher(&map, 1, &status); }
  EXPECT_EQ(windows.writes(),
            (std::vector<tAccess>{wrote(0x224, 0x2000, 32), wrote(0x224, 0x200, 32),
                                  wrote(0x224, 0x800, 32), wrote(0x224, 0x80, 32),
                                  wrote(0x224, 0x20000, 32)}));
  windows.clearLog();
  nQoMDBG100::tStatus2 failedStatus(-1);
  { D dispatcher(&map, 1, &failedStatus); }
  EXPECT_TRUE(windows.writes().empty());
}

TEST_F(tDispatcherTest, TheFirstAttachRegistersOnceAndTheLastDetachUnregisters) {
  nQoMDBG100::tStatus2 failedStatus(-50003);
  EXPECT_FALSE(dispatcher->attachInterrupt(failedStatus));
  EXPECT_TRUE(bus.calls().empty());
  EXPECT_TRUE(dispatcher->attachInterrupt(status));
  EXPECT_FALSE(dispatcher->attachInterrupt(status));
  EXPECT_EQ(bus.calls(),
            (std::vector<tCall>{{tCall::kRegisterInterrupt, 0x7FFFFFFF, 1, 0, 0, 0x1000},
                                {tCall::kAtomic, 0, 0, 0, 0, 0}}));
  EXPECT_EQ(windows.log(),
            (std::vector<tAccess>{kAtomicBegin, wrote(0x176, 0x0800), wrote(0x176, 0x8800),
                                  wrote(0x88, 0x01, 8), kAtomicEnd}));
  dispatcher->primaryHandlers[3] = &handlers[3];
  clearLogs();
  EXPECT_FALSE(dispatcher->detachInterrupt(&status, false));
  EXPECT_EQ(bus.registrations(), 1);
  dispatcher->primaryHandlers[3] = nullptr;
  EXPECT_TRUE(dispatcher->detachInterrupt(&failedStatus, false));
  EXPECT_EQ(windows.log(),
            (std::vector<tAccess>{kAtomicBegin, wrote(0x176, 0x8000), wrote(0x176, 0x0000),
                                  wrote(0x88, 0x00, 8), kAtomicEnd}));
  EXPECT_EQ(bus.registrations(), 0);
  EXPECT_EQ(failedStatus.code, -50003);

  bus.failNext(tCall::kRegisterInterrupt, -50352);
  EXPECT_FALSE(dispatcher->attachInterrupt(status));
  EXPECT_EQ(status.code, -50352);
  status.clear();
  attach(3);
  bus.failNext(tCall::kAtomic, -50400);
  nQoMDBG100::tStatus2 fresh;
  EXPECT_TRUE(dispatcher->detachInterrupt(&fresh, true));
  EXPECT_EQ(fresh.code, -50400);
  EXPECT_EQ(bus.registrations(), 0);
}

// A lock that refuses is heard by the caller (its code) and leaves nothing
// half registered: an attach registers nothing, an install takes its handlers
// back out, a removal reports that the registration stays, and the
// destructor unregisters all the same.
TEST_F(tDispatcherTest, ARefusedLockIsReportedAndLeavesNothingHalfRegistered) {
  nQoMDBG100::tStatus2 attach;
  nQoSim::failNextAcquire(-50001);
  EXPECT_FALSE(dispatcher->attachInterrupt(attach));
  EXPECT_EQ(attach.code, -50001);
  EXPECT_TRUE(loggedAt(-50001, "tTavikInterruptDispatcher", 65));
  EXPECT_TRUE(bus.calls().empty());

  nQoMDBG100::tStatus2 install;
  nQoSim::failNextAcquire(-50007);
  EXPECT_FALSE(dispatcher->installHandlers(3, &handlers[3], &handlers[3], install));
  EXPECT_EQ(install.code, -50007);
  EXPECT_EQ(dispatcher->primaryHandlers[3], nullptr);
  EXPECT_EQ(dispatcher->secondaryHandlers[3], nullptr);
  EXPECT_EQ(bus.registrations(), 0);

  // A second source refused while the first is served: the first stays.
  ASSERT_TRUE(dispatcher->installHandlers(3, &handlers[3], &handlers[3], status));
  nQoMDBG100::tStatus2 second;
  nQoSim::failNextAcquire(-50008);
  EXPECT_FALSE(dispatcher->installHandlers(4, &handlers[4], &handlers[4], second));
  EXPECT_EQ(second.code, -50008);
  EXPECT_EQ(dispatcher->primaryHandlers[4], nullptr);
  EXPECT_EQ(dispatcher->primaryHandlers[3], &handlers[3]);
  EXPECT_EQ(bus.registrations(), 1);

  clearLogs();
  nQoMDBG100::tStatus2 removal;
  nQoSim::failNextAcquire(-50011);
  dispatcher->removeHandlers(3, &removal);
  EXPECT_EQ(removal.code, -50011);
  EXPECT_TRUE(loggedAt(-50011, "tTavikInterruptDispatcher", 71));
  EXPECT_EQ(dispatcher->primaryHandlers[3], nullptr);
  EXPECT_EQ(bus.registrations(), 1);
  EXPECT_TRUE(windows.log().empty()) << "the master enables stay on";
  EXPECT_TRUE(dispatcher->detachInterrupt(&status, false));
  EXPECT_EQ(bus.registrations(), 0);

  // An enable that fails after the registration unregisters again.
  bus.failNext(tCall::kAtomic, -50400);
  nQoMDBG100::tStatus2 enable;
  EXPECT_FALSE(dispatcher->installHandlers(3, &handlers[3], &handlers[3], enable));
  EXPECT_EQ(enable.code, -50400);
  EXPECT_EQ(dispatcher->primaryHandlers[3], nullptr);
  EXPECT_EQ(bus.registrations(), 0);

  ASSERT_TRUE(dispatcher->installHandlers(3, &handlers[3], &handlers[3], status));
  nQoSim::failNextAcquire(-50012);
  delete dispatcher;
  dispatcher = nullptr;
  EXPECT_EQ(bus.registrations(), 0);
  EXPECT_EQ(status.code, 0);
}

// A lock that refuses with a warning of its own, or with no code at all, is a
// refusal all the same: kRefused at the site, exactly, and nothing half
// registered (an install that took its answer for success would keep its
// slots over no registration).
TEST_F(tDispatcherTest, ALockThatRefusesWithoutAnErrorIsReportedAsRefused) {
  for (const tSilentRefusal& refusal : kSilentRefusals) {
    SCOPED_TRACE(refusal.name);
    nQoSim::clearStatusLog();
    nQoMDBG100::tStatus2 attach;
    refusal.arm();
    EXPECT_FALSE(dispatcher->attachInterrupt(attach));
    EXPECT_EQ(attach.code, -50150);
    EXPECT_TRUE(loggedAt(-50150, "tTavikInterruptDispatcher", 65));
    EXPECT_TRUE(bus.calls().empty());

    nQoMDBG100::tStatus2 install;
    refusal.arm();
    EXPECT_FALSE(dispatcher->installHandlers(3, &handlers[3], &handlers[3], install));
    EXPECT_EQ(install.code, -50150);
    for (uint32_t source = 0; source < D::kSourceCount; ++source) {
      EXPECT_EQ(dispatcher->primaryHandlers[source], nullptr) << source;
      EXPECT_EQ(dispatcher->secondaryHandlers[source], nullptr) << source;
    }
    EXPECT_TRUE(bus.calls().empty());
    EXPECT_EQ(bus.registrations(), 0);

    ASSERT_TRUE(dispatcher->installHandlers(3, &handlers[3], &handlers[3], status));
    clearLogs();
    nQoMDBG100::tStatus2 removal;
    refusal.arm();
    dispatcher->removeHandlers(3, &removal);
    EXPECT_EQ(removal.code, -50150);
    EXPECT_TRUE(loggedAt(-50150, "tTavikInterruptDispatcher", 71));
    EXPECT_EQ(bus.registrations(), 1);
    EXPECT_TRUE(windows.log().empty()) << "the master enables stay on";
    EXPECT_TRUE(dispatcher->detachInterrupt(&status, false));
    EXPECT_EQ(bus.registrations(), 0);
    EXPECT_EQ(status.code, 0);
    clearLogs();
  }
}

// A source installed while another is removed keeps the dispatcher
// registered: its slots are filled before it attaches, so the removal's
// detach, right after that attach gave the lock back, finds them.
TEST_F(tDispatcherTest, ARemovalRightAfterAnInstallsAttachKeepsTheRegistration) {
  ASSERT_TRUE(dispatcher->installHandlers(3, &handlers[3], &handlers[3], status));
  bool removed = false;
  nQoSim::onSyncSet([&](const iSync*, bool set) {
    if (!set || removed) return;
    removed = true;
    dispatcher->removeHandlers(3, &status);
  });
  EXPECT_TRUE(dispatcher->installHandlers(4, &handlers[4], &handlers[4], status));
  nQoSim::onSyncSet({});
  EXPECT_TRUE(removed);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(dispatcher->primaryHandlers[4], &handlers[4]);
  EXPECT_EQ(bus.registrations(), 1);
}

TEST_F(tDispatcherTest, Source7AcknowledgesAndAnswersTheBusAndA2AsksForOneSecondaryPass) {
  windows.setRead(window, 0x104, 16, 0xFFFF);
  EXPECT_EQ(dispatcher->resolvePrimaryInterrupt(), 0u);
  for (const auto& access : windows.reads()) EXPECT_NE(access.offset, 0x104u);  // 0x176 bit 11

  attach(7);
  enable(&D::enableGroupAInterruptBit4);
  windows.setRead(window, 0x104, 16, 0x8010);
  clearLogs();
  EXPECT_EQ(bus.raise(1), 2u);
  EXPECT_EQ(calls, (std::vector<uint32_t>{7}));
  EXPECT_EQ(windows.writes(), (std::vector<tAccess>{wrote(0x104, 0x1000), wrote(0x104, 0x0800)}));
  handlers[7].answer = 0;
  clearLogs();
  EXPECT_EQ(bus.raise(1), 0u);
  EXPECT_TRUE(windows.writes().empty());

  handlers[7].answer = 2;
  EXPECT_EQ(bus.raise(1), 1u);
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  EXPECT_EQ(handlers[7].secondaryCalls, 1u);
  EXPECT_EQ(bus.pumpSecondary(), 0u);
  EXPECT_EQ(bus.raise(1), 1u);
  handlers[7].answer = 1;
  EXPECT_EQ(bus.raise(1), 2u);
  bus.pumpSecondary();
  EXPECT_EQ(handlers[7].secondaryCalls, 1u);
}

// Every source enabled and pending.
class tAllSourcesTest : public tDispatcherTest {
 protected:
  void SetUp() override {
    tDispatcherTest::SetUp();
    dispatcher->attachInterrupt(status);
    for (uint32_t id = 0; id < kSourceSwitchCount; ++id)
      dispatcher->enableSource(static_cast<tSourceSwitchId>(id), status, 0xFF);
    ASSERT_EQ(status.code, 0);
    for (uint32_t offset : {0x104u, 0x106u, 0x13Au, 0x1B8u, 0x1BAu})
      windows.setRead(window, offset, 16, 0xFFFF);
    windows.setRead(window, 0x88, 8, 0x01);
    windows.setRead(window, 0xA1, 8, 0x0F);
    windows.setRead(window, 0x224, 32, 0xFFFFFFFF);
    windows.setRead(window, 0x240, 32, 0x1);
    windows.setRead(window, 0x244, 32, 0x1);
    clearLogs();
  }
  void fillSlots() {
    for (uint32_t source = 0; source < D::kSourceCount; ++source) {
      dispatcher->primaryHandlers[source] = &handlers[source];
      dispatcher->secondaryHandlers[source] = &handlers[source];
    }
  }
};

TEST_F(tAllSourcesTest, EmptySlotsContributeNothingAcknowledgeNothingAndRequestNothing) {
  EXPECT_EQ(bus.raise(1), 0u);
  EXPECT_TRUE(windows.writes().empty());
  for (uint32_t source = 0; source < D::kSourceCount; ++source)
    EXPECT_EQ(dispatcher->secondaryRequest(source), 0u) << "source " << source;
  EXPECT_EQ(bus.pumpSecondary(), 0u);
}

TEST_F(tAllSourcesTest, EverySourceIsServedOnceInTableOrderWithItsAcknowledge) {
  fillSlots();
  for (auto& handler : handlers) handler.answer = 2;
  EXPECT_EQ(bus.raise(1), 1u);
  EXPECT_EQ(calls, (std::vector<uint32_t>{1,  2,  0,  3,  4,  5,  6,  7,  29, 30, 8,
                                          14, 9,  15, 16, 17, 18, 20, 31, 32, 25, 26,
                                          22, 23, 21, 24, 27, 10, 11, 12, 13, 28}));
  EXPECT_EQ(
      windows.writes(),
      (std::vector<tAccess>{
          wrote(0x104, 0x2000),     wrote(0x104, 0x0100),         wrote(0x104, 0x0200),
          wrote(0x104, 0x0400),     wrote(0x104, 0x0800),         wrote(0x104, 0x1000),
          wrote(0x104, 0x8000),     wrote(0x104, 0x4000),         wrote(0x106, 0x0100),
          wrote(0x106, 0x2000),     wrote(0x106, 0x0200),         wrote(0x106, 0x0800),
          wrote(0x106, 0x1000),     wrote(0x106, 0x0080),         wrote(0x106, 0x0400),
          wrote(0x106, 0x8000),     wrote(0x106, 0x4000),         wrote(0x224, 0x4000, 32),
          wrote(0x224, 0x8000, 32), wrote(0x250, 0xFFFFFFFF, 32), wrote(0x254, 0xFFFFFFFF, 32)}));
  calls.clear();
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  std::vector<uint32_t> expected;
  for (uint32_t source = 0; source < D::kSourceCount; ++source)
    if (source != 19) expected.push_back(100 + source);
  EXPECT_EQ(calls, expected);
}

// Every source asks for the second pass; each disable drops the request of
// its own source alone, and the second pass calls every source but that one.
TEST_F(tAllSourcesTest, EachDisableDropsThePendingSecondPassOfItsSourceAlone) {
  fillSlots();
  for (auto& handler : handlers) handler.answer = 2;
  for (uint32_t id = 0; id < kSourceSwitchCount; ++id) {
    const uint32_t off = kSourceSwitches[id].source;
    SCOPED_TRACE("source " + std::to_string(off));
    for (uint32_t each = 0; each < kSourceSwitchCount; ++each)
      dispatcher->enableSource(static_cast<tSourceSwitchId>(each), status, 0xFF);
    EXPECT_EQ(bus.raise(1), 1u);
    dispatcher->disableSource(static_cast<tSourceSwitchId>(id), &status);
    std::vector<uint32_t> expected;
    for (uint32_t source = 0; source < D::kSourceCount; ++source) {
      const uint32_t requested = source != 19 && source != off ? 1 : 0;
      EXPECT_EQ(dispatcher->secondaryRequest(source), requested) << "source " << source;
      if (requested != 0) expected.push_back(100 + source);
    }
    calls.clear();
    EXPECT_EQ(bus.pumpSecondary(), 1u);
    EXPECT_EQ(calls, expected);
  }
  EXPECT_EQ(status.code, 0);
}

TEST_F(tAllSourcesTest, APairAcknowledgesOnceAndAnswersForBoth) {
  fillSlots();
  for (auto& handler : handlers) handler.answer = 0;
  EXPECT_EQ(bus.raise(1), 0u);
  handlers[1].answer = 1;
  handlers[2].answer = 2;
  clearLogs();
  EXPECT_EQ(bus.raise(1), 1u);
  EXPECT_EQ(windows.writes(), (std::vector<tAccess>{wrote(0x104, 0x2000)}));
  EXPECT_EQ(dispatcher->secondaryRequest(1), 0u);
  EXPECT_EQ(dispatcher->secondaryRequest(2), 1u);
  handlers[2].answer = 0;
  handlers[22].answer = 1;
  clearLogs();
  EXPECT_EQ(bus.raise(1), 2u);
  EXPECT_EQ(windows.writes(),
            (std::vector<tAccess>{wrote(0x104, 0x2000), wrote(0x224, 0x8000, 32)}));
}

TEST_F(tDispatcherTest, ChangeDetectionIsServedFromEitherStatusAndAcknowledgedTwice) {
  attach(28);
  clearLogs();
  D::tChangeDetectionAtomicDispatcher(dispatcher, &D::enableChangeDetectionInterrupt, nullptr,
                                      status, 0xFF, 1)
      .exec();
  EXPECT_EQ(windows.writes(), (std::vector<tAccess>{wrote(0x248, 0xFF, 32)}));
  windows.setRead(window, 0x244, 32, 0x10);
  clearLogs();
  EXPECT_EQ(bus.raise(1), 2u);
  EXPECT_EQ(calls, (std::vector<uint32_t>{28}));
  std::vector<tAccess> changeDetection;
  for (const auto& access : windows.log())
    if (access.offset >= 0x240) changeDetection.push_back(access);
  EXPECT_EQ(
      changeDetection,
      (std::vector<tAccess>{read(0x240, 0, 32), read(0x244, 0x10, 32), wrote(0x250, 0xFFFFFFFF, 32),
                            read(0x244, 0x10, 32), wrote(0x254, 0xFFFFFFFF, 32)}));
  windows.setRead(window, 0x244, 32, 0);
  clearLogs();
  EXPECT_EQ(bus.raise(1), 0u);
  EXPECT_TRUE(calls.empty());
  dispatcher->disableChangeDetectionInterrupt(nullptr);
  EXPECT_EQ(windows.writes(), (std::vector<tAccess>{wrote(0x24C, 0xFFFFFFFF, 32)}));
  windows.setRead(window, 0x240, 32, 0x1);
  EXPECT_EQ(bus.raise(1), 0u);
}

TEST_F(tDispatcherTest, TheSnapshotTakesAndClearsTheRequestsAtomically) {
  attach(3);
  enable(&D::enableGroupAInterruptBit0);
  enable(&D::enableGroupAInterruptBit3);
  dispatcher->primaryHandlers[6] = &handlers[6];
  handlers[3].answer = 2;
  handlers[6].answer = 2;
  windows.setRead(window, 0x104, 16, 0x8060);
  bus.raise(1);
  uint32_t pending[D::kSourceCount];
  clearLogs();
  D::tAtomicPendingSnapshotDispatcher(dispatcher, pending).exec();
  EXPECT_EQ(bus.calls(), (std::vector<tCall>{{tCall::kAtomic, 0, 0, 0, 0, 0}}));
  for (uint32_t source = 0; source < D::kSourceCount; ++source) {
    EXPECT_EQ(pending[source], source == 3 || source == 6 ? 1u : 0u) << "source " << source;
    EXPECT_EQ(dispatcher->secondaryRequest(source), 0u);
  }
}

TEST_F(tDispatcherTest, EachSwitchWritesItsRegisterAndAnUnchangedBitIsNotWritten) {
  const struct {
    D::tAtomicStatusRefDispatcher::tMember enable;
    D::tAtomicStatusPtrDispatcher::tMember disable;
    std::vector<tAccess> writes;
  } rows[] = {
      {&D::enableCounter0SecondaryInterrupts,
       &D::disableCounter0SecondaryInterrupts,
       {wrote(0x1B8, 0x1), wrote(0x1B8, 0x5), wrote(0x192, 0), wrote(0x1B8, 0x4), wrote(0x1B8, 0)}},
      {&D::enableGroupAInterruptBit7,
       &D::disableGroupAInterruptBit7,
       {wrote(0x192, 0x80), wrote(0x192, 0)}},
      {&D::enableCounter1PrimaryInterrupt,
       &D::disableCounter1PrimaryInterrupt,
       {wrote(0x196, 0x200), wrote(0x196, 0)}},
      {&D::enableAOSerialInterruptBit3,
       &D::disableAOSerialInterruptBit3,
       {wrote(0xA0, 0x08, 8), wrote(0xA0, 0, 8)}},
      {&D::enableCDIOSource0,
       &D::disableCDIOSource0,
       {wrote(0x224, 0x1000, 32), wrote(0x224, 0x2000, 32)}},
      {&D::enableCDIOSource4,
       &D::disableCDIOSource4,
       {wrote(0x224, 0x400, 32), wrote(0x224, 0x800, 32)}},
  };
  for (const auto& row : rows) {
    clearLogs();
    enable(row.enable);
    disable(row.disable);
    EXPECT_EQ(windows.writes(), row.writes);
  }
  clearLogs();
  enable(&D::enableGroupBInterruptBit0);
  enable(&D::enableGroupBInterruptBit0);
  EXPECT_EQ(windows.writes(), (std::vector<tAccess>{wrote(0x196, 0x1)}));

  enable(&D::enableCDIOSource1);
  enable(&D::enableCDIOSource2);
  EXPECT_EQ(dispatcher->enabledFlag(kGate22And23), 1u);
  disable(&D::disableCDIOSource2);
  EXPECT_EQ(dispatcher->enabledFlag(kSource22Enabled), 1u);
  EXPECT_EQ(dispatcher->enabledFlag(kGate22And23), 0u);
}

TEST_F(tDispatcherTest, Sources1And2ShareBit5AndAreServedByTheirOwnFlags) {
  attach(1);
  attach(2);
  windows.setRead(window, 0x104, 16, 0x9C00);
  enable(&D::enableGroupAInterruptBit5Source1);
  clearLogs();
  bus.raise(1);
  EXPECT_EQ(calls, (std::vector<uint32_t>{1}));
  disable(&D::disableGroupAInterruptBit5);
  EXPECT_EQ(map->Interrupt_A_Enable.getRegister() & 0x20, 0);
  clearLogs();
  EXPECT_EQ(bus.raise(1), 0u);
  EXPECT_TRUE(calls.empty());
}

TEST_F(tDispatcherTest, ADisableWithAnErrorHeldChangesNothingAndOtherwiseDropsTheRequest) {
  attach(25);
  attach(27);
  enable(&D::enableCDIOSource5);
  enable(&D::enableCDIOSource7);
  handlers[25].answer = 2;
  windows.setRead(window, 0x88, 8, 0x01);
  windows.setRead(window, 0x224, 32, 0x11);
  clearLogs();
  bus.raise(1);
  EXPECT_EQ(calls, (std::vector<uint32_t>{25, 27}));
  ASSERT_EQ(dispatcher->secondaryRequest(25), 1u);

  clearLogs();
  nQoMDBG100::tStatus2 failedStatus(-50003);
  dispatcher->disableCDIOSource5(&failedStatus);
  dispatcher->disableGroupAInterruptBit7(&failedStatus);
  dispatcher->enableGroupAInterruptBit7(failedStatus);
  EXPECT_TRUE(windows.log().empty());
  EXPECT_EQ(dispatcher->enabledFlag(kSource25Enabled), 1u);
  EXPECT_EQ(dispatcher->enabledFlag(kGate25And26), 1u);
  EXPECT_EQ(dispatcher->secondaryRequest(25), 1u);

  disable(&D::disableCDIOSource7);
  EXPECT_EQ(windows.writes(), (std::vector<tAccess>{wrote(0x224, 0x20000, 32)}));
  EXPECT_EQ(dispatcher->enabledFlag(kSource27Enabled), 0u);
  EXPECT_EQ(dispatcher->enabledFlag(kGate25And26), 0u);
  EXPECT_EQ(dispatcher->enabledFlag(kSource25Enabled), 1u);
  disable(&D::disableCDIOSource5);
  EXPECT_EQ(dispatcher->secondaryRequest(25), 0u);
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  EXPECT_EQ(handlers[25].secondaryCalls, 0u);
  clearLogs();
  bus.raise(1);
  EXPECT_TRUE(calls.empty());
}

// A reader outside a pass (a disarm) takes an enable register's soft copy
// in a bus atomic run: one that comes while a pass is switching its source
// off in that register waits for the pass and reads what it left.
TEST_F(tDispatcherTest, ASoftCopyReadBesideAPassWaitsForThePass) {
  struct tSwitchingOff final : nQoMRTB100::iInterruptHandler {
    tAnswer handleInterrupt() override {
      inside();
      return kHandled;
    }
    std::function<void()> inside;
  } switchingOff;
  dispatcher->attachInterrupt(status);
  dispatcher->primaryHandlers[8] = &switchingOff;
  enable(&D::enableGroupBInterruptBit0);
  windows.setRead(window, 0x106, 16, 0x8080);
  tHeldPass held;
  switchingOff.inside = [&] {
    held.hold();
    dispatcher->disableGroupBInterruptBit0(nullptr);
  };
  uint32_t seen = 0xFFFF;
  held.run([&] { bus.raise(1); });
  held.tearDown([&] { seen = dispatcher->enableSoftCopy(tSwitchRegister::kEnableB); });
  EXPECT_TRUE(held.teardownWaited()) << "the read did not wait for the pass";
  EXPECT_EQ(seen & 1, 0u) << "the read took the soft copy the pass was changing";
  EXPECT_EQ(map->Interrupt_B_Enable.getRegister() & 1, 0);
  dispatcher->primaryHandlers[8] = nullptr;
  EXPECT_EQ(status.code, 0);
}

TEST_F(tDispatcherTest, BindersRunOnceOnTheBusAndNeverWithAnErrorHeld) {
  nQoMDBG100::tStatus2 failedStatus(-50003);
  D::tAtomicStatusPtrDispatcher off(dispatcher, &D::disableGroupAInterruptBit0);
  off.exec(&failedStatus);
  D::tAtomicStatusRefDispatcher(dispatcher, &D::enableGroupAInterruptBit0, failedStatus).exec();
  EXPECT_TRUE(bus.calls().empty());
  off.exec(nullptr);
  EXPECT_EQ(bus.calls(), (std::vector<tCall>{{tCall::kAtomic, 0, 0, 0, 0, 0}}));
  EXPECT_EQ(windows.writes(), (std::vector<tAccess>{wrote(0x192, 0)}));
}

// Every source pending and enabled, each answering 2 (wants the secondary
// pass) or 1 by a random pattern: the secondary pass calls exactly the
// sources whose request stood after the primary pass, in ascending order, and
// clears every request.
TEST_F(tAllSourcesTest, TheSecondaryPassCallsTheRequestingSourcesInOrder) {
  fillSlots();
  std::mt19937_64 random(38);
  int withRequests = 0;
  for (int round = 0; round < 300; ++round) {
    const uint64_t pattern = round == 0 ? ~uint64_t{0} : random();
    for (uint32_t source = 0; source < D::kSourceCount; ++source)
      handlers[source].answer = ((pattern >> source) & 1) != 0 ? 2 : 1;
    dispatcher->resolvePrimaryInterrupt();
    std::vector<uint32_t> expected;
    for (uint32_t source = 0; source < D::kSourceCount; ++source)
      if (dispatcher->secondaryRequest(source) != 0) expected.push_back(100 + source);
    withRequests += expected.empty() ? 0 : 1;
    calls.clear();
    EXPECT_EQ(dispatcher->resolveSecondaryInterrupt(), 1u);
    EXPECT_EQ(calls, expected) << "round " << round;
    for (uint32_t source = 0; source < D::kSourceCount; ++source)
      EXPECT_EQ(dispatcher->secondaryRequest(source), 0u) << "source " << source;
  }
  EXPECT_GT(withRequests, 250);
}

}  // namespace
}  // namespace nQoTest
