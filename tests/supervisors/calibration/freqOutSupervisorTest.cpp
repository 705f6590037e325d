// The frequency-output supervisor over the real primitive on a simulated
// board: the 0x170 writes of each control code, the done event before the
// output goes off, the event kinds by the simulated flag, and the sites.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

#include "mrl/iResourceBroker.h"
#include "reservation/tSingularResourcePool.h"
#include "sim/simAllocator.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "supervisors/calibration/tTavikFREQOUTSupervisor.h"
#include "supervisors/simBoardFixture.h"
#include "support/brokerPools.h"
#include "support/reservationDoubles.h"
#include "support/statusRecords.h"
#include "support/unorderedCall.h"

namespace nQoTest {
namespace {

using nQoUdR100::tTavikFREQOUTSupervisor;
using tPool = nQoUdR100::tSingularResourcePool<nQoUdP100::iTavikFREQOUTPrimitive*>;

// Also notes how many register writes came before each post.
class tWatchingEvent : public tScriptedEvent {
 public:
  tWatchingEvent(tCallLog& log, W& windows) : tScriptedEvent(log, "event"), windows(windows) {}
  void post(const nQoMRL110::tSoftwareAction& action, tStatus2& s) override {
    writesBefore.push_back(windows.writes().size());
    tScriptedEvent::post(action, s);
  }
  void registerEvent(uint32_t kind, tStatus2& s) override {
    tScriptedEvent::registerEvent(kind, s);
    if (onRegister) onRegister();
  }
  W& windows;
  std::vector<size_t> writesBefore;
  // Runs after each registration.
  std::function<void()> onRegister;
};

class FREQOUTSupervisorTest : public tSimBoardTest {
 protected:
  // The pool's name is allocated before the leak check starts.
  FREQOUTSupervisorTest() {
    settings.supervisorRecord().identifier.setDeviceGUID({8, 9});
    settings.supervisorRecord().identifier.setString("FREQOUT", status);
  }
  void SetUp() override {
    tSimBoardTest::SetUp();
    nQoSim::resetResourceBroker();
    primitive.emplace(map, &info);
    pool.emplace(&*primitive);
    auto& fields = settings.supervisorRecord();
    fields.timebaseSelect = 1;
    fields.divisor = 0x12;
    nQoMRL100::getResourceBroker(status)->registerPool(&fields.identifier, &*pool, status);
    facade.eventObject = &event;
    ASSERT_EQ(status.code, 0);
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    pool.reset();
    primitive.reset();
    tSimBoardTest::TearDown();
  }
  int control(tTavikFREQOUTSupervisor& supervisor, uint32_t code) {
    tStatus2 result;
    supervisor.control(code, nullptr, nullptr, result);
    return result.code;
  }
  void clearLogs() {
    windows.clearLog();
    calls.clear();
    event.writesBefore.clear();
  }

  nQoUdP100::tDeviceInfo info;
  std::optional<nQoUdP100::tTavikFREQOUTPrimitive> primitive;
  std::optional<tPool> pool;
  nQoUdR100::tTavikFREQOUTPrimitiveSettings settings;
  tCallLog calls;
  tScriptedFacade facade{calls, "facade"};
  tWatchingEvent event{calls, windows};
  tScriptedSupervisorMap supervisorMap{calls, "map"};
};

TEST_F(FREQOUTSupervisorTest, ControlCodesProgramTheOutputAndStopPostsDoneFirst) {
  tTavikFREQOUTSupervisor supervisor;
  tStatus2 s;
  supervisor.initialize(settings, &facade, s);
  EXPECT_EQ(control(supervisor, 1), -50004);
  EXPECT_TRUE(loggedAt(-50004, "tTavikFREQOUTSupervisor", 285));
  supervisor.link(supervisorMap, s);
  supervisor.reserveResource(s);
  supervisor.linkResource(s);
  EXPECT_EQ(calls.operations(),
            "facade.getEventObject, event.registerEvent 1, event.registerEvent 2");
  EXPECT_EQ(supervisor.getState(), 4u);

  clearLogs();
  EXPECT_EQ(control(supervisor, 1), 0);
  EXPECT_EQ(control(supervisor, 2), 0);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x170, 0x4002), wrote(0x170, 0xC002)}));
  EXPECT_EQ(supervisor.getState(), 6u);
  clearLogs();
  EXPECT_EQ(control(supervisor, 3), 0);
  EXPECT_EQ(calls.operations(), "event.post 1 0");
  EXPECT_EQ(event.writesBefore, (std::vector<size_t>{0}));
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x170, 0x4002)}));
  EXPECT_EQ(supervisor.getState(), 5u);

  EXPECT_EQ(control(supervisor, 2), 0);
  clearLogs();
  supervisor.commitCancel(s);
  EXPECT_EQ(calls.operations(), "event.post 1 0");
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x170, 0x4002), wrote(0x170, 0x0001)}));
  EXPECT_EQ(supervisor.getState(), 4u);
  EXPECT_EQ(control(supervisor, 7), -50256);
  EXPECT_TRUE(loggedAt(-50256, "tTavikFREQOUTSupervisor", 337));

  clearLogs();
  supervisor.unlinkResource(s);
  supervisor.releaseResource(s);
  EXPECT_EQ(calls.operations(), "event.unregisterEvent 1, event.unregisterEvent 2");
  EXPECT_EQ(supervisor.getState(), 2u);
  EXPECT_EQ(s.code, 0);
}

// A commit from another thread while the reservation prepares the output
// (the observer made, the kinds registered, timebase and divisor not yet
// handed over) finds no output: the output goes into the slot only once
// prepared, so the first commit programs the settings' values.
TEST_F(FREQOUTSupervisorTest, ACodeDuringTheReservationReachesTheOutputOnlyOnceItIsPrepared) {
  tTavikFREQOUTSupervisor supervisor;
  tStatus2 s, during;
  supervisor.initialize(settings, &facade, s);
  supervisor.link(supervisorMap, s);
  clearLogs();
  {
    tUnorderedCall code([&] { supervisor.control(1, nullptr, nullptr, during); });
    event.onRegister = [&] { EXPECT_TRUE(code.run()); };
    supervisor.reserveResource(s);
    event.onRegister = nullptr;
  }
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(during.code, -50004);
  EXPECT_TRUE(loggedAt(-50004, "tTavikFREQOUTSupervisor", 285));
  EXPECT_EQ(windows.writes(), tLog{});
  EXPECT_EQ(control(supervisor, 1), 0);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x170, 0x4002)}));
  EXPECT_EQ(supervisor.getState(), 5u);
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
}

TEST_F(FREQOUTSupervisorTest, ASimulatedBoardRegistersNoKindsAndDeployReachesAHeldPrimitive) {
  info.simulated = 1;
  tTavikFREQOUTSupervisor supervisor;
  tStatus2 s;
  supervisor.initialize(settings, &facade, s);
  supervisor.link(supervisorMap, s);
  supervisor.reserveResource(s);
  settings.supervisorRecord().divisor = 17;
  settings.supervisorRecord().timebaseSelect = 0;
  supervisor.deploy(settings, s);
  clearLogs();
  EXPECT_EQ(control(supervisor, 1), 0);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x170, 0x0001)}));
  supervisor.releaseResource(s);
  EXPECT_EQ(calls.operations(), "");
  EXPECT_EQ(s.code, 0);
}

TEST_F(FREQOUTSupervisorTest, AnObserverThatCannotBeMadeKeepsThePrimitiveForTheRelease) {
  tTavikFREQOUTSupervisor supervisor;
  tStatus2 s, failed;
  supervisor.initialize(settings, &facade, s);
  supervisor.link(supervisorMap, s);
  clearLogs();
  nQoSim::failAllocation(1);
  supervisor.reserveResource(failed);
  nQoSim::failAllocation(0);
  EXPECT_EQ(failed.code, -50352);
  EXPECT_EQ(supervisor.getState(), 2u);
  EXPECT_EQ(supervisor.getPrimitive(), &*primitive);
  supervisor.releaseResource(s);
  EXPECT_EQ(nQoSim::brokerLog().back().operation, 7);
  EXPECT_EQ(calls.operations(), "");  // no kind was registered
  EXPECT_EQ(s.code, 0);
}

// After a release (here of a running output) the done observer stays, the
// primitive does not: every code answers -50004 at 285, and neither a code,
// a deploy nor a commit-cancel reaches the output or the task's event.
// A start that comes after unlinkResource leaves the output on: the release
// stops it with its done report and resets it before the pool gets it back.
TEST_F(FREQOUTSupervisorTest, TheReleaseStopsAndResetsAnOutputThatACodeLeftOn) {
  tTavikFREQOUTSupervisor supervisor;
  tStatus2 s;
  supervisor.initialize(settings, &facade, s);
  supervisor.link(supervisorMap, s);
  supervisor.reserveResource(s);
  supervisor.linkResource(s);
  supervisor.unlinkResource(s);
  EXPECT_EQ(control(supervisor, 1), 0);
  EXPECT_EQ(control(supervisor, 2), 0);
  clearLogs();
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(calls.operations(), "event.post 1 0, event.unregisterEvent 1, event.unregisterEvent 2");
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x170, 0x4002), wrote(0x170, 0x0001)}));
  EXPECT_EQ(supervisor.getState(), 2u);
}

// A run still on when unlinkResource comes (a destruction without a
// commit-cancel takes these two steps) stops with its done report at the
// release, though unlinkResource moved the word down.
TEST_F(FREQOUTSupervisorTest, TheReleaseStopsARunThatUnlinkResourceLeftOnWithItsDoneReport) {
  tTavikFREQOUTSupervisor supervisor;
  tStatus2 s;
  supervisor.initialize(settings, &facade, s);
  supervisor.link(supervisorMap, s);
  supervisor.reserveResource(s);
  supervisor.linkResource(s);
  EXPECT_EQ(control(supervisor, 1), 0);
  EXPECT_EQ(control(supervisor, 2), 0);
  supervisor.unlinkResource(s);
  clearLogs();
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(calls.operations(), "event.post 1 0, event.unregisterEvent 1, event.unregisterEvent 2");
  EXPECT_EQ(event.writesBefore, (std::vector<size_t>{0}));
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x170, 0x4002), wrote(0x170, 0x0001)}));
  // A run that a stop ended, or that never began, has no done report to make.
  clearLogs();
  supervisor.reserveResource(s);
  supervisor.linkResource(s);
  EXPECT_EQ(control(supervisor, 1), 0);
  EXPECT_EQ(control(supervisor, 2), 0);
  EXPECT_EQ(control(supervisor, 3), 0);
  supervisor.unlinkResource(s);
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(event.writesBefore, (std::vector<size_t>{2}));  // the code 3's only
}

TEST_F(FREQOUTSupervisorTest, AfterTheReleaseNoCodeOrRequestReachesThePrimitive) {
  tTavikFREQOUTSupervisor supervisor;
  tStatus2 s;
  supervisor.initialize(settings, &facade, s);
  supervisor.link(supervisorMap, s);
  supervisor.reserveResource(s);
  supervisor.linkResource(s);
  EXPECT_EQ(control(supervisor, 1), 0);
  EXPECT_EQ(control(supervisor, 2), 0);
  supervisor.releaseResource(s);
  ASSERT_EQ(s.code, 0);
  clearLogs();
  for (const uint32_t code : {3u, 1u, 2u, 4u, 7u}) {
    SCOPED_TRACE(code);
    nQoSim::clearStatusLog();
    EXPECT_EQ(control(supervisor, code), -50004);
    EXPECT_TRUE(loggedAt(-50004, "tTavikFREQOUTSupervisor", 285));
  }
  settings.supervisorRecord().divisor = 5;
  supervisor.deploy(settings, s);
  supervisor.commitCancel(s);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(supervisor.getState(), 2u);
  EXPECT_TRUE(windows.writes().empty());
  EXPECT_EQ(calls.operations(), "");
}

// Deploys while the output is held name other pools for the next
// reservation only; the release hands back the one held.
TEST_F(FREQOUTSupervisorTest, TheReleaseHandsBackThePoolItWasGranted) {
  nQoUdP100::tTavikFREQOUTPrimitive second(map, &info), third(map, &info);
  tPool poolB(&second), poolC(&third);
  nQoUdR100::tTavikFREQOUTPrimitiveSettings namingB = settings, namingC = settings;
  offerPool(namingB.supervisorRecord().identifier, {8, 9}, "FREQOUT2", &poolB, status);
  offerPool(namingC.supervisorRecord().identifier, {8, 9}, "FREQOUT3", &poolC, status);
  ASSERT_EQ(status.code, 0);
  tTavikFREQOUTSupervisor supervisor;
  expectOnlyTheGrantHandedBack(supervisor, settings, namingB, namingC,
                               settings.supervisorRecord().identifier,
                               namingB.supervisorRecord().identifier,
                               namingC.supervisorRecord().identifier, &facade, supervisorMap);
}

}  // namespace
}  // namespace nQoTest
