// The analog trigger supervisor over a logging trigger: its state word
// through the lifecycle, the three codes it maps, commit-cancel, and the
// reservation that a failure keeps until releaseResource hands it back.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <optional>

#include "mrl/iResourceBroker.h"
#include "primitives/ai/tBaseAI_ADCPrimitive.h"
#include "reservation/tSingularResourcePool.h"
#include "sim/simResourceBroker.h"
#include "supervisors/calibration/tBaseAnalogTriggerSupervisor.h"
#include "support/brokerPools.h"
#include "support/moduleFixture.h"
#include "support/reservationDoubles.h"
#include "support/statusRecords.h"
#include "support/unorderedCall.h"

namespace {

using nQoMDBG100::tStatus2;

class tLoggedTrigger : public nQoUdP100::tBaseAnalogTriggerPrimitive,
                       public nQoTest::tScriptedDouble {
 public:
  explicit tLoggedTrigger(nQoTest::tCallLog& log) : tScriptedDouble(log, "trigger") {}
  void commit(tStatus2& s) override { answer("commit", s); }
  void uncommit(tStatus2& s) override { answer("uncommit", s); }
  void arm(tStatus2& s) override { answer("arm", s); }
  void release(tStatus2& s) override {
    answer("release", s);
    if (onRelease) onRelease();
  }
  // The last value handed over for each of the six parameters.
  uint32_t parameter(uint32_t index) const { return parameters.at(index); }
  std::function<void()> onRelease;
  // Runs after each parameter is stored.
  std::function<void()> onStore;

 protected:
  void storeParameter(uint32_t index, uint32_t value) override {
    parameters.at(index) = value;
    if (onStore) onStore();
  }

 private:
  std::array<uint32_t, 6> parameters{};
};

class AnalogTriggerSupervisorTest : public nQoTest::tLeakCheckedTest {
 protected:
  void SetUp() override {
    nQoTest::tLeakCheckedTest::SetUp();
    nQoSim::resetResourceBroker();
    identifier.emplace();
    identifier->setString("AnalogTrigger", setup);
    settings.emplace();
    supervisor.emplace();
    auto& words = settings->supervisorRecord();
    words.identifier = *identifier;
    words.word1 = -1;
    words.word2 = 2;
    words.word3 = 3;
    words.word4 = 4;
    words.word5 = 5;
    words.word6 = -6;
    nQoMRL100::getResourceBroker(setup)->registerPool(&*identifier, &pool, setup);
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    supervisor.reset();
    settings.reset();
    identifier.reset();
    nQoTest::tLeakCheckedTest::TearDown();
  }
  int releases() {
    int count = 0;
    for (const auto& call : nQoSim::brokerLog()) count += call.operation == 7 ? 1 : 0;
    return count;
  }

  tStatus2 setup;
  nQoTest::tCallLog log;
  nQoTest::tScriptedFacade facade{log, "facade"};
  nQoTest::tScriptedSupervisorMap map{log, "map"};
  tLoggedTrigger trigger{log};
  nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseAnalogTriggerPrimitive*> pool{&trigger};
  std::optional<nQoMRL100::tGeneralIdentifier> identifier;
  std::optional<nQoUdR100::tAnalogTriggerSettings> settings;
  std::optional<nQoUdR100::tBaseAnalogTriggerSupervisor> supervisor;
  bool handedBackAtRelease = false;
};

TEST_F(AnalogTriggerSupervisorTest, TheStateWordFollowsTheLifecycleAndThreeCodes) {
  tStatus2 status;
  supervisor->initialize(*settings, &facade, status);
  EXPECT_EQ(supervisor->getState(), 1u);
  supervisor->link(map, status);
  EXPECT_EQ(supervisor->getState(), 2u);
  supervisor->reserveResource(status);
  EXPECT_EQ(supervisor->getState(), 3u);
  supervisor->linkResource(status);
  ASSERT_EQ(status.code, 0);
  EXPECT_EQ(supervisor->getState(), 4u);
  const uint32_t parameters[] = {0xFFFFFFFF, 2, 3, 4, 5, 0xFFFFFFFA};
  for (uint32_t i = 0; i < 6; ++i) EXPECT_EQ(trigger.parameter(i), parameters[i]) << i;
  EXPECT_TRUE(trigger.state().isUncommitted());

  supervisor->control(1, nullptr, nullptr, status);
  supervisor->control(4100, nullptr, nullptr, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(supervisor->getState(), 5u);
  tStatus2 disarm;
  supervisor->control(4101, nullptr, nullptr, disarm);
  EXPECT_EQ(disarm.code, -50256);
  EXPECT_TRUE(nQoTest::loggedAt(-50256, "tBaseAnalogTriggerSupervisor", 214));
  EXPECT_EQ(supervisor->getState(), 5u);

  tStatus2 cancel;
  supervisor->commitCancel(cancel);
  supervisor->commitCancel(cancel);
  EXPECT_EQ(log.operations(), "trigger.commit, trigger.arm, trigger.release");
  EXPECT_EQ(supervisor->getState(), 4u);

  // Uncommit moves down also when it fails.
  trigger.answers["uncommit"] = -3;
  supervisor->control(1, nullptr, nullptr, status);
  tStatus2 failed;
  supervisor->control(4, nullptr, nullptr, failed);
  EXPECT_EQ(failed.code, -3);
  EXPECT_EQ(supervisor->getState(), 4u);

  supervisor->unlinkResource(failed);
  EXPECT_EQ(supervisor->getState(), 3u);
  supervisor->releaseResource(failed);
  EXPECT_EQ(supervisor->getState(), 2u);
  supervisor->unlink(failed);
  EXPECT_EQ(supervisor->getState(), 1u);
  tStatus2 none;
  supervisor->control(1, nullptr, nullptr, none);
  EXPECT_EQ(none.code, -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tBaseAnalogTriggerSupervisor", 167));
}

// A commit from another thread while the reservation hands the trigger its
// parameters finds no trigger: the trigger goes into the slot only once it
// has all six. After the reservation the commit reaches it.
TEST_F(AnalogTriggerSupervisorTest, ACodeDuringTheReservationReachesTheTriggerOnlyOnceItIsSet) {
  tStatus2 status, during;
  supervisor->initialize(*settings, &facade, status);
  supervisor->link(map, status);
  log.clear();
  {
    nQoTest::tUnorderedCall code([&] { supervisor->control(1, nullptr, nullptr, during); });
    trigger.onStore = [&] { EXPECT_TRUE(code.run()); };
    supervisor->reserveResource(status);
    trigger.onStore = nullptr;
  }
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(during.code, -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tBaseAnalogTriggerSupervisor", 167));
  EXPECT_EQ(log.operations(), "");
  EXPECT_EQ(trigger.parameter(5), 0xFFFFFFFAu);
  supervisor->control(1, nullptr, nullptr, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(log.operations(), "trigger.commit");
  EXPECT_EQ(supervisor->getState(), 5u);
}

// A commit that comes after unlinkResource reaches the trigger: the release
// runs the trigger's own release before the pool gets it back.
TEST_F(AnalogTriggerSupervisorTest, TheReleaseUndoesWhatTheCodesLeftBeforeTheHandBack) {
  tStatus2 status;
  supervisor->initialize(*settings, &facade, status);
  supervisor->link(map, status);
  supervisor->reserveResource(status);
  supervisor->linkResource(status);
  supervisor->unlinkResource(status);
  supervisor->control(1, nullptr, nullptr, status);
  ASSERT_EQ(status.code, 0);
  const int before = releases();
  trigger.onRelease = [&] { handedBackAtRelease = releases() != before; };
  supervisor->releaseResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(log.operations(), "trigger.commit, trigger.release");
  EXPECT_FALSE(handedBackAtRelease) << "the trigger was handed back before its release";
  EXPECT_EQ(releases(), before + 1);
}

// Deploys while the trigger is held name other pools for the next
// reservation only; the release hands back the one held, and a refused
// reservation holds nothing to hand back.
TEST_F(AnalogTriggerSupervisorTest, TheReleaseHandsBackOnlyThePoolItWasGranted) {
  tLoggedTrigger other(log), last(log);
  nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseAnalogTriggerPrimitive*> otherPool{&other},
      lastPool{&last};
  nQoUdR100::tAnalogTriggerSettings namingOther, namingLast;
  nQoTest::offerPool(namingOther.supervisorRecord().identifier, {}, "AnalogTrigger2", &otherPool,
                     setup);
  nQoTest::offerPool(namingLast.supervisorRecord().identifier, {}, "AnalogTrigger3", &lastPool,
                     setup);
  ASSERT_EQ(setup.code, 0);
  nQoTest::expectOnlyTheGrantHandedBack(*supervisor, *settings, namingOther, namingLast,
                                        *identifier, namingOther.supervisorRecord().identifier,
                                        namingLast.supervisorRecord().identifier, &facade, map);
}

TEST_F(AnalogTriggerSupervisorTest, AFailedReservationIsKeptUntilReleaseHandsItBack) {
  nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseAI_ADCPrimitive*> adcPool{nullptr};
  nQoSim::scriptBrokerReserve(&adcPool);
  tStatus2 status;
  supervisor->initialize(*settings, &facade, status);
  supervisor->link(map, status);
  supervisor->reserveResource(status);
  EXPECT_EQ(status.code, -89000);
  EXPECT_EQ(supervisor->getState(), 2u);
  EXPECT_EQ(releases(), 0);

  tStatus2 caller;
  caller.setCode(-7, "qoudrk", "test", 1);
  supervisor->releaseResource(caller);
  EXPECT_EQ(caller.code, -7);
  EXPECT_EQ(releases(), 1);
  EXPECT_EQ(supervisor->getState(), 2u);

  // Without a broker nothing is reserved and nothing reported.
  nQoSim::setResourceBrokerPresent(false);
  tStatus2 quiet;
  supervisor->reserveResource(quiet);
  EXPECT_EQ(quiet.code, 0);
  EXPECT_EQ(supervisor->getState(), 3u);
  EXPECT_EQ(supervisor->getPrimitive(), nullptr);
}

}  // namespace
