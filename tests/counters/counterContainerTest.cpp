// The counter container on a board: the pair map beside the board map, the
// counter interrupts served through the board dispatcher, a refused
// registration, and the DMA paths.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "counters/counterFixture.h"
#include "counters/tTavikTIOCompositeContainer.h"
#include "orb/tGUID.h"
#include "support/boardChecks.h"
#include "support/heldCall.h"
#include "support/heldPass.h"
#include "tavik/tTavikBus.h"

namespace nQoTest {
namespace {

using nQoUdR100::tTavikTIOCompositeContainer;

TEST_F(tContainerTest, TheBoardsSharedRegistersAreNeitherFlushedNorWrittenByThePairMap) {
  board().Interrupt_A_Enable.setRegister(0x0021, &status);
  board().Interrupt_A_Enable.flush(&status, 0);
  build();
  for (uint32_t id = 0; id < 46; ++id) {
    nQoMDBG100::tStatus2 local;
    container->pair().registerObject(id)->flush(&local, 0);
  }
  EXPECT_EQ(windows.writes().size(), 21u);
  for (uint32_t shared : {0x192u, 0x196u, 0x1B8u, 0x1BAu}) EXPECT_TRUE(at(shared).empty());
  EXPECT_EQ(reportOf([&](auto* s) { container->pair().registerObject(24)->setField(2, 0, s); }),
            "-50012 qotiok tCtrPair 32");
  EXPECT_EQ(
      reportOf([&](auto* s) { container->pair().Interrupt_G0_Enable.writeField(2, 1, s, 1); }),
      "-50012 qotiok tCtrPair 40");
  EXPECT_EQ(reportOf([&](auto* s) { container->pair().G1_DMA_Control.setRegister(1, s); }),
            "-50012 qotiok tCtrPair 32");
  EXPECT_EQ(container->pair().Interrupt_G0_Enable.getRegister(), 0x0021);
  EXPECT_TRUE(at(0x192).empty());

  windows.clearLog();
  container->dispatcher().enablePrimary(0, status);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{kBegin, boardWrote(0x192, 0x0061), kEnd}));
  EXPECT_EQ(container->pair().registerObject(24)->getField(2, &status), 1u);
  EXPECT_EQ(container->pair().registerObject(24)->readField(2, &status), 1u);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tContainerTest, ACounterInterruptIsServedAcknowledgedTwiceAndPassedOnOnce) {
  build();
  tFakeTap tap(1, &calls, 2);
  tFakeTap receiver(10, &calls);
  auto& dispatcher = container->dispatcher();
  dispatcher.setPrimaryTap(0, &tap);
  dispatcher.setPrimaryReceiver(0, &receiver);
  dispatcher.enablePrimary(2, status);  // counter 2 is counter 0
  windows.setRead(boardWindow, 0x104, 16, 0x8008);
  windows.clearLog();
  EXPECT_EQ(bus.raise(1), 1u);
  EXPECT_EQ(at(0x104),
            (std::vector<tAccess>{boardRead(0x104, 0x8008), boardRead(0x104, 0x8008),
                                  boardWrote(0x104, 0x4000), boardWrote(0x104, 0x4000)}));
  EXPECT_EQ(calls, std::vector<int>{1});
  EXPECT_EQ(bus.pumpSecondary(), 1u);
  EXPECT_EQ(calls, (std::vector<int>{1, 10}));
  EXPECT_EQ(boardDispatcher().secondaryHandlers[30].load()->handleSecondaryInterrupt(), 4u);
  EXPECT_EQ(bus.pumpSecondary(), 0u);
  EXPECT_EQ(calls, (std::vector<int>{1, 10}));

  tap.answer = 0;
  windows.clearLog();
  EXPECT_EQ(bus.raise(1), 2u);
  EXPECT_EQ(at(0x104), (std::vector<tAccess>{boardRead(0x104, 0x8008), boardRead(0x104, 0x8008),
                                             boardWrote(0x104, 0x4000)}));
  EXPECT_EQ(bus.pumpSecondary(), 0u);
  EXPECT_EQ(calls, (std::vector<int>{1, 10, 1}));
  EXPECT_EQ(status.code, 0);
}

TEST_F(tContainerTest, Counter1IsServedThroughGroupBAndSwitchedOffAtomically) {
  build();
  tFakeTap tap(2, &calls, 2);
  auto& dispatcher = container->dispatcher();
  dispatcher.setPrimaryTap(1, &tap);
  dispatcher.enablePrimary(1, status);
  windows.setRead(boardWindow, 0x106, 16, 0x8008);
  EXPECT_EQ(bus.raise(1), 1u);
  EXPECT_EQ(calls, std::vector<int>{2});
  EXPECT_EQ(dispatcher.request(nQoTIO100::tTIOCtrInterruptDispatcher::kPrimary1), 1u);
  windows.clearLog();
  dispatcher.disablePrimary(3, status);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{kBegin, boardWrote(0x196, 0x0000), kEnd}));
  EXPECT_EQ(dispatcher.request(nQoTIO100::tTIOCtrInterruptDispatcher::kPrimary1), 0u);
  EXPECT_EQ(dispatcher.enabled(nQoTIO100::tTIOCtrInterruptDispatcher::kPrimary1), 0u);
  windows.clearLog();
  dispatcher.enableSecondary(0, status);
  EXPECT_EQ(windows.log(),
            (std::vector<tAccess>{kBegin, boardWrote(0x1B8, 0x0001), boardWrote(0x1B8, 0x0005),
                                  boardWrote(0x192, 0x0000), kEnd}));
  EXPECT_EQ(status.code, 0);
}

TEST_F(tContainerTest, HooksFourBoardSlotsAndUnhooksThemOnDestruction) {
  build();
  for (uint32_t source = 29; source <= 32; ++source) {
    EXPECT_NE(boardDispatcher().primaryHandlers[source], nullptr) << source;
    EXPECT_EQ(static_cast<void*>(boardDispatcher().primaryHandlers[source]),
              static_cast<void*>(boardDispatcher().primaryHandlers[source < 31 ? 29 : 31].load()));
  }
  EXPECT_NE(boardDispatcher().primaryHandlers[29], boardDispatcher().primaryHandlers[31]);
  EXPECT_EQ(bus.registrations(), 1);
  delete container;
  container = nullptr;
  for (uint32_t source = 29; source <= 32; ++source) {
    EXPECT_EQ(boardDispatcher().primaryHandlers[source], nullptr);
    EXPECT_EQ(boardDispatcher().secondaryHandlers[source], nullptr);
  }
  EXPECT_EQ(bus.registrations(), 0);
}

// A container destroyed while counters' interrupts are on (a board's
// teardown under a running task) switches them off before its handlers leave
// the board's slots.
TEST_F(tContainerTest, TheDestructionSwitchesOffTheCounterInterruptsLeftOn) {
  build();
  auto& dispatcher = container->dispatcher();
  for (uint32_t counter = 0; counter < 2; ++counter) {
    dispatcher.enablePrimary(counter, status);
    dispatcher.enableSecondary(counter, status);
  }
  ASSERT_EQ(windows.written(boardWindow, 0x192, 16) & 0x40, 0x40u);
  ASSERT_EQ(windows.written(boardWindow, 0x196, 16) & 0x200, 0x200u);
  delete container;
  container = nullptr;
  EXPECT_EQ(windows.written(boardWindow, 0x192, 16) & 0x140, 0u) << "counter 0";
  EXPECT_EQ(windows.written(boardWindow, 0x196, 16) & 0x600, 0u) << "counter 1";
  EXPECT_EQ(windows.written(boardWindow, 0x1B8, 16) & 0x5, 0u) << "counter 0's DMA interrupt";
  EXPECT_EQ(windows.written(boardWindow, 0x1BA, 16) & 0x5, 0u) << "counter 1's DMA interrupt";
  for (uint32_t source = 29; source <= 32; ++source)
    EXPECT_EQ(boardDispatcher().primaryHandlers[source], nullptr) << source;
  EXPECT_EQ(status.code, 0);
}

// An enable beside a disable on another thread (a counter class's pass that
// enables again while its task disables): the disable held inside its atomic
// run as it switches the source off, the enable waiting for the bus. Whichever
// runs last, the counter's enabled flag agrees with its source, and the
// destruction, which goes by the flag, leaves no source on without its
// handler.
TEST_F(tContainerTest, AnEnableBesideADisableLeavesTheFlagAndTheSourceAgreeing) {
  using T = nQoUdR100::tTavikCtrInterruptDispatcher;
  using D = nQoTIO100::tTIOCtrInterruptDispatcher;
  const struct {
    const char* what;
    void (T::*enable)(uint32_t, nQoMDBG100::tStatus2&);
    void (T::*disable)(uint32_t, nQoMDBG100::tStatus2&);
    uint32_t counter;
    D::tKind kind;
    uint32_t offset, bits;
  } rows[] = {
      {"primary", &T::enablePrimary, &T::disablePrimary, 1, D::kPrimary1, 0x196, 0x200},
      {"secondary", &T::enableSecondary, &T::disableSecondary, 0, D::kSecondary0, 0x1B8, 0x5}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    build();
    T& dispatcher = container->dispatcher();
    (dispatcher.*row.enable)(row.counter, status);
    tHeldCall held(tHeldCall::kGuard);
    std::atomic<std::thread::id> disabling;
    windows.onWritten([&](unsigned, uint32_t offset, uint32_t) {
      if (std::this_thread::get_id() == disabling.load() && offset == row.offset) held.hold();
    });
    nQoMDBG100::tStatus2 disabled, enabled;
    std::thread disabler([&] {
      disabling = std::this_thread::get_id();
      (dispatcher.*row.disable)(row.counter, disabled);
      disabling = std::thread::id();
    });
    ASSERT_TRUE(held.waitUntilInside());
    std::thread enabler([&] { (dispatcher.*row.enable)(row.counter, enabled); });
    const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
    while (bus.atomicRunsWaiting() == 0 && std::chrono::steady_clock::now() < guard)
      std::this_thread::yield();
    EXPECT_EQ(bus.atomicRunsWaiting(), 1) << "the enable waits for the bus";
    held.letGo();
    disabler.join();
    enabler.join();
    windows.onWritten(nullptr);
    EXPECT_FALSE(held.expired());
    EXPECT_EQ(windows.written(boardWindow, row.offset, 16) & row.bits, row.bits) << "the last: on";
    EXPECT_EQ(dispatcher.enabled(row.kind), 1u);
    delete container;
    container = nullptr;
    EXPECT_EQ(windows.written(boardWindow, row.offset, 16) & row.bits, 0u);
    EXPECT_EQ(sourcesWithoutHandler(windows, boardWindow, boardDispatcher()), "");
    EXPECT_EQ(disabled.code, 0);
    EXPECT_EQ(enabled.code, 0);
  }
}

// A second pass that took its request before a disable, held inside the
// receiver it calls: the disable returns only once the pass has left, so the
// receiver may go when the disable answers.
TEST_F(tContainerTest, ADisableWaitsForTheSecondPassUnderWay) {
  using T = nQoUdR100::tTavikCtrInterruptDispatcher;
  struct tHeldReceiver final : nQoTIO100::iTIOCtrInterruptTap {
    uint32_t handle() override {
      ++handled;
      held->hold();
      return kAcknowledge;
    }
    tHeldPass* held = nullptr;
    std::atomic<int> handled{0};
  };
  const struct {
    const char* what;
    void (T::*enable)(uint32_t, nQoMDBG100::tStatus2&);
    void (T::*disable)(uint32_t, nQoMDBG100::tStatus2&);
    uint32_t counter;
    bool primary;
    uint32_t group, pendingAt;
  } rows[] = {{"primary 0", &T::enablePrimary, &T::disablePrimary, 0, true, 0x104, 0x104},
              {"secondary 1", &T::enableSecondary, &T::disableSecondary, 1, false, 0x106, 0x1BA}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    build();
    T& dispatcher = container->dispatcher();
    tFakeTap tap(1, &calls, nQoTIO100::iTIOCtrInterruptTap::kAcknowledgeAndSecondPass);
    tHeldPass held;
    tHeldReceiver receiver;
    receiver.held = &held;
    if (row.primary) {
      dispatcher.setPrimaryTap(row.counter, &tap);
      dispatcher.setPrimaryReceiver(row.counter, &receiver);
    } else {
      dispatcher.setSecondaryTap(row.counter, &tap);
      dispatcher.setSecondaryReceiver(row.counter, &receiver);
    }
    (dispatcher.*row.enable)(row.counter, status);
    windows.setRead(boardWindow, row.group, 16, row.primary ? 0x8008 : 0x8000);
    windows.setRead(boardWindow, row.pendingAt, 16, row.primary ? 0x8008 : 0x8000);
    EXPECT_EQ(bus.raise(1), 1u);
    windows.setRead(boardWindow, row.group, 16, 0);
    windows.setRead(boardWindow, row.pendingAt, 16, 0);
    nQoMDBG100::tStatus2 disabled;
    held.run([&] { bus.pumpSecondary(); });
    held.tearDown([&] { (dispatcher.*row.disable)(row.counter, disabled); });
    EXPECT_TRUE(held.teardownWaited()) << "the disable returned with the receiver still called";
    EXPECT_EQ(receiver.handled, 1);
    EXPECT_EQ(disabled.code, 0);
    delete container;
    container = nullptr;
  }
  EXPECT_EQ(status.code, 0);
}

TEST_F(tContainerTest, ARefusedRegistrationLeavesNoHandlerAndNothingToDetach) {
  bus.failNext(tCall::kRegisterInterrupt, -7);
  container = new tTavikTIOCompositeContainer(0, *holder, status);
  EXPECT_EQ(status.code, -7);
  for (uint32_t source = 29; source <= 32; ++source)
    EXPECT_EQ(boardDispatcher().primaryHandlers[source], nullptr);
  EXPECT_EQ(bus.registrations(), 0);
  tFakeTap tap(1, &calls, 2);
  container->dispatcher().setPrimaryTap(0, &tap);
  container->dispatcher().enablePrimary(0, status);
  windows.setRead(boardWindow, 0x104, 16, 0x8008);
  EXPECT_EQ(bus.raise(1), 0u);
  bus.clearCalls();
  delete container;
  container = nullptr;
  for (const tCall& call : bus.calls()) EXPECT_NE(call.operation, tCall::kUnregisterInterrupt);
  EXPECT_TRUE(calls.empty());
}

TEST_F(tContainerTest, ABoardWithoutInterruptDispatcherStopsTheContainer) {
  nQoUdP100::tTavikBus quiet(&device, description, guid, status, 0);
  EXPECT_EQ(reportOf([&](auto* s) { tTavikTIOCompositeContainer counters(0, quiet, *s); }),
            "-50004 qotiok tCtrPair 470");
}

TEST_F(tContainerTest, ConnectingACounterWritesTheSelectUnderTheLockAndThenItsDMARegister) {
  build();
  auto& map = board();
  map.Write_000B.setRegister(0x05, &status);
  map.Write_000B.flush(&status, 0);
  map.Write_01BA.setRegister(0x0008, &status);
  windows.clearLog();
  nQoSim::clearSyncLog();
  auto& dma = container->dma();
  dma.connect(4, 1, status);
  EXPECT_EQ(windows.log(),
            (std::vector<tAccess>{boardWrote(0x00B, 0x35, 8), boardWrote(0x1BA, 0x0009)}));
  EXPECT_EQ(map.Write_01BA.getRegister(), 0x0001);
  EXPECT_EQ(lockOrder(22, [&](uint32_t id) { return map.lockGroup(id)->lock(); }),
            (std::vector<int>{20, -20}));
  windows.clearLog();
  dma.connect(4, 1, status);
  dma.connect(4, 2, status);
  EXPECT_TRUE(windows.log().empty());
  nQoSim::clearSyncLog();
  nQoMDBG100::tStatus2 refused;
  dma.connect(16, 0, refused);
  EXPECT_EQ(lastReport(), "-50150 qotiok tCtrPair 460");
  EXPECT_TRUE(nQoSim::syncLog().empty());
  EXPECT_TRUE(windows.log().empty());
  dma.disconnect(4, 1, status);
  EXPECT_EQ(windows.log(),
            (std::vector<tAccess>{boardWrote(0x00B, 0x05, 8), boardWrote(0x1BA, 0x0000)}));
  windows.clearLog();
  dma.enableDMA(0, status);
  dma.disableDMA(0, status);
  EXPECT_EQ(windows.log(),
            (std::vector<tAccess>{boardWrote(0x1B8, 0x0001), boardWrote(0x1B8, 0x0000)}));
  EXPECT_EQ(status.code, 0);
}

// The select's lock cannot be taken at disconnect; the counter's DMA
// requests are still switched off, and the lock's failure is reported.
TEST_F(tContainerTest, AFailedSelectAtDisconnectStillSwitchesTheRequestsOff) {
  build();
  auto& dma = container->dma();
  dma.connect(4, 1, status);
  ASSERT_EQ(status.code, 0);
  windows.clearLog();
  nQoSim::failNextAcquire(-7);
  nQoMDBG100::tStatus2 disconnected;
  dma.disconnect(4, 1, disconnected);
  EXPECT_EQ(disconnected.code, -7);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{boardWrote(0x1BA, 0x0000)}));
}

TEST_F(tContainerTest, ASelectLockThatWasNotTakenIsNotGivenBack) {
  build();
  // A refused acquire: giving the lock back would release a lock not held.
  nQoSim::failNextAcquire(-7);
  container->dma().connect(4, 0, status);
  EXPECT_EQ(status.code, -7);
  EXPECT_TRUE(nQoSim::syncLog().empty());
  EXPECT_TRUE(windows.log().empty());
  // The board map's lock of group 20 could not be opened.
  nQoMDBG100::tStatus2 local;
  nQoSim::failSyncOpen(20);
  {
    nQoUdRLP100::nTavik::tTavik withoutLock(&bus, boardWindow, &local);
    nQoSim::failSyncOpen(0);
    ASSERT_EQ(withoutLock.lockGroup(20)->lock(), nullptr);
    local.clear();
    nQoUdR100::tTavikTIO_DMATransferPrimitive dma(&withoutLock);
    windows.clearLog();
    nQoSim::clearSyncLog();
    dma.connect(4, 0, local);
    EXPECT_EQ(local.code, -50352);
    EXPECT_TRUE(nQoSim::syncLog().empty());
    EXPECT_TRUE(windows.log().empty());
  }
}

}  // namespace
}  // namespace nQoTest
