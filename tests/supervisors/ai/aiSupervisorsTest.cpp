// The plain analog-input supervisors over logging primitives: the control
// codes each takes part in, their sites, the flags the settings set, and
// commit-cancel.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "orb/tClassImplementation.h"
#include "primitives/aiTransferFixture.h"

#include "sim/simParameterBlock.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "sim/simSync.h"
#include "sim/simTime.h"
#include "supervisors/ai/aiSupervisors.h"
#include "supervisors/lifecycleSuite.h"
#include "support/aiTransferDoubles.h"
#include "support/brokerPools.h"
#include "support/heldCall.h"
#include "support/heldCancel.h"
#include "support/moduleFixture.h"
#include "support/reservationDoubles.h"
#include "support/statusRecords.h"

namespace {

using nQoMDBG100::tStatus2;

class tLoggedConverter : public nQoUdP100::tBaseAI_ADCPrimitive, public nQoTest::tScriptedDouble {
 public:
  explicit tLoggedConverter(nQoTest::tCallLog& log)
      : tBaseAI_ADCPrimitive(nullptr), tScriptedDouble(log, "converter") {}
  bool commit(tStatus2& s) override {
    answer("commit", s);
    return false;
  }
  void arm(tStatus2& s) override { answer("arm", s); }
  void disarm(tStatus2& s) override { answer("disarm", s); }
  void uncommit(tStatus2& s) override { answer("uncommit", s); }
  uint32_t readStatusBit11(tStatus2*) override { return 0; }
  void acknowledgeBit11(tStatus2*) override {}
  uint32_t readStatusBit5(tStatus2*) override { return bit5; }
  void enableOverrunInterrupt(tStatus2&) override {}
  void disableOverrunInterrupt(tStatus2*) override {}
  uint32_t bit5 = 0;  // the sample clock has come
};

class tLoggedSubsystem : public nQoUdP100::tBaseAISubsystem, public nQoTest::tScriptedDouble {
 public:
  explicit tLoggedSubsystem(nQoTest::tCallLog& log) : tScriptedDouble(log, "subsystem") {}
  void commit(tStatus2& s) override { answer("commit", s); }
  void arm(tStatus2& s) override { answer("arm", s); }
  void start(tStatus2& s) override { answer("start", s); }
  void stop(tStatus2& s) override { answer("stop", s); }
  void disarm(tStatus2& s) override { answer("disarm", s); }
  void uncommit(tStatus2& s) override { answer("uncommit", s); }
  void initializeHardware(tStatus2&) override {}
  void bringDown() override {
    tStatus2 s;
    answer("bringDown", s);
  }
};

class tLoggedFrontEnd : public nQoUdP100::tBaseAIScanningFrontEndPrimitive,
                        public nQoTest::tScriptedDouble {
 public:
  tLoggedFrontEnd(nQoTest::tCallLog& log, tStatus2& status)
      : tBaseAIScanningFrontEndPrimitive(nullptr, status), tScriptedDouble(log, "frontEnd") {}
  // The commit and the programming of the channels take the record, as the
  // board's do.
  void commit(tStatus2& s) override {
    _fields.program();
    answer("commit", s);
  }
  void arm(uint32_t flag, tStatus2& s) override { answer("arm " + std::to_string(flag), s); }
  void waitForSettling(tStatus2& s) override { answer("waitForSettling", s); }
  void disarm(tStatus2& s) override { answer("disarm", s); }
  void uncommit(tStatus2& s) override { answer("uncommit", s); }
  void programChannels(tStatus2& s) override {
    _fields.program();
    answer("programChannels", s);
  }
};

class AISupervisorsTest : public nQoTest::tLeakCheckedTest {
 protected:
  void SetUp() override {
    nQoTest::tLeakCheckedTest::SetUp();
    nQoSim::resetResourceBroker();
    identifier.emplace();
    identifier->setDeviceGUID({7, 9});
    identifier->setString("AI", setup);
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    nQoSim::resetTime();
    identifier.reset();
    nQoTest::tLeakCheckedTest::TearDown();
  }

  template <class tPool>
  void offer(tPool& pool) {
    nQoMRL100::getResourceBroker(setup)->registerPool(&*identifier, &pool, setup);
  }

  // initialize, link, and reserveResource plus linkResource when asked.
  template <class tSupervisor, class tSettings>
  void bringUp(tSupervisor& supervisor, tSettings& settings, bool reserve = true) {
    settings.supervisorRecord().identifier = *identifier;
    tStatus2 status;
    supervisor.initialize(settings, &facade, status);
    supervisor.link(map, status);
    if (reserve) {
      supervisor.reserveResource(status);
      supervisor.linkResource(status);
    }
    ASSERT_EQ(status.code, 0);
    ASSERT_EQ(state(supervisor), reserve ? 40 : 20);
    log.clear();
  }

  template <class tSupervisor>
  int32_t state(tSupervisor& supervisor) {
    return supervisor.getTracker().getState(setup);
  }

  tStatus2 setup;
  nQoTest::tCallLog log;
  nQoTest::tScriptedFacade facade{log, "facade"};
  nQoTest::tScriptedSupervisorMap map{log, "map"};
  std::optional<nQoMRL100::tGeneralIdentifier> identifier;
};

TEST_F(AISupervisorsTest, TheConverterTakesPartInNoCodeAndPreparesOn4102) {
  tLoggedConverter converter(log);
  nQoUdR100::tBaseAI_ADCSupervisorRow::tPool pool(&converter);
  offer(pool);
  nQoUdR100::tAI_ADCSettings settings;
  nQoUdR100::tBaseAI_ADCSupervisor supervisor;
  bringUp(supervisor, settings, false);

  tStatus2 early;
  supervisor.control(4102, nullptr, nullptr, early);
  EXPECT_EQ(early.code, -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tAutoController.ipp", 30));
  EXPECT_EQ(state(supervisor), 20);

  tStatus2 status;
  supervisor.reserveResource(status);
  supervisor.linkResource(status);
  ASSERT_EQ(status.code, 0);
  tStatus2 own, start, unknown;
  supervisor.control(4102, nullptr, nullptr, own);
  EXPECT_EQ(own.code, 0);
  EXPECT_EQ(state(supervisor), 40);

  supervisor.control(2, nullptr, nullptr, start);
  EXPECT_EQ(start.code, -50256);
  EXPECT_TRUE(nQoTest::loggedAt(-50256, "source/qomiop/ai/tBaseAI_ADCPrimitive", 139));
  EXPECT_FALSE(nQoTest::loggedAt(-50256, "tBaseAI_ADCSupervisor", 161));
  EXPECT_EQ(state(supervisor), 40);

  supervisor.control(77, nullptr, nullptr, unknown);
  EXPECT_EQ(unknown.code, -50256);
  EXPECT_TRUE(nQoTest::loggedAt(-50256, "tBaseAI_ADCSupervisor", 161));
  tStatus2 commit;
  supervisor.control(1, nullptr, nullptr, commit);
  EXPECT_EQ(commit.code, -50256);
  EXPECT_EQ(log.operations(), "converter.commit");
  EXPECT_EQ(state(supervisor), 40);
  supervisor.releaseResource(status);
}

// A code whose flag is clear still runs the primitive's operation, and a
// task released without a commit-cancel reaches the release so: the release
// brings the converter down (disarm, uncommit) and closes the wait's event
// and the controller's record of its commit before the pool gets them back.
TEST_F(AISupervisorsTest, TheReleaseBringsThePrimitiveDownFromWhatTheCodesLeft) {
  tLoggedConverter converter(log);
  nQoUdR100::tBaseAI_ADCSupervisorRow::tPool converterPool(&converter);
  offer(converterPool);
  nQoUdR100::tAI_ADCSettings converterSettings;
  nQoUdR100::tBaseAI_ADCSupervisor adc;
  bringUp(adc, converterSettings);
  tStatus2 code, status;
  adc.control(1, nullptr, nullptr, code);
  adc.control(4100, nullptr, nullptr, code.clear());
  EXPECT_EQ(code.code, -50256);
  adc.releaseResource(status);
  EXPECT_EQ(log.operations(),
            "converter.commit, converter.arm, converter.disarm, converter.uncommit");
  EXPECT_EQ(status.code, 0);
  nQoSim::resetResourceBroker();

  nQoTest::tTimingControllerStub timing;
  nQoUdP100::tBaseAI_WFNSCPrimitive wait(&timing, &converter);
  nQoUdR100::tBaseAI_WFNSCSupervisorRow::tPool waitPool(&wait);
  offer(waitPool);
  nQoUdR100::tAI_WFNSCSettings waitSettings;
  waitSettings.supervisorRecord().word2 = 0;  // event mode
  nQoUdR100::tBaseAI_WFNSCSupervisor supervisor;
  bringUp(supervisor, waitSettings);
  nQoSim::clearSyncLog();
  supervisor.control(1, nullptr, nullptr, status);
  ASSERT_EQ(status.code, 0);
  ASSERT_NE(timing.findSampleStartObserver(&wait), nullptr);
  supervisor.releaseResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(timing.findSampleStartObserver(&wait), nullptr);
  int opened = 0, closed = 0;
  for (const nQoSim::tSyncRecord& record : nQoSim::syncLog()) {
    opened += record.operation == nQoSim::tSyncRecord::kOpen;
    closed += record.operation == nQoSim::tSyncRecord::kClose;
  }
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(closed, 1) << "the wait's event outlived its release";
}

// The device FIFO's commit and arm still run while it takes part in no code:
// its release disarms and uncommits it. The timing controller's release
// takes back the task's action also when no unlinkResource did before it.
TEST_F(AISupervisorsTest, TheFIFOAndTimingReleasesUndoWhatTheCodesAndTheLinkLeft) {
  const nQoUdP100::tAIFIFODescription description{64, 0, 0};
  nQoTest::tBytesFIFO fifo(log, &description, setup);
  nQoUdR100::tBaseAIDeviceFIFOSupervisorRow::tPool fifoPool(&fifo);
  offer(fifoPool);
  nQoUdR100::tAIDeviceFIFOSettings fifoSettings;
  nQoUdR100::tBaseAIDeviceFIFOSupervisor fifoSupervisor;
  bringUp(fifoSupervisor, fifoSettings);
  tStatus2 code, status;
  fifoSupervisor.control(1, nullptr, nullptr, code);
  fifoSupervisor.control(4100, nullptr, nullptr, code.clear());
  fifoSupervisor.releaseResource(status);
  EXPECT_EQ(log.operations(), "fifo.commit, fifo.arm, fifo.disarm, fifo.uncommit");
  EXPECT_EQ(status.code, 0);
  nQoSim::resetResourceBroker();

  nQoTest::tTimingControllerStub timing;
  nQoUdR100::tBaseAITimingControllerSupervisorRow::tPool timingPool(&timing);
  offer(timingPool);
  nQoTest::tScriptedSchedulerSupervisor scheduler{log, "scheduler"};
  map.entries[3] = &scheduler;
  nQoUdR100::tAITimingControllerSettings timingSettings;
  timingSettings.supervisorRecord().word1 = 3;
  nQoUdR100::tBaseAITimingControllerSupervisor timingSupervisor;
  bringUp(timingSupervisor, timingSettings);
  ASSERT_EQ(timing.getSchedulerAction(), &scheduler.action);
  timingSupervisor.releaseResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(timing.getSchedulerAction(), nullptr) << "the next owner would run the old action";
}

// Deploys while the converter is held name other pools for the next
// reservation only; the release hands back the one held.
TEST_F(AISupervisorsTest, TheReleaseHandsBackTheConverterItWasGranted) {
  tLoggedConverter first(log), second(log), third(log);
  nQoUdR100::tBaseAI_ADCSupervisorRow::tPool poolA(&first), poolB(&second), poolC(&third);
  nQoUdR100::tAI_ADCSettings namingA, namingB, namingC;
  nQoTest::offerPool(namingA.supervisorRecord().identifier, {7, 9}, "AI_ADC", &poolA, setup);
  nQoTest::offerPool(namingB.supervisorRecord().identifier, {7, 9}, "AI_ADC2", &poolB, setup);
  nQoTest::offerPool(namingC.supervisorRecord().identifier, {7, 9}, "AI_ADC3", &poolC, setup);
  ASSERT_EQ(setup.code, 0);
  nQoUdR100::tBaseAI_ADCSupervisor supervisor;
  nQoTest::expectOnlyTheGrantHandedBack(
      supervisor, namingA, namingB, namingC, namingA.supervisorRecord().identifier,
      namingB.supervisorRecord().identifier, namingC.supervisorRecord().identifier, &facade, map);
}

TEST_F(AISupervisorsTest, TheSubsystemStartsOnlyWhileItsRecordSaysSo) {
  tLoggedSubsystem subsystem(log);
  nQoUdR100::tBaseAISubsystemSupervisorRow::tPool pool(&subsystem);
  offer(pool);
  nQoUdR100::tAISubsystemSettings settings;
  settings.supervisorRecord().word1 = 0;
  nQoUdR100::tBaseAISubsystemSupervisor supervisor;
  bringUp(supervisor, settings);

  tStatus2 status, start;
  supervisor.control(1, nullptr, nullptr, status);
  supervisor.control(4100, nullptr, nullptr, status);
  ASSERT_EQ(status.code, 0);
  ASSERT_EQ(state(supervisor), 60);
  supervisor.control(2, nullptr, nullptr, start);
  EXPECT_EQ(start.code, -50256);
  EXPECT_TRUE(nQoTest::loggedAt(-50256, "tBaseAISubsystemSupervisor", 156));
  EXPECT_EQ(state(supervisor), 60);
  EXPECT_EQ(log.operations(), "subsystem.commit, subsystem.arm, subsystem.start");

  log.clear();
  tStatus2 cancel;
  supervisor.commitCancel(cancel);
  EXPECT_EQ(cancel.code, 0);
  EXPECT_EQ(log.operations(), "subsystem.disarm, subsystem.uncommit");
  EXPECT_EQ(state(supervisor), 40);

  // The default record enables start again on the next deploy.
  nQoUdR100::tAISubsystemSettings defaults;
  defaults.supervisorRecord().identifier = *identifier;
  tStatus2 deploy, run;
  supervisor.deploy(defaults, deploy);
  supervisor.control(1, nullptr, nullptr, run);
  supervisor.control(4100, nullptr, nullptr, run);
  supervisor.control(2, nullptr, nullptr, run);
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(state(supervisor), 70);
  supervisor.releaseResource(status);
}

// A subsystem released while a commit and an arm are still on (no
// commit-cancel before the release) is brought down by what it holds before
// it goes back.
TEST_F(AISupervisorsTest, TheSubsystemReleaseBringsItDownFirst) {
  tLoggedSubsystem subsystem(log);
  nQoUdR100::tBaseAISubsystemSupervisorRow::tPool pool(&subsystem);
  offer(pool);
  nQoUdR100::tAISubsystemSettings settings;
  nQoUdR100::tBaseAISubsystemSupervisor supervisor;
  bringUp(supervisor, settings);
  tStatus2 status;
  supervisor.control(1, nullptr, nullptr, status);
  supervisor.control(4100, nullptr, nullptr, status);
  ASSERT_EQ(status.code, 0);
  supervisor.releaseResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(log.operations(), "subsystem.commit, subsystem.arm, subsystem.bringDown");
  EXPECT_EQ(nQoSim::brokerLog().back().operation, 7);
}

// Which codes the subsystem and the front end take part in, and whether the
// waits are off, go by the first settings until a code 1, then by what code
// 1 took: a deploy under the commit reaches the codes only through the next
// code 1, and a release goes back to the first settings.
TEST_F(AISupervisorsTest, TheCodesGoByWhatCodeOneTookOfTheSettings) {
  constexpr uint32_t kDeploy = 0;  // a deploy that turns the codes (or waits) off
  struct tStep {
    uint32_t code;
    int answer;
    int32_t state;
    const char* calls;
  };
  auto walk = [&](auto& supervisor, auto settings, auto turnOff, const std::vector<tStep>& steps) {
    bringUp(supervisor, settings);
    for (const tStep& step : steps) {
      SCOPED_TRACE(step.code);
      log.clear();
      tStatus2 status;
      if (step.code == kDeploy) {
        turnOff(settings);
        supervisor.deploy(settings, status);
      } else {
        supervisor.control(step.code, nullptr, nullptr, status);
      }
      EXPECT_EQ(status.code, step.answer);
      EXPECT_EQ(state(supervisor), step.state);
      EXPECT_EQ(log.operations(), step.calls);
    }
    tStatus2 status;
    supervisor.releaseResource(status);
    supervisor.reserveResource(status);
    supervisor.linkResource(status);
    EXPECT_EQ(status.code, 0);
    uint32_t flags = 0;
    for (uint32_t code : {1, 4100, 2, 3, 4101, 4})
      flags = flags << 1 | supervisor.getTracker().isControlEnabled(code, status);
    return flags;
  };
  const auto word1Off = [](auto& settings) { settings.supervisorRecord().word1 = 0; };

  tLoggedSubsystem subsystem(log);
  nQoUdR100::tBaseAISubsystemSupervisorRow::tPool subsystemPool(&subsystem);
  offer(subsystemPool);
  nQoUdR100::tBaseAISubsystemSupervisor subsystemSupervisor;
  const uint32_t subsystemFlags =
      walk(subsystemSupervisor, nQoUdR100::tAISubsystemSettings{}, word1Off,
           {{1, 0, 50, "subsystem.commit"},
            {kDeploy, 0, 50, ""},
            {4100, 0, 60, "subsystem.arm"},
            {2, 0, 70, "subsystem.start"},
            {3, 0, 60, "subsystem.stop"},
            {4101, 0, 50, "subsystem.disarm"},
            {1, 0, 50, "subsystem.commit"},
            {4100, 0, 60, "subsystem.arm"},
            {2, -50256, 60, "subsystem.start"}});
  EXPECT_EQ(subsystemFlags, 0b111111u);
  tStatus2 released;
  subsystemSupervisor.releaseResource(released);
  nQoSim::resetResourceBroker();

  tLoggedFrontEnd frontEnd(log, setup);
  nQoUdR100::tBaseAIScanningFrontEndSupervisorRow::tPool frontEndPool(&frontEnd);
  offer(frontEndPool);
  nQoUdR100::tAIScanningFrontEndSettings frontEndSettings;
  frontEndSettings.record<0>().channels.append({});
  frontEndSettings.supervisorRecord().word1 = 1;
  nQoUdR100::tBaseAIScanningFrontEndSupervisor frontEndSupervisor;
  const uint32_t frontEndFlags = walk(frontEndSupervisor, frontEndSettings, word1Off,
                                      {{1, 0, 50, "frontEnd.commit"},
                                       {kDeploy, 0, 50, ""},
                                       {4100, 0, 60, "frontEnd.arm 1"},
                                       {4101, 0, 50, "frontEnd.disarm"},
                                       {4, 0, 40, "frontEnd.uncommit"},
                                       {1, -50256, 40, "frontEnd.commit"}});
  EXPECT_EQ(frontEndFlags, 0b110011u);
  frontEndSupervisor.releaseResource(released);
  nQoSim::resetResourceBroker();

  // The fifth value turns the waits off from initialize on, and again after
  // a release; a code 1 of the settings that turn them on makes 400 wait.
  tLoggedConverter converter(log);
  converter.bit5 = 1;
  nQoTest::tTimingControllerStub timing;
  nQoUdP100::tBaseAI_WFNSCPrimitive wait(&timing, &converter);
  nQoUdR100::tBaseAI_WFNSCSupervisorRow::tPool waitPool(&wait);
  offer(waitPool);
  nQoUdR100::tAI_WFNSCSettings waitSettings;
  waitSettings.supervisorRecord().word5 = 1;
  nQoUdR100::tBaseAI_WFNSCSupervisor waitSupervisor;
  walk(
      waitSupervisor, waitSettings,
      [](nQoUdR100::tAI_WFNSCSettings& settings) { settings.supervisorRecord().word5 = 0; },
      {{400, 0, 40, ""}, {kDeploy, 0, 40, ""}, {400, 0, 40, ""}, {1, 0, 50, ""}, {400, 0, 50, ""}});
  EXPECT_EQ(wait.waits(), 1u);
  tStatus2 off;
  waitSupervisor.control(400, nullptr, nullptr, off);
  EXPECT_EQ(off.code, 0);
  EXPECT_EQ(wait.waits(), 1u);
  waitSupervisor.releaseResource(released);
  EXPECT_EQ(released.code, 0);
}

TEST_F(AISupervisorsTest, TheFrontEndTakesItsCodesFromTheRecordAndSetsOneChannel) {
  tLoggedFrontEnd frontEnd(log, setup);
  nQoUdR100::tBaseAIScanningFrontEndSupervisorRow::tPool pool(&frontEnd);
  offer(pool);
  nQoUdR100::tAIScanningFrontEndSettings settings;
  settings.record<0>().channels.append({});
  settings.supervisorRecord().word1 = 1;
  nQoUdR100::tBaseAIScanningFrontEndSupervisor supervisor;
  bringUp(supervisor, settings);

  struct tCase {
    uint32_t code;
    const char* call;
    int expected;
    int32_t state;
  };
  const tCase cases[] = {{1, "frontEnd.commit", 0, 50},
                         {4100, "frontEnd.arm 1", 0, 60},
                         {2, "frontEnd.waitForSettling", -50256, 60},
                         {3, "", -50256, 60}};
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.code);
    log.clear();
    tStatus2 status;
    supervisor.control(c.code, nullptr, nullptr, status);
    EXPECT_EQ(status.code, c.expected);
    if (c.expected != 0) {
      EXPECT_TRUE(nQoTest::loggedAt(-50256, "tBaseAIScanningFrontEndSupervisor", 199));
    }
    EXPECT_EQ(log.operations(), c.call);
    EXPECT_EQ(state(supervisor), c.state);
  }

  // 4103: index, then two values of i32, i16, u16.
  nQoSim::tByteParameterBlock indexOnly({0, 0, 0, 0});
  tStatus2 tooShort, noBlock, range;
  supervisor.control(4103, &indexOnly, nullptr, tooShort);
  EXPECT_EQ(tooShort.code, -50150);
  EXPECT_TRUE(nQoTest::loggedAt(-50150, "tParameterBlockValidateHelper", 47));
  tStatus2 programmed;
  frontEnd.programChannels(programmed);
  EXPECT_EQ(frontEnd.configuration().channels[0].rangeLow.value, -10);
  EXPECT_EQ(state(supervisor), 60);
  supervisor.control(4103, nullptr, nullptr, noBlock);
  EXPECT_EQ(noBlock.code, -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tParameterBlockValidateHelper", 29));
  nQoSim::tByteParameterBlock full({0, 0, 0, 0, 0xFB, 0xFF, 0xFF, 0xFF, 0xFD, 0xFF, 2, 0,  //
                                    5, 0, 0, 0, 1,    0,    3,    0});
  supervisor.control(4103, &full, nullptr, range);
  EXPECT_EQ(range.code, 0);
  // The range reaches the record with the next programming of the channels.
  EXPECT_EQ(frontEnd.configuration().channels[0].rangeLow.value, -10);
  frontEnd.programChannels(programmed);
  const auto& entry = frontEnd.configuration().channels[0];
  EXPECT_EQ(entry.rangeLow.value, -5);
  EXPECT_EQ(entry.rangeLow.exponent, -3);
  EXPECT_EQ(entry.rangeLow.kind, 2);
  EXPECT_EQ(entry.rangeHigh.value, 5);
  EXPECT_EQ(entry.rangeHigh.exponent, 1);
  EXPECT_EQ(entry.rangeHigh.kind, 3);

  nQoSim::tByteParameterBlock past({1, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0});
  tStatus2 beyond;
  supervisor.control(4104, &past, nullptr, beyond);
  EXPECT_EQ(beyond.code, -50150);
  EXPECT_TRUE(nQoTest::loggedAt(-50150, "source/qomiop/ai/tBaseAIScanningFrontEndPrimitive", 131));
  nQoSim::tByteParameterBlock first({0, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0});
  tStatus2 codes;
  supervisor.control(4104, &first, nullptr, codes);
  EXPECT_EQ(codes.code, 0);
  EXPECT_EQ(entry.positiveInputCode, 257);
  frontEnd.programChannels(programmed);
  EXPECT_EQ(entry.positiveInputCode, 1);
  EXPECT_EQ(entry.referenceCode, 2);

  log.clear();
  tStatus2 down;
  supervisor.control(4101, nullptr, nullptr, down);
  supervisor.control(4, nullptr, nullptr, down);
  EXPECT_EQ(down.code, 0);
  EXPECT_EQ(log.operations(), "frontEnd.disarm, frontEnd.uncommit");
  EXPECT_EQ(state(supervisor), 40);
  tStatus2 status;
  supervisor.releaseResource(status);
}

TEST_F(AISupervisorsTest, TheTimingControllerLinksItsSchedulerActionByKey) {
  nQoTest::tTimingControllerStub timing;
  nQoUdR100::tBaseAITimingControllerSupervisorRow::tPool pool(&timing);
  offer(pool);
  nQoTest::tScriptedSchedulerSupervisor scheduler{log, "scheduler"};
  nQoTest::tScriptedDMAChannel foreign{log, "foreign"};
  map.entries[3] = &scheduler;
  map.entries[4] = &foreign;

  // No key: neither the map nor the primitive is touched.
  nQoUdR100::tAITimingControllerSettings settings;
  nQoUdR100::tBaseAITimingControllerSupervisor plain;
  bringUp(plain, settings);
  EXPECT_EQ(log.operations(), "");
  EXPECT_EQ(timing.getSchedulerAction(), nullptr);
  tStatus2 status, code;
  plain.control(2, nullptr, nullptr, code);
  EXPECT_EQ(code.code, -50256);
  EXPECT_TRUE(nQoTest::loggedAt(-50256, "tBaseAITimingControllerSupervisor", 165));
  plain.releaseResource(status);
  ASSERT_EQ(status.code, 0);

  // A key of another class: -89000 at link, the state stays 10.
  settings.supervisorRecord().identifier = *identifier;
  settings.supervisorRecord().word1 = 4;
  nQoUdR100::tBaseAITimingControllerSupervisor wrong;
  tStatus2 cast;
  wrong.initialize(settings, &facade, cast);
  wrong.link(map, cast);
  EXPECT_EQ(cast.code, -89000);
  EXPECT_EQ(state(wrong), 10);

  // The scheduler's action goes to the primitive; a failed linkResource is
  // undone at once, and unlinkResource after it clears again.
  settings.supervisorRecord().word1 = 3;
  nQoUdR100::tBaseAITimingControllerSupervisor linked;
  tStatus2 up;
  linked.initialize(settings, &facade, up);
  linked.link(map, up);
  linked.reserveResource(up);
  ASSERT_EQ(up.code, 0);
  scheduler.answers["getSchedulerAction"] = -7;
  tStatus2 failed, down, release;
  linked.linkResource(failed);
  EXPECT_EQ(failed.code, -7);
  EXPECT_EQ(timing.getSchedulerAction(), nullptr);
  linked.unlinkResource(down);
  EXPECT_EQ(down.code, 0);
  EXPECT_EQ(timing.getSchedulerAction(), nullptr);
  linked.releaseResource(release);
}

TEST_F(AISupervisorsTest, TheDeviceFIFOCommitsAndThenTakesNoPart) {
  const nQoUdP100::tAIFIFODescription description{64, 0, 0};
  nQoTest::tBytesFIFO fifo(log, &description, setup);
  nQoUdR100::tBaseAIDeviceFIFOSupervisorRow::tPool pool(&fifo);
  offer(pool);
  nQoUdR100::tAIDeviceFIFOSettings settings;
  nQoUdR100::tBaseAIDeviceFIFOSupervisor supervisor;
  bringUp(supervisor, settings);
  tStatus2 commit, status;
  supervisor.control(1, nullptr, nullptr, commit);
  EXPECT_EQ(commit.code, -50256);
  EXPECT_TRUE(nQoTest::loggedAt(-50256, "tBaseAIDeviceFIFOSupervisor", 181));
  EXPECT_EQ(log.operations(), "fifo.commit");
  EXPECT_EQ(state(supervisor), 40);
  EXPECT_EQ(supervisor.getPrimitive(), &fifo);
  supervisor.releaseResource(status);
  EXPECT_EQ(supervisor.getPrimitive(), nullptr);
}

// The flag word each supervisor declares at initialize, read bit by bit:
// bits 0-5 for codes 1, 4100, 2, 3, 4101, 4. The subsystem's start and the
// front end's four codes follow the first value of the supervisor record.
TEST_F(AISupervisorsTest, EachSupervisorDeclaresItsControlCodesInItsFlagWord) {
  auto flagWord = [](auto& supervisor) {
    tStatus2 query;
    nQoMRTB100::tSupStateTracker& tracker = supervisor.getTracker();
    return tracker.getFlag0(query) | tracker.getFlag1(query) << 1 | tracker.getFlag2(query) << 2 |
           tracker.getFlag3(query) << 3 | tracker.getFlag4(query) << 4 |
           tracker.getFlag5(query) << 5;
  };
  auto initialized = [&](auto& supervisor, auto settings, uint32_t word1) {
    if constexpr (requires { settings.supervisorRecord().word1; })
      settings.supervisorRecord().word1 = word1;
    tStatus2 status;
    supervisor.initialize(settings, &facade, status);
    EXPECT_EQ(status.code, 0);
    return flagWord(supervisor);
  };
  for (uint32_t word1 : {0u, 1u}) {
    SCOPED_TRACE(word1);
    nQoUdR100::tBaseAI_ADCSupervisor converter;
    nQoUdR100::tBaseAISubsystemSupervisor subsystem;
    nQoUdR100::tBaseAIScanningFrontEndSupervisor frontEnd;
    nQoUdR100::tBaseAIDeviceFIFOSupervisor fifo;
    nQoUdR100::tBaseAI_WFNSCSupervisor wait;
    EXPECT_EQ(initialized(converter, nQoUdR100::tAI_ADCSettings{}, word1), 0x00u);
    EXPECT_EQ(initialized(subsystem, nQoUdR100::tAISubsystemSettings{}, word1),
              word1 != 0 ? 0x3Fu : 0x3Bu);
    EXPECT_EQ(initialized(frontEnd, nQoUdR100::tAIScanningFrontEndSettings{}, word1),
              word1 != 0 ? 0x33u : 0x00u);
    EXPECT_EQ(initialized(fifo, nQoUdR100::tAIDeviceFIFOSettings{}, word1), 0x00u);
    EXPECT_EQ(initialized(wait, nQoUdR100::tAI_WFNSCSettings{}, word1), 0x33u);
  }
  nQoUdR100::tBaseAITimingControllerSupervisor timing;
  nQoUdR100::tAITimingControllerSettings timingSettings;
  tStatus2 status;
  timing.initialize(timingSettings, &facade, status);
  EXPECT_EQ(flagWord(timing), 0x00u);
}

TEST_F(AISupervisorsTest, ThePlatformCreatesEachSupervisorByItsClassName) {
  nQoTest::tLoadedModule module;
  const char* const names[] = {"nQoUdR100::tBaseAI_ADCSupervisor",
                               "nQoUdR100::tBaseAISubsystemSupervisor",
                               "nQoUdR100::tBaseAIScanningFrontEndSupervisor",
                               "nQoUdR100::tBaseAITimingControllerSupervisor",
                               "nQoUdR100::tBaseAIDeviceFIFOSupervisor",
                               "nQoUdR100::tBaseAI_WFNSCSupervisor",
                               "nQoUdR100::tBaseAI_DMATransferSupervisor",
                               "nQoUdR100::tBaseAIInterruptTransferSupervisor",
                               "nQoUdR100::tBaseAnalogTriggerSupervisor",
                               "nQoUdR100::tAIImmediateTransferSupervisor",
                               "nQoUdR100::tAIImmediateDMATransferSupervisor"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    int code = 0;
    nQoORB100::tObject* object = nQoORB100::tClassRegistry::createByName(name, code);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances(name), 1);
    object->getClass(code).deleteInstance(object, code);
    EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances(name), 0);
  }
}

TEST_F(AISupervisorsTest, TheSampleClockWaitNeedsACommitAndMayBeTurnedOff) {
  using tRow = nQoUdR100::tBaseAI_WFNSCSupervisorRow;
  tLoggedConverter converter(log);
  converter.bit5 = 1;
  nQoTest::tTimingControllerStub timing;
  nQoUdP100::tBaseAI_WFNSCPrimitive wait(&timing, &converter);
  tRow::tPool pool(&wait);
  offer(pool);
  nQoUdR100::tAI_WFNSCSettings settings;
  nQoUdR100::tBaseAI_WFNSCSupervisor supervisor;
  bringUp(supervisor, settings);

  tStatus2 early;
  supervisor.control(400, nullptr, nullptr, early);
  EXPECT_EQ(early.code, -200475);
  EXPECT_TRUE(nQoTest::loggedAt(-200475, "tBaseAI_WFNSCSupervisor", 89));
  EXPECT_EQ(wait.waits(), 0u);

  tStatus2 status;
  supervisor.control(1, nullptr, nullptr, status);
  supervisor.control(400, nullptr, nullptr, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(state(supervisor), 50);
  EXPECT_EQ(wait.waits(), 1u);

  // The extra operation waits only when the facade lets the caller block.
  facade.mayBlockAnswer = 0;
  tRow::waitForNextSampleClock(supervisor, status);
  EXPECT_EQ(wait.waits(), 1u);
  EXPECT_EQ(facade.endBlockingCount, 0);
  facade.mayBlockAnswer = 1;
  tRow::waitForNextSampleClock(supervisor, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(wait.waits(), 2u);
  EXPECT_EQ(facade.endBlockingCount, 1);

  // The fifth value turns the waits off from the next code 1 on: under the
  // commit before, 400, 401 and the extra operation still wait.
  settings.supervisorRecord().word5 = 1;
  supervisor.deploy(settings, status);
  nQoSim::tByteParameterBlock fourBytes({0, 0, 0, 0});
  tStatus2 deployed;
  supervisor.control(400, nullptr, nullptr, deployed);
  supervisor.control(401, &fourBytes, nullptr, deployed);
  tRow::waitForNextSampleClock(supervisor, deployed);
  EXPECT_EQ(deployed.code, 0);
  EXPECT_EQ(wait.waits(), 5u);
  EXPECT_EQ(facade.endBlockingCount, 2);
  supervisor.control(4, nullptr, nullptr, status);
  supervisor.control(1, nullptr, nullptr, status);
  ASSERT_EQ(status.code, 0);

  // Off now; 401 still reads its time-out.
  nQoSim::tByteParameterBlock twoBytes({1, 0});
  tStatus2 off, extra, timed;
  supervisor.control(400, nullptr, nullptr, off);
  tRow::waitForNextSampleClock(supervisor, extra);
  supervisor.control(401, &twoBytes, nullptr, timed);
  EXPECT_EQ(off.code, 0);
  EXPECT_EQ(extra.code, 0);
  EXPECT_EQ(timed.code, -50150);
  EXPECT_EQ(wait.waits(), 5u);
  EXPECT_EQ(facade.endBlockingCount, 2);

  // A deploy that turns them on again reaches them with the next code 1 too.
  settings.supervisorRecord().word5 = 0;
  supervisor.deploy(settings, status);
  supervisor.control(400, nullptr, nullptr, off);
  EXPECT_EQ(wait.waits(), 5u);
  supervisor.control(4, nullptr, nullptr, status);
  supervisor.control(1, nullptr, nullptr, status);
  supervisor.control(400, nullptr, nullptr, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(wait.waits(), 6u);
  supervisor.releaseResource(status);
}

TEST_F(AISupervisorsTest, TheWaitSupervisorMadeByNameWaitsThroughItsSecondInterface) {
  nQoTest::tLoadedModule module;
  tLoggedConverter converter(log);
  converter.bit5 = 1;
  nQoTest::tTimingControllerStub timing;
  nQoUdP100::tBaseAI_WFNSCPrimitive wait(&timing, &converter);
  nQoUdR100::tBaseAI_WFNSCSupervisorRow::tPool pool(&wait);
  offer(pool);
  int code = 0;
  nQoORB100::tObject* object =
      nQoORB100::tClassRegistry::createByName("nQoUdR100::tBaseAI_WFNSCSupervisor", code);
  ASSERT_NE(object, nullptr);
  using tSupervisor = nQoUdR100::tBaseAI_WFNSCSupervisor;
  auto* supervisor =
      static_cast<tSupervisor*>(object->___CPPKRLDynamicCast(&tSupervisor::___classID));
  ASSERT_NE(supervisor, nullptr);
  nQoUdR100::iWaitForNextSampleClockSupervisor& waiter = *supervisor;
  nQoUdR100::tAI_WFNSCSettings settings;
  bringUp(*supervisor, settings);

  tStatus2 early;
  waiter.waitForNextSampleClock(early);
  EXPECT_EQ(early.code, -200475);
  EXPECT_TRUE(nQoTest::loggedAt(-200475, "tBaseAI_WFNSCSupervisor", 89));
  EXPECT_EQ(wait.waits(), 0u);
  EXPECT_EQ(facade.endBlockingCount, 0);

  tStatus2 status;
  supervisor->control(1, nullptr, nullptr, status);
  ASSERT_EQ(state(*supervisor), 50);
  facade.mayBlockAnswer = 1;
  waiter.waitForNextSampleClock(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(wait.waits(), 1u);
  EXPECT_EQ(facade.endBlockingCount, 1);
  facade.mayBlockAnswer = 0;
  waiter.waitForNextSampleClock(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(wait.waits(), 1u);
  EXPECT_EQ(facade.endBlockingCount, 1);

  // A deploy that turns the waits off reaches them with the next code 1.
  settings.supervisorRecord().word5 = 1;
  supervisor->deploy(settings, status);
  facade.mayBlockAnswer = 1;
  waiter.waitForNextSampleClock(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(wait.waits(), 2u);
  EXPECT_EQ(facade.endBlockingCount, 2);
  supervisor->control(4, nullptr, nullptr, status);
  supervisor->control(1, nullptr, nullptr, status);
  nQoSim::clearStatusLog();
  waiter.waitForNextSampleClock(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(wait.waits(), 2u);
  EXPECT_EQ(facade.endBlockingCount, 2);
  EXPECT_TRUE(nQoSim::statusLog().empty());

  supervisor->control(4, nullptr, nullptr, status);
  supervisor->releaseResource(status);
  object->getClass(code).deleteInstance(object, code);
  EXPECT_EQ(code, 0);
}

}  // namespace

namespace {

// A cancel from the user's thread that is about to stop the wait holds the
// release until it has left the primitive; after the release a cancel
// reaches nothing and a wait is refused with -50004.
TEST_F(AISupervisorsTest, TheWaitReleaseWaitsForACancelUnderWayOnAnotherThread) {
  tLoggedConverter converter(log);
  nQoTest::tTimingControllerStub timing;
  nQoUdP100::tBaseAI_WFNSCPrimitive wait(&timing, &converter);
  nQoUdR100::tBaseAI_WFNSCSupervisorRow::tPool pool(&wait);
  offer(pool);
  nQoUdR100::tAI_WFNSCSettings settings;
  settings.supervisorRecord().word2 = 0;  // waits on the event
  nQoUdR100::tBaseAI_WFNSCSupervisor supervisor;
  bringUp(supervisor, settings);
  tStatus2 status;
  supervisor.control(1, nullptr, nullptr, status);
  ASSERT_EQ(status.code, 0);
  ASSERT_EQ(state(supervisor), 50);

  EXPECT_TRUE(
      nQoTest::heldAtASet(nQoTest::cancelOf(supervisor), nQoTest::releaseOf(supervisor, false)));
  EXPECT_EQ(supervisor.getPrimitive(), nullptr);

  nQoSim::clearSyncLog();
  tStatus2 late;
  supervisor.requestCancel(late);
  EXPECT_EQ(late.code, 0);
  EXPECT_TRUE(nQoSim::syncLog().empty()) << "a cancel after the release reached the primitive";
  nQoSim::clearStatusLog();
  supervisor.control(400, nullptr, nullptr, late);
  EXPECT_EQ(late.code, -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tAutoController.ipp", 30));
  EXPECT_EQ(wait.waits(), 0u);
  tStatus2 undo;
  wait.uncommit(undo);
}

// A use that entered before the release took the primitive out arms (which
// clears the run's stop) only after the release ended the waits, then waits:
// the wait answers at once without a code, and the release returns. The
// time-out is the guard: a wait the release did not end runs into it.
TEST_F(AISupervisorsTest, AnArmAfterTheReleaseEndedTheWaitsDoesNotReopenThem) {
  tLoggedConverter converter(log);
  nQoTest::tTimingControllerStub timing;
  nQoUdP100::tBaseAI_WFNSCPrimitive wait(&timing, &converter);
  nQoUdR100::tBaseAI_WFNSCSupervisorRow::tPool pool(&wait);
  offer(pool);
  nQoUdR100::tAI_WFNSCSettings settings;
  settings.supervisorRecord().word2 = 0;  // waits on the event
  nQoUdR100::tBaseAI_WFNSCSupervisor supervisor;
  bringUp(supervisor, settings);
  tStatus2 status, armed, waited;
  supervisor.control(1, nullptr, nullptr, status);
  wait.setTimeout(1000, status);
  ASSERT_EQ(status.code, 0);

  nQoTest::tHeldCall held(nQoTest::tHeldCall::kGuard);
  const std::thread::id tester = std::this_thread::get_id();
  nQoSim::onSyncSet([&](const iSync*, bool set) {
    if (set && std::this_thread::get_id() == tester) held.letGo();  // the release's end
  });
  std::thread user([&] {
    supervisor.reach([&](nQoUdP100::tBaseAI_WFNSCPrimitive& primitive) {
      held.hold();
      primitive.arm(armed);
      primitive.waitForNextSampleClock(waited);
    });
  });
  ASSERT_TRUE(held.waitUntilInside());
  supervisor.releaseResource(status);
  user.join();
  nQoSim::onSyncSet(nullptr);
  EXPECT_FALSE(held.expired()) << "the use went on before the release ended the waits";
  EXPECT_EQ(armed.code, 0);
  EXPECT_EQ(waited.code, 0) << "the wait ran into its time-out";
  EXPECT_EQ(wait.waits(), 1u);
  EXPECT_EQ(status.code, 0);
  tStatus2 undo;
  wait.uncommit(undo);
}

// Four threads wait for the clock in a loop, each waiting again as soon as a
// wait returns, as an acquisition loop does. Two cancels and a disarm, each
// of which ends the waits under way and waits for them, then an arm on the
// codes' thread: the arm waits only for the waits that those ends reached.
// Each wait that began after the disarm is held at its first poll, and the
// arm returns while they are held: a hold that ran out means the arm waited
// for them.
TEST_F(AISupervisorsTest, AnArmAfterTwoCancelsWaitsOnlyForTheWaitsTheyReached) {
  nQoSim::useTestClock(1'000'000'000);
  struct tPollingConverter : tLoggedConverter {
    using tLoggedConverter::tLoggedConverter;
    uint32_t readStatusBit5(tStatus2* status) override {
      polled();
      return tLoggedConverter::readStatusBit5(status);
    }
    std::function<void()> polled;
  } converter(log);
  nQoTest::tTimingControllerStub timing;
  nQoUdP100::tBaseAI_WFNSCPrimitive wait(&timing, &converter);
  nQoUdR100::tBaseAI_WFNSCSupervisorRow::tPool pool(&wait);
  offer(pool);
  nQoUdR100::tAI_WFNSCSettings settings;
  settings.supervisorRecord().word2 = 1;  // polls the converter
  settings.supervisorRecord().word3 = 0;  // no lead-in
  nQoUdR100::tBaseAI_WFNSCSupervisor supervisor;
  bringUp(supervisor, settings);
  tStatus2 status;
  supervisor.control(1, nullptr, nullptr, status);
  wait.setTimeout(1000, status);  // on the test clock, which stands still
  ASSERT_EQ(status.code, 0);

  // The waits a thread began before the one under way, and whether it
  // polled in its first one.
  static thread_local int waitsBefore = 0;
  static thread_local bool polledInFirst = false;
  std::atomic<int> polling{0};
  nQoTest::tHeldCall late(nQoTest::tHeldCall::kGuard);
  std::atomic<bool> cancelled{false};
  converter.polled = [&] {
    if (cancelled) {
      late.hold();
    } else if (!polledInFirst) {
      polledInFirst = true;
      ++polling;
    }
  };
  const auto giveUp = std::chrono::steady_clock::now() + nQoTest::tHeldCall::kGuard;
  std::atomic<bool> armed{false};
  std::vector<std::thread> loops;
  for (int k = 0; k < 4; ++k)
    loops.emplace_back([&] {
      while (!armed && std::chrono::steady_clock::now() < giveUp) {
        tStatus2 waited;
        supervisor.control(400, nullptr, nullptr, waited);
        ++waitsBefore;
      }
    });
  while (polling < 4 && std::chrono::steady_clock::now() < giveUp) std::this_thread::yield();
  supervisor.requestCancel(status);
  supervisor.requestCancel(status);
  tStatus2 disarmed, rearmed;
  supervisor.control(4101, nullptr, nullptr, disarmed);
  cancelled = true;
  EXPECT_TRUE(late.waitUntilInside());
  supervisor.control(4100, nullptr, nullptr, rearmed);
  armed = true;
  late.letGo();
  supervisor.requestCancel(status);  // ends the waits of the new run
  for (std::thread& loop : loops) loop.join();
  EXPECT_FALSE(late.expired()) << "the arm waited for waits that began after the cancels";
  EXPECT_EQ(disarmed.code, 0);
  EXPECT_EQ(rearmed.code, 0);
  EXPECT_EQ(status.code, 0);
  supervisor.releaseResource(status);
}

}  // namespace

namespace {

// The timing engine on the AI road, offered as the timing controller's pool.
class AITimingReleaseTest : public nQoTest::tAIRoadTest {
 protected:
  void SetUp() override {
    nQoTest::tAIRoadTest::SetUp();
    nQoSim::resetResourceBroker();
    pool.emplace(timing);
    nQoTest::offerPool(settings->supervisorRecord().identifier, {7, 9}, "AITiming", &*pool, status);
    ASSERT_EQ(status.code, 0);
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    pool.reset();
    settings.reset();
    nQoTest::tAIRoadTest::TearDown();
  }
  // The last value written to the group A interrupt enable register.
  uint32_t lastEnableA() const {
    uint32_t value = 0;
    for (const auto& access : windows.writes())
      if (access.offset == kEnableA) value = access.value;
    return value;
  }

  static constexpr uint32_t kEnableA = 0x192;
  static constexpr uint32_t kSampleEndSource = 7;
  nQoTest::tCallLog log;
  nQoTest::tScriptedFacade facade{log, "facade"};
  nQoTest::tScriptedSupervisorMap map{log, "map"};
  std::optional<nQoUdR100::tBaseAITimingControllerSupervisorRow::tPool> pool;
  std::optional<nQoUdR100::tAITimingControllerSettings> settings{std::in_place};
};

// A commit and an arm leave the engine's sample-end handler installed and
// its source on; an observer that leaves afterwards keeps the arm, with no
// record in the sample-end list. The release still disarms and uncommits it
// by what it holds: the source goes off and the handler out before the
// engine goes back.
TEST_F(AITimingReleaseTest, TheReleaseBringsTheEngineDownByWhatItHolds) {
  struct tEndObserver : nQoUdP100::tBaseAITimingControllerPrimitive::iSampleEndObserver {
  } observer;
  timing->addSampleEndObserver(&observer, status);
  settings->record<0>().hasRouting = 1;
  settings->record<0>().timing.timingMode = 2;
  nQoUdR100::tBaseAITimingControllerSupervisor supervisor;
  supervisor.initialize(*settings, &facade, status);
  supervisor.link(map, status);
  supervisor.reserveResource(status);
  supervisor.linkResource(status);
  ASSERT_EQ(status.code, 0);
  tStatus2 code;
  supervisor.control(1, nullptr, nullptr, code);
  supervisor.control(4100, nullptr, nullptr, code.clear());
  ASSERT_EQ(code.code, -50256);
  ASSERT_NE(dispatcher->primaryHandlers[kSampleEndSource].load(), nullptr);
  ASSERT_NE(lastEnableA() & (1u << 4), 0u);
  timing->removeSampleEndObserver(&observer, status);
  ASSERT_TRUE(timing->state().isArmed());

  supervisor.releaseResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(lastEnableA() & (1u << 4), 0u) << "the sample-end source stayed on";
  EXPECT_EQ(dispatcher->primaryHandlers[kSampleEndSource].load(), nullptr)
      << "the engine went back with its handler installed";
}

// A stop that a cancel left is taken back by the release: the next owner's
// wait waits for its clock, here into its time-out on the test clock. Only
// the watcher moves that clock, so the wait reaches its time-out only after
// the watcher found it still waiting, however late either thread runs.
TEST_F(AISupervisorsTest, TheReleaseTakesBackAStopThatACancelLeft) {
  nQoSim::useTestClock(1'000'000'000);
  tLoggedConverter converter(log);
  nQoTest::tTimingControllerStub timing;
  nQoUdP100::tBaseAI_WFNSCPrimitive wait(&timing, &converter);
  nQoUdR100::tBaseAI_WFNSCSupervisorRow::tPool pool(&wait);
  offer(pool);
  nQoUdR100::tAI_WFNSCSettings settings;
  settings.supervisorRecord().word2 = 0;  // waits on the event
  nQoUdR100::tBaseAI_WFNSCSupervisor supervisor;
  bringUp(supervisor, settings);
  tStatus2 status, waited;
  supervisor.control(1, nullptr, nullptr, status);
  supervisor.requestCancel(status);
  supervisor.releaseResource(status);
  supervisor.reserveResource(status);
  supervisor.linkResource(status);
  supervisor.control(1, nullptr, nullptr, status);
  wait.setTimeout(1000, status);
  ASSERT_EQ(status.code, 0);
  EXPECT_TRUE(nQoTest::clockMovedDuring([&] { wait.waitForNextSampleClock(waited); },
                                        std::chrono::milliseconds(200)))
      << "the wait ended on the stop of the owner before";
  EXPECT_EQ(waited.code, nQoUdR100::kWaitTimeout);
  tStatus2 undo;
  wait.uncommit(undo);
}

}  // namespace
