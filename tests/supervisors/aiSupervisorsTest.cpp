// The plain analog-input supervisors over logging primitives: the control
// codes each takes part in, their sites, the flags the settings set, and
// commit-cancel.
#include <gtest/gtest.h>

#include <optional>

#include "sim/simParameterBlock.h"
#include "sim/simResourceBroker.h"
#include "supervisors/ai/aiSupervisors.h"
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
  uint32_t readStatusBit5(tStatus2*) override { return 0; }
  void enableOverrunInterrupt(tStatus2&) override {}
  void disableOverrunInterrupt(tStatus2*) override {}
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

}  // namespace
