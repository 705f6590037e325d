// The AI subsystem over the real members on a simulated Tavik window: the AI
// section's initialisation, commit by mechanism and the staged undo of a
// failed commit or arm.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "primitives/ai/tAISubsystem.h"
#include "sim/simScriptedDoubles.h"
#include "sim/simSocketListeners.h"
#include "sim/simSync.h"
#include "sim/simTime.h"
#include "sim/tSimSchedulerAction.h"
#include "support/boardChecks.h"
#include "support/statusRecords.h"
#include "tavik/tavikFixture.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tAISubsystem;
using nQoUdP100::tAISubsystemPrimitiveConfig;
using tLog = std::vector<tAccess>;
using tCall = nQoSim::tSimBus::tCall;

class tAISubsystemTest : public tTavikMapTest {
 protected:
  void SetUp() override {
    tTavikMapTest::SetUp();
    nQoSim::useTestClock(1'000'000'000);
    helper = std::make_unique<nQoUdRLP100::tTavikHelper>(map);
    dispatcher = std::make_unique<nQoUdRLP100::tTavikInterruptDispatcher>(map, 1, &status);
    entry.outputSelectWord = 1;
    entry.personalWord = 1;
    description.firstEntry = &entry;
    description.frontEnd = &frontEnd;
    description.fifo = &fifoDescription;
    description.samples = &samples;
    description.timing = &timingDescription;
    resources = {&bus, map, helper.get(), dispatcher.get(), &deviceInfo};
    subsystem = std::make_unique<tAISubsystem>(&description, resources, status);
    ASSERT_EQ(status.code, 0);
    ASSERT_TRUE(subsystem->isReady());
    windows.clearLog();
    bus.clearCalls();
  }
  void TearDown() override {
    subsystem.reset();
    dispatcher.reset();
    helper.reset();
    nQoSim::resetTime();
    tTavikMapTest::TearDown();
  }
  void mechanism(int32_t value) {
    tAISubsystemPrimitiveConfig config;
    config.transferMechanism = value;
    subsystem->setConfiguration(config, status);
  }

  nQoUdP100::tAIFirstEntry entry;
  nQoUdP100::tAIFrontEndDescription frontEnd;
  nQoUdP100::tAIFIFODescription fifoDescription{4096, 4, 77};
  nQoUdP100::tAISampleDescription samples{2};
  nQoUdP100::tAITimingDescription timingDescription{2, 1};
  nQoUdP100::tAIDescription description;
  nQoUdP100::tDeviceInfo deviceInfo;
  std::unique_ptr<nQoUdRLP100::tTavikHelper> helper;
  std::unique_ptr<nQoUdRLP100::tTavikInterruptDispatcher> dispatcher;
  nQoUdP100::tAIBoardResources resources;
  std::unique_ptr<tAISubsystem> subsystem;
};

TEST_F(tAISubsystemTest, InitializationProgramsOutputControlAnd0xBCAfterTheReset) {
  map->Write_00BC.writeRegister(0, &status, 1);
  windows.clearLog();
  subsystem->initializeHardware(status);
  EXPECT_EQ(status.code, 0);
  const tLog log = windows.log();
  ASSERT_GE(log.size(), 9u);
  EXPECT_EQ(tLog(log.end() - 9, log.end()),
            (tLog{wrote(0x190, 0x10), wrote(0x190, 0x10), wrote(0x178, 0x0003),
                  wrote(0x178, 0x0203), wrote(0x19A, 0x0400), wrote(0x190, 0x100),
                  wrote(0x190, 0x100), wrote(0xBC, 0x01, 8), kBusFlush}));

  windows.clearLog();
  tStatus2 failed;
  failed.code = -1;
  subsystem->initializeHardware(failed);
  EXPECT_EQ(windows.log(), (tLog{kBusFlush})) << "the flush runs after a failure too";
}

TEST_F(tAISubsystemTest, WithoutAMechanismCommitDrivesOnlyTheFourMembers) {
  subsystem->commit(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(subsystem->frontEnd()->state().getState(), 2u);
  EXPECT_EQ(subsystem->timing()->state().getState(), 2u);
  EXPECT_EQ(subsystem->fifo()->state().getState(), 2u);
  EXPECT_EQ(subsystem->immediate()->getTransferState(), 1u);
  EXPECT_EQ(subsystem->interrupt()->runState(), 1u);
  subsystem->uncommit(status);
  EXPECT_EQ(subsystem->timing()->state().getState(), 1u);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tAISubsystemTest, AFailedConverterCommitUndoesTimingFrontEndAndTheTransferLink) {
  mechanism(1);
  bus.failNext(tCall::kRegisterInterrupt, -50352);
  subsystem->commit(status);
  EXPECT_EQ(status.code, -50352) << "the first error is kept";
  EXPECT_EQ(subsystem->interrupt()->runState(), 2u) << "unlinked";
  EXPECT_EQ(subsystem->timing()->state().getState(), 1u);
  EXPECT_EQ(subsystem->frontEnd()->state().getState(), 1u);
  EXPECT_EQ(dispatcher->primaryHandlers[nQoUdP100::tAIDeviceFIFOPrimitive::kOverflowSource],
            nullptr)
      << "the FIFO is never committed";
}

// A commit of a committed subsystem that fails (the controller's listener)
// leaves the members as the commit before left them: the front end
// committed, the transfer linked, the FIFO's handlers in.
TEST_F(tAISubsystemTest, AFailedSecondCommitKeepsWhatTheFirstTook) {
  mechanism(1);
  subsystem->commit(status);
  ASSERT_EQ(status.code, 0);
  const uint32_t fifoHandlers = subsystem->fifo()->attachedSources();
  const uint32_t linked = subsystem->interrupt()->runState();
  ASSERT_NE(fifoHandlers, 0u);
  nQoUdP100::tAITimingControllerPrimitiveConfig config;
  config.timing.listenerKey = 0x1122334455667788;
  subsystem->timing()->setConfiguration(config, status);
  nQoSim::failNextSocketRegistration(-50001);
  tStatus2 failed;
  subsystem->commit(failed);
  EXPECT_EQ(failed.code, -50001);
  EXPECT_EQ(subsystem->heldSteps(), 1u);
  EXPECT_EQ(subsystem->fifo()->attachedSources(), fifoHandlers);
  EXPECT_EQ(subsystem->interrupt()->runState(), linked) << "still linked";
  EXPECT_EQ(subsystem->frontEnd()->state().getState(), 2u);
  subsystem->uncommit(status);
  EXPECT_EQ(subsystem->fifo()->attachedSources(), 0u);
  EXPECT_EQ(bus.registrations(), 0);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tAISubsystemTest, AFailedFIFOArmDisarmsTheDMATransferButNotTheTimingController) {
  mechanism(3);
  subsystem->dma()->setDMAChannelNumber(4);
  subsystem->commit(status);
  ASSERT_EQ(status.code, 0);
  windows.clearLog();
  bus.failNext(tCall::kAtomic, -50001);
  subsystem->arm(status);
  EXPECT_EQ(status.code, -50001);
  EXPECT_EQ(windows.writes(),
            (tLog{wrote(0x1A6, 0x01), wrote(0x09, 0x03, 8), wrote(0x09, 0x00, 8)}))
      << "FIFO cleared, channel 4 selected at the transfer's arm and cleared by its disarm; "
         "no hammer stop";
  tStatus2 local;
  subsystem->uncommit(local);
  EXPECT_EQ(local.code, 0);
}

// A configuration given while committed names the transfer of the next
// commit: uncommit undoes the transfer that commit took part with.
TEST_F(tAISubsystemTest, UncommitUndoesTheTransferOfItsCommitAfterAConfiguration) {
  mechanism(1);
  subsystem->commit(status);
  ASSERT_EQ(status.code, 0);
  ASSERT_EQ(bus.registrations(), 1);
  mechanism(3);
  subsystem->uncommit(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(subsystem->interrupt()->runState(), 2u) << "uncommitted and unlinked";
  EXPECT_FALSE(subsystem->converter()->isAttached());
  EXPECT_EQ(bus.registrations(), 0);
}

// The timing controller's stop fails on the bus at the start of disarm; the
// converter, the FIFO and the DMA transfer are still disarmed, so after
// uncommit no source of theirs is enabled and the AI DMA select names no
// channel. The failure is what disarm reports.
TEST_F(tAISubsystemTest, AFailedTimingStopStillDisarmsEveryOtherMember) {
  mechanism(3);
  subsystem->dma()->setDMAChannelNumber(4);
  subsystem->commit(status);
  subsystem->arm(status);
  ASSERT_EQ(status.code, 0);
  ASSERT_EQ(map->Write_0009.getRegister() & 0x0F, 0x03u);
  ASSERT_EQ(map->Interrupt_A_Enable.getRegister() & 0x0020, 0x0020u);
  windows.clearLog();
  bus.failNext(tCall::kAtomic, -50001);
  tStatus2 disarmed;
  subsystem->disarm(disarmed);
  EXPECT_EQ(disarmed.code, -50001);
  const tLog writes = windows.writes();
  ASSERT_FALSE(writes.empty());
  EXPECT_EQ(writes.back(), wrote(0x09, 0x00, 8)) << "the transfer's disarm ran last";
  EXPECT_EQ(map->Interrupt_A_Enable.getRegister(), 0u) << "overrun and overflow switched off";
  EXPECT_EQ(subsystem->fifo()->state().getState(), 2u);
  EXPECT_EQ(subsystem->timing()->state().getState(), 2u);
  tStatus2 uncommitted;
  subsystem->uncommit(uncommitted);
  EXPECT_EQ(uncommitted.code, 0);
  EXPECT_EQ(map->Write_0009.getRegister() & 0x0F, 0u);
  EXPECT_EQ(dispatcher->primaryHandlers[nQoUdP100::tAIDeviceFIFOPrimitive::kOverflowSource],
            nullptr);
  EXPECT_EQ(dispatcher->primaryHandlers[nQoUdP100::tAI_ADCPrimitive::kOverrunSource], nullptr);
  EXPECT_EQ(bus.registrations(), 0);
}

// Code 4 after 4100, or 4100, 1, 4: the uncommit disarms the arm that no
// disarm followed, in the disarm's order, before any member lets its handlers
// go: the controller's hammer stop first, the transfer's channel deselect
// last; no source of the FIFO or the converter stays on, and the arm is no
// longer held.
TEST_F(tAISubsystemTest, AnUncommitAfterTheArmDisarmsEveryMemberFirst) {
  const auto firstWriteAt = [](const tLog& writes, uint32_t offset, uint32_t value,
                               unsigned width = 16) {
    return std::find(writes.begin(), writes.end(), wrote(offset, value, width)) - writes.begin();
  };
  for (const int32_t transfer : {1, 3}) {
    for (const bool commitAgain : {false, true}) {
      SCOPED_TRACE(::testing::Message()
                   << "mechanism " << transfer << (commitAgain ? ": 4100, 1, 4" : ": 4100, 4"));
      mechanism(transfer);
      subsystem->dma()->setDMAChannelNumber(4);
      subsystem->commit(status);
      subsystem->arm(status);
      ASSERT_EQ(status.code, 0);
      ASSERT_EQ(map->Interrupt_A_Enable.getRegister() & 0x00A0, transfer == 1 ? 0x00A0u : 0x0020u);
      windows.clearLog();
      if (commitAgain) subsystem->commit(status);
      subsystem->uncommit(status);
      EXPECT_EQ(status.code, 0);
      EXPECT_EQ(map->Interrupt_A_Enable.getRegister() & 0x00A0, 0u)
          << "a source outlived the handlers";
      EXPECT_EQ(map->Write_0009.getRegister() & 0x0F, 0u) << "the AI DMA select names no channel";
      const tLog writes = windows.writes();
      const auto sourceOff = std::find_if(writes.begin(), writes.end(),
                                          [](const tAccess& a) { return a.offset == 0x192; }) -
                             writes.begin();
      const auto removal = firstWriteAt(writes, 0x176, 0x8000);
      ASSERT_LT(removal, static_cast<std::ptrdiff_t>(writes.size()));
      EXPECT_LT(firstWriteAt(writes, 0x110, 0x2000), sourceOff)
          << "the controller's hammer stop before any source goes off";
      EXPECT_LT(sourceOff, removal);
      if (transfer == 3) {
        EXPECT_LT(firstWriteAt(writes, 0x09, 0x00, 8), removal) << "the transfer disarmed";
      }
      EXPECT_EQ(subsystem->heldSteps(), 0u);
      EXPECT_FALSE(subsystem->timing()->isArmHeld());
      EXPECT_EQ(subsystem->fifo()->armedSources(), 0u);
      EXPECT_FALSE(subsystem->converter()->isOverrunEnabled());
      EXPECT_FALSE(subsystem->dma()->isArmed());
      EXPECT_EQ(bus.registrations(), 0);
    }
  }
  // A disarm that fails (the hammer stop's atomic run) stops none of the
  // uncommits.
  mechanism(1);
  subsystem->commit(status);
  subsystem->arm(status);
  bus.failNext(tCall::kAtomic, -50001);
  tStatus2 failed;
  subsystem->uncommit(failed);
  EXPECT_EQ(failed.code, -50001);
  EXPECT_EQ(bus.registrations(), 0);
  EXPECT_EQ(subsystem->heldSteps(), 0u);
}

// Code 1 after 4100 disarms the arm first, in the disarm's order (the
// controller's hammer stop first, the transfer's channel deselect last) and
// with the controller's report, before the members' commits reprogram the
// engine: no member stays armed behind the commit.
TEST_F(tAISubsystemTest, ACommitAfterTheArmDisarmsEveryMemberFirst) {
  using tCall = nQoSim::tSimSchedulerAction::tCall;
  nQoSim::tSimSchedulerAction action;
  subsystem->timing()->setSchedulerAction(&action, status);
  mechanism(3);
  subsystem->dma()->setDMAChannelNumber(4);
  subsystem->commit(status);
  subsystem->arm(status);
  ASSERT_EQ(map->Write_0009.getRegister() & 0x0F, 0x03u);
  action.clear();
  windows.clearLog();
  subsystem->commit(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(subsystem->heldSteps(), 1u) << "committed, no longer armed";
  EXPECT_EQ(action.calls(), (std::vector<tCall>{{tCall::kDisarmed, 0}}));
  EXPECT_FALSE(subsystem->dma()->isArmed());
  EXPECT_EQ(subsystem->fifo()->armedSources(), 0u);
  EXPECT_FALSE(subsystem->converter()->isOverrunEnabled());
  EXPECT_EQ(map->Write_0009.getRegister() & 0x0F, 0u);
  const tLog writes = windows.writes();
  const auto at = [&](const tAccess& access) {
    return std::find(writes.begin(), writes.end(), access) - writes.begin();
  };
  EXPECT_LT(at(wrote(0x110, 0x2000)), at(wrote(0x09, 0x00, 8)));
  EXPECT_LT(at(wrote(0x09, 0x00, 8)), static_cast<std::ptrdiff_t>(writes.size()));
  subsystem->uncommit(status);
  EXPECT_EQ(action.calls().size(), 1u) << "disarmed twice";
  EXPECT_EQ(status.code, 0);
}

// A failed step of uncommit skips none after it: the timing controller, the
// last to give up its handlers (record end of a finite mode-3 run), fails to
// switch the board interrupt off; the front end is still flushed and the
// interrupt transfer still unlinked.
TEST_F(tAISubsystemTest, AFailedTimingUncommitStillUnlinksTheTransfer) {
  mechanism(1);
  nQoUdP100::tAITimingControllerPrimitiveConfig config;
  config.timing.timingMode = 3;
  config.timing.acquisitionType = 2;
  subsystem->timing()->setConfiguration(config, status);
  subsystem->commit(status);
  ASSERT_EQ(status.code, 0);
  ASSERT_EQ(bus.registrations(), 1);
  windows.clearLog();
  bus.failNext(tCall::kAtomic, -50001);
  tStatus2 uncommitted;
  subsystem->uncommit(uncommitted);
  EXPECT_EQ(uncommitted.code, -50001);
  const tLog log = windows.log();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), kBusFlush) << "the front end's flush";
  EXPECT_EQ(subsystem->interrupt()->runState(), 2u) << "unlinked";
  EXPECT_EQ(subsystem->timing()->state().getState(), 1u);
  EXPECT_EQ(subsystem->frontEnd()->state().getState(), 1u);
}

}  // namespace
}  // namespace nQoTest

namespace nQoTest {
namespace {

// The immediate DMA transfer's channel was never reserved: its commit is
// refused, and the undo reaches back to the channel commit (stages A 4, B 5).
TEST_F(tAISubsystemTest, ImmediateDMAWithoutAReservedChannelFailsCommitAndUndoesEveryStep) {
  mechanism(2);
  nQoUdP100::tAITimingControllerPrimitiveConfig config;
  config.timing.timingMode = 1;
  subsystem->timing()->setConfiguration(config, status);
  nQoSim::clearStatusLog();
  subsystem->commit(status);
  EXPECT_EQ(status.code, -50150);
  EXPECT_TRUE(loggedAt(-50150, "qomiop/ai/tBaseAIImmediateDMATransferPrimitive", 310));
  EXPECT_EQ(subsystem->immediateDMA()->transferState(), 2u) << "channel commit undone";
  EXPECT_EQ(subsystem->fifo()->state().getState(), 1u);
  EXPECT_FALSE(subsystem->converter()->isAttached());
  EXPECT_EQ(subsystem->timing()->state().getState(), 1u);
  EXPECT_EQ(subsystem->frontEnd()->state().getState(), 1u);
  EXPECT_EQ(bus.registrations(), 0);
}

// Code 4100 before any commit arms no member, whose handlers no commit put
// in the dispatcher's slots, and holds no arm; a disarm then touches
// nothing. Code 4101, or the disarm of code 4, after a start stops the run
// first, so its record end and its done report go out once; a second
// disarm touches nothing.
TEST_F(tAISubsystemTest, AnArmWithoutACommitArmsNothingAndADisarmStopsTheRunItHolds) {
  struct tRecordEnds : nQoUdP100::tBaseAITimingControllerPrimitive::iRecordEndObserver {
    uint32_t recordEnded(nQoUdP100::tBaseAITimingControllerPrimitive*, tStatus2&) override {
      ++count;
      return 0;
    }
    int count = 0;
  } ends;
  nQoSim::tCallLog log;
  nQoSim::tScriptedEvent done(log, "done");
  mechanism(nQoUdP100::tBaseAISubsystem::kImmediate);
  nQoUdP100::tAITimingControllerPrimitiveConfig config;
  config.timing.timingMode = 3;
  config.timing.acquisitionType = 2;
  config.timing.firstCount = 100;
  subsystem->timing()->setConfiguration(config, status);
  subsystem->timing()->addRecordEndObserver(&ends, status);
  subsystem->immediate()->setDoneTarget(&done, status);
  windows.clearLog();
  subsystem->arm(status);
  subsystem->disarm(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_TRUE(windows.writes().empty());
  EXPECT_EQ(sourcesWithoutHandler(windows, window, *dispatcher), "");
  EXPECT_EQ(subsystem->heldSteps(), 0u);
  EXPECT_FALSE(subsystem->timing()->isArmHeld());

  // A second arm ends the run of the first too, before it clears the FIFO.
  for (const uint32_t code : {4101u, 4u, 4100u}) {
    SCOPED_TRACE("1, 4100, 2, " + std::to_string(code));
    subsystem->commit(status);
    subsystem->arm(status);
    subsystem->start(status);
    ASSERT_EQ(status.code, 0);
    ends.count = 0;
    log.clear();
    windows.clearLog();
    if (code == 4)
      subsystem->uncommit(status);
    else if (code == 4101)
      subsystem->disarm(status);
    else
      subsystem->arm(status);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(ends.count, 1) << "the run's record end";
    EXPECT_EQ(log.operations(), "done.post 1 0") << "the run's done report";
    // The second arm holds its own arm and no run.
    EXPECT_EQ(subsystem->heldSteps() & 6u, code == 4100 ? 2u : 0u);
    const tLog writes = windows.writes();
    const auto at = [&](const tAccess& access) {
      return std::find(writes.begin(), writes.end(), access) - writes.begin();
    };
    if (code == 4100) {
      EXPECT_LT(at(wrote(0x110, 0x2000)), at(wrote(0x1A6, 1))) << "the FIFO cleared under the run";
    }
    subsystem->disarm(status);
    windows.clearLog();
    subsystem->disarm(status);
    EXPECT_TRUE(windows.writes().empty()) << "a second disarm touched the board";
  }
}

// Destroyed while committed with the interrupt transfer (an observer of the
// converter, the FIFO and the timing controller), the subsystem leaves no
// handler in the dispatcher and no registration at the bus.
// A commit and a start that no undo code followed: bringDown goes by what
// the subsystem holds, so the interrupt transfer leaves the bus and the
// converter its dispatcher slot; a second bringDown finds nothing to undo.
TEST_F(tAISubsystemTest, BringDownUndoesWhatTheCodesLeftAndNothingMore) {
  mechanism(1);
  subsystem->commit(status);
  subsystem->start(status);
  ASSERT_EQ(status.code, 0);
  ASSERT_EQ(bus.registrations(), 1);
  ASSERT_TRUE(subsystem->converter()->isAttached());
  subsystem->bringDown();
  EXPECT_EQ(bus.registrations(), 0);
  EXPECT_FALSE(subsystem->converter()->isAttached());
  EXPECT_EQ(subsystem->interrupt()->runState(), 2u) << "uncommitted and unlinked";
  windows.clearLog();
  subsystem->bringDown();
  EXPECT_TRUE(windows.log().empty());
}

TEST_F(tAISubsystemTest, DestroyingACommittedSubsystemLeavesNoInterruptRegistration) {
  mechanism(1);
  subsystem->commit(status);
  ASSERT_EQ(status.code, 0);
  ASSERT_TRUE(subsystem->converter()->isAttached());
  ASSERT_EQ(bus.registrations(), 1);
  subsystem.reset();
  EXPECT_EQ(bus.registrations(), 0);
  for (uint32_t source = 0; source < nQoUdRLP100::tTavikInterruptDispatcher::kSourceCount;
       ++source) {
    EXPECT_EQ(dispatcher->primaryHandlers[source], nullptr) << source;
    EXPECT_EQ(dispatcher->secondaryHandlers[source], nullptr) << source;
  }
}

// The members that own sync objects show the order of destruction: the
// interrupt transfer's lock, the DMA transfer's lock and worker, the immediate
// DMA transfer's lock, then the timing controller's record-end events.
TEST_F(tAISubsystemTest, DestructionDeletesTheTransfersBeforeTheTimingController) {
  subsystem.reset();
  nQoSim::clearSyncLog();
  subsystem = std::make_unique<tAISubsystem>(&description, resources, status);
  ASSERT_EQ(status.code, 0);
  std::vector<const iSync*> opened;
  for (const auto& record : nQoSim::syncLog())
    if (record.operation == nQoSim::tSyncRecord::kOpen) opened.push_back(record.object);
  // Timing controller (2 events), immediate DMA lock, interrupt lock, DMA
  // lock, the DMA worker's three.
  ASSERT_EQ(opened.size(), 8u);
  subsystem.reset();
  const std::vector<const iSync*> closed = closedObjects();
  auto at = [&](const iSync* object) {
    return std::find(closed.begin(), closed.end(), object) - closed.begin();
  };
  EXPECT_LT(at(opened[3]), at(opened[4])) << "interrupt before DMA";
  EXPECT_LT(at(opened[4]), at(opened[2])) << "DMA before immediate DMA";
  EXPECT_LT(at(opened[2]), at(opened[0])) << "immediate DMA before the timing controller";
  EXPECT_EQ(closed.size(), 8u);
}

}  // namespace
}  // namespace nQoTest
